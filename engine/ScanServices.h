#pragma once

#include "engine/FeaturePrintEmbedder.h"
#include "engine/PhotoRecord.h"

#include <filesystem>
#include <functional>
#include <optional>
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

    static ScanServices shared();
};

} // namespace quorlix
