// Where the time of a small scan goes: from the scan's start to its last analysis report, and from
// that report to the finished result (grouping, scoring and, for faces, the landmark model). Runs
// the scan as the application does, without the analysis cache; ROUNDS scans, best and median.
//   time_to_result FOLDER [ROUNDS=5]
#include "engine/core/ScanCoordinator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quorlix;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: time_to_result FOLDER [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    // One coordinator for all rounds, as one window keeps one: the first round also loads the
    // analyser's models.
    const ScanCoordinator coordinator;
    std::vector<double> analysed, after;
    std::printf("%-6s %12s %16s\n", "round", "analysed_s", "result_after_ms");
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        auto lastAnalysis = start;
        const auto progress = [&](const ScanProgress& p) {
            if (p.phase == ScanProgress::Phase::analyzing)
                lastAnalysis = Clock::now();
        };
        const ScanResult result = coordinator.scan(argv[1], progress);
        const auto done = Clock::now();
        analysed.push_back(std::chrono::duration<double>(lastAnalysis - start).count());
        after.push_back(std::chrono::duration<double, std::milli>(done - lastAnalysis).count());
        std::printf("%-6d %12.3f %16.1f   (%lld photos)\n", r + 1, analysed.back(), after.back(),
                    static_cast<long long>(result.totalPhotos));
    }
    const auto summary = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::pair{v.front(), v[(v.size() - 1) / 2]};
    };
    const auto [a0, am] = summary(analysed);
    const auto [b0, bm] = summary(after);
    std::printf("best / median: last analysis %.3f / %.3f s after the start, result %.1f / "
                "%.1f ms after the last analysis\n",
                a0, am, b0, bm);
    return 0;
}
