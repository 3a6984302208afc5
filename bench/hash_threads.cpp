// Content keys of one folder with 1, 2, … hashing threads, taking turns every round so a load
// that comes and goes falls on all of them; best and median wall times per thread count, with
// the load average before and after. The page cache is warmed first: the rule is about CPU.
//   hash_threads FOLDER [ROUNDS] [THREADS...]
#include "engine/core/ContentKeys.h"
#include "engine/core/FolderScanner.h"
#include "engine/core/ScanContext.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace quorlix;

namespace {

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage: hash_threads FOLDER [ROUNDS] [THREADS...]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 5;
    std::vector<int> counts;
    for (int i = 3; i < argc; ++i)
        counts.push_back(std::stoi(argv[i]));
    if (counts.empty())
        counts = {1, 2, int(std::thread::hardware_concurrency())};

    const auto candidates = FolderScanner::enumerate(argv[1]);
    std::int64_t bytes = 0;
    for (const auto& c : candidates) {
        bytes += c.size;
        std::ifstream in(c.url, std::ios::binary);
        std::vector<char> sink(1 << 20);
        while (in.read(sink.data(), std::streamsize(sink.size())) || in.gcount() > 0) {
        }
    }
    std::printf("%zu files, %.2f GB; processors %u; default hashing threads %d\n",
                candidates.size(), double(bytes) / 1e9, std::thread::hardware_concurrency(),
                defaultHashThreads());
    std::printf("load average before: %s\n", loadAverage().c_str());

    std::vector<std::vector<double>> seconds(counts.size());
    std::size_t keys = 0;
    for (int r = 0; r < rounds; ++r)
        for (std::size_t i = 0; i < counts.size(); ++i) {
            const ScanContext context;
            const auto start = std::chrono::steady_clock::now();
            keys =
                contentKeys(candidates, std::int64_t(candidates.size()), context, counts[i]).size();
            seconds[i].push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    std::printf("load average after: %s\n", loadAverage().c_str());
    std::printf("%zu keys\nthreads   best_s  median_s  speedup_vs_first(best)  efficiency\n", keys);
    double one = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        auto s = seconds[i];
        std::sort(s.begin(), s.end());
        const double best = s.front(), median = s[s.size() / 2];
        if (i == 0)
            one = best;
        std::printf("%7d %8.3f %9.3f %23.2fx %10.0f%%\n", counts[i], best, median, one / best,
                    100.0 * one / best / counts[i]);
    }
    return 0;
}
