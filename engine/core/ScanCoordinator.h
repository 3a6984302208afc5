#pragma once

#include "engine/core/PhotoAnalyzer.h"
#include "engine/core/ScanProgress.h"
#include "engine/core/ScanResult.h"

#include <filesystem>
#include <memory>
#include <stop_token>

namespace quorlix {

struct ScanOptions {
    // Stop after the exact-duplicate groups (for scripting and benchmarks).
    bool exactOnly = false;
    // The analysis cache to use (see AnalysisCache); none: every photo is read and analysed.
    std::optional<std::filesystem::path> cache;
};

// Runs one scan from a folder to a finished result. Keeps nothing between calls, so a scan
// still winding down after a cancel never disturbs the next one.
class ScanCoordinator {
public:
    // The shared analyser, loaded by the first scan that analyses photos.
    ScanCoordinator() = default;
    explicit ScanCoordinator(std::shared_ptr<const PhotoAnalyzer> analyzer);

    // Throws ScanCancelled at a checkpoint once `stop` is requested, and AnalysisUnavailable
    // before any work when the shared analyser is needed but cannot be loaded. `progress` is
    // called on the scan's own threads, one call at a time, in the order of the reports; it must
    // not block.
    ScanResult scan(const std::filesystem::path& folder, const ProgressCallback& progress,
                    std::stop_token stop = {}, ScanOptions options = {}) const;

private:
    std::shared_ptr<const PhotoAnalyzer> analyzer_;
};

} // namespace quorlix
