#pragma once

#include "engine/FeaturePrintEmbedder.h"
#include "engine/PhotoRecord.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace quorlix {

using PhotoAnalysis = FeaturePrintEmbedder::Analysis;

// The analysers a scan calls. The defaults are the process-wide shared instances; tests put
// their own in place to drive a scan without decoding.
struct ScanServices {
    // Nothing when the photo cannot be analysed. Called from several threads at once.
    std::function<std::optional<PhotoAnalysis>(const std::filesystem::path&)> analyze;
    // Quality score 0…100; throws when the photo cannot be scored. Called from several
    // threads at once.
    std::function<double(const PhotoRecord&)> score;

    // The shared analysers. They live in the image analysis library, which is loaded from beside
    // the engine's core on the first call, so a process that only finds copies never maps the
    // image libraries. Throws AnalysisUnavailable when it cannot be loaded; a later call tries
    // again.
    static ScanServices shared();
};

// The image analysis library is missing or broken; the text is one sentence for the user and
// the cause is on the scan log.
class AnalysisUnavailable : public std::runtime_error {
public:
    AnalysisUnavailable() : std::runtime_error("The image analysis library could not be loaded.") {}
};

} // namespace quorlix

// The image analysis library's one entry point: fills in the shared analysers.
extern "C" void quorlixAnalysisServices(quorlix::ScanServices* services);
