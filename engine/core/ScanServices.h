#pragma once

#include "engine/core/ImageBuffer.h"
#include "engine/core/PhotoAnalysis.h"
#include "engine/core/PhotoAnalyzer.h" // AnalysisUnavailable
#include "engine/core/PhotoRecord.h"
#include "engine/core/QualitySignals.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorlix {

// The analysers a scan calls. The defaults are the process-wide shared instances; tests put
// their own in place to drive a scan without decoding.
struct ScanServices {
    // Nothing when the photo cannot be analysed. Called from several threads at once.
    std::function<std::optional<PhotoAnalysis>(const std::filesystem::path&)> analyze;
    // Quality score 0…100; throws when the photo cannot be scored. Called from several
    // threads at once.
    std::function<double(const PhotoRecord&)> score;
    // Called when the analyses start, so that what scoring needs (the face model takes seconds
    // to load) is made ready alongside them rather than with a core idle afterwards. Must return
    // at once; may be empty.
    std::function<void()> prepareScoring;

    // Optional, all three or none: scoring from the analysis's own decode. `analyzeKeeping` is
    // `analyze` that also moves the thumbnail it analysed into its second argument; `measure`
    // takes the image signals from such a thumbnail or its gray copy (nothing when it cannot
    // now); `scoreMeasured` scores a record from them exactly as `score` would from its file.
    // All are called from several threads at once.
    std::function<std::optional<PhotoAnalysis>(const std::filesystem::path&, ImageBuffer&)>
        analyzeKeeping;
    std::function<std::optional<QualitySignals>(const ImageBuffer&)> measure;
    std::function<double(const PhotoRecord&, const QualitySignals&)> scoreMeasured;

    // Optional: names the descriptor and scorer (see PhotoAnalyzer::version).
    std::function<std::string()> version;

    // The shared analysers. They live in the image analysis library, which is loaded from beside
    // the engine's core on the first call, so a process that only finds copies never maps the
    // image libraries. Throws AnalysisUnavailable when it cannot be loaded; a later call tries
    // again.
    static ScanServices shared();
};

} // namespace quorlix

// The image analysis library's one entry point: fills in the shared analysers.
extern "C" void quorlixAnalysisServices(quorlix::ScanServices* services);
