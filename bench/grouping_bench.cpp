// Look-alike grouping at scale: dated photos spread over a year (bursts among singles) and an
// undated heap compared all against all, with the scan's threshold and window. The baseline is a
// plain pair loop with one scalar accumulator, run in the same process on a subset of the undated
// photos so it finishes in seconds.
//   grouping_bench [DATED=100000] [UNDATED=20000] [DIMS=feature print length]
//   [BASELINE_SUBSET=3000]
// The vectors are isotropic random ones: the hardest case for the projected bound, whose
// directions capture little of them.

#include "engine/analysis/FeaturePrint.h"
#include "engine/core/NearDuplicateGrouper.h"
#include "engine/core/QuorlixFeature.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

using namespace quorlix;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// This thread's processor time: on a shared machine it moves far less with the load than the
// wall clock does.
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Generator {
    std::mt19937 rng{2026};
    std::normal_distribution<float> gauss{0.0f, 1.0f};
    int dims;

    std::vector<float> unit() {
        std::vector<float> v(dims);
        double s = 0;
        for (auto& x : v) {
            x = gauss(rng);
            s += double(x) * x;
        }
        for (auto& x : v)
            x = float(x / std::sqrt(s));
        return v;
    }

    // A frame of the same burst: the base plus noise that keeps the cosine near 0.97.
    std::vector<float> near(const std::vector<float>& base) {
        std::vector<float> v(base);
        const float sigma = 0.25f / std::sqrt(float(dims));
        for (auto& x : v)
            x += sigma * gauss(rng);
        return v;
    }
};

std::string idOf(const char* prefix, std::size_t i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%08zu", prefix, i);
    return buf;
}

// A year of photos: 60 % singles, the rest in bursts of 2–8 shots 1–20 s apart.
std::vector<PhotoRecord> datedYear(Generator& gen, std::size_t count) {
    std::vector<PhotoRecord> out;
    out.reserve(count);
    std::uniform_real_distribution<double> when(0.0, 365.0 * 86400.0);
    std::uniform_int_distribution<int> burstSize(2, 8), gap(1, 20), coin(0, 99);
    const double epoch = 1.7e9;
    while (out.size() < count) {
        const double t = epoch + when(gen.rng);
        const auto base = gen.unit();
        const int shots = coin(gen.rng) < 60 ? 1 : burstSize(gen.rng);
        double at = t;
        for (int s = 0; s < shots && out.size() < count; ++s) {
            PhotoRecord r;
            r.id = idOf("d", out.size());
            r.fileURL = "/bench/" + r.id + ".jpg";
            r.dateOriginal = at;
            r.embeddingBlob = packEmbedding(s == 0 ? base : gen.near(base));
            out.push_back(std::move(r));
            at += gap(gen.rng);
        }
    }
    return out;
}

std::vector<PhotoRecord> undatedHeap(Generator& gen, std::size_t count) {
    std::vector<PhotoRecord> out;
    out.reserve(count);
    std::vector<float> base;
    for (std::size_t i = 0; i < count; ++i) {
        if (i % 4 == 0)
            base = gen.unit(); // look-alikes in fours, the rest of the heap unrelated
        PhotoRecord r;
        r.id = idOf("u", i);
        r.fileURL = "/bench/" + r.id + ".png";
        r.embeddingBlob = packEmbedding(i % 4 == 0 ? base : gen.near(base));
        out.push_back(std::move(r));
    }
    return out;
}

// The obvious all-pairs loop, one scalar accumulator, norms computed once: what the kernel must
// beat. Returns the number of linked pairs so the work cannot be optimised away.
std::size_t baselinePairs(const std::vector<PhotoRecord>& records, float threshold) {
    std::vector<std::vector<float>> e;
    std::vector<float> norm;
    for (const auto& r : records) {
        e.push_back(unpackEmbedding(*r.embeddingBlob));
        float s = 0;
        for (float x : e.back())
            s += x * x;
        norm.push_back(std::sqrt(s));
    }
    std::size_t linked = 0;
    for (std::size_t i = 0; i < e.size(); ++i)
        for (std::size_t j = i + 1; j < e.size(); ++j) {
            float s = 0;
            for (std::size_t k = 0; k < e[i].size(); ++k)
                s += e[i][k] * e[j][k];
            linked += threshold <= s / (norm[i] * norm[j]);
        }
    return linked;
}

// Processor time of every thread of the process: the grouper's own threads included.
double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Outcome {
    double seconds;
    double cpu;
    double allCpu;
    std::size_t clusters;
    std::size_t grouped;
};

// The scan hands its records over by move, so the copy is made before the clock starts.
Outcome timeGroup(const NearDuplicateGrouper& grouper, std::vector<PhotoRecord> records) {
    const auto start = Clock::now();
    const double cpu0 = cpuSeconds();
    const double all0 = processCpuSeconds();
    const auto clusters = grouper.group(std::move(records));
    const double cpu = cpuSeconds() - cpu0;
    const double allCpu = processCpuSeconds() - all0;
    const double s = seconds(start);
    std::size_t multi = 0, grouped = 0;
    for (const auto& c : clusters)
        if (c.size() >= 2) {
            ++multi;
            grouped += c.size();
        }
    return {s, cpu, allCpu, multi, grouped};
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t dated = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const std::size_t undated = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20000;
    const int dims = argc > 3 ? std::atoi(argv[3]) : int(featurePrintLength);
    const std::size_t subset = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 3000;

    Generator gen{.dims = dims};
    const NearDuplicateGrouper grouper(QuorlixFeature::nearThreshold,
                                       QuorlixFeature::burstWindowSeconds);
    std::printf("embedding length %d floats, threshold %.2f, window %.0f s\n", dims,
                double(grouper.threshold()), grouper.burstWindowSeconds());

    for (std::size_t n : {dated / 2, dated}) {
        const auto records = datedYear(gen, n);
        const auto o = timeGroup(grouper, records);
        std::printf("dated   %7zu photos over a year: %.3f s wall, %.3f s cpu, %zu groups holding "
                    "%zu photos\n",
                    n, o.seconds, o.cpu, o.clusters, o.grouped);
    }
    for (std::size_t n : {undated / 2, undated}) {
        const auto records = undatedHeap(gen, n);
        const auto o = timeGroup(grouper, records);
        const double pairs = double(n) * double(n - 1) / 2.0;
        std::printf("undated %7zu photos all against all: %.3f s wall, %.3f s cpu on all threads "
                    "(%.1f M pairs, %.2f ns/pair cpu), %zu groups holding %zu photos\n",
                    n, o.seconds, o.allCpu, pairs / 1e6, o.allCpu / pairs * 1e9, o.clusters,
                    o.grouped);
    }

    const auto sample = undatedHeap(gen, subset);
    const auto ours = timeGroup(grouper, sample);
    // The subset is below the size where the bound pays, so this is the single-thread kernel.
    const double cpu0 = cpuSeconds();
    const std::size_t linked = baselinePairs(sample, grouper.threshold());
    const double base = cpuSeconds() - cpu0;
    std::printf("baseline on %zu undated: plain pair loop %.3f s cpu (%zu links), grouper %.3f s "
                "cpu, speed-up %.1fx\n",
                subset, base, linked, ours.cpu, base / ours.cpu);
    return 0;
}
