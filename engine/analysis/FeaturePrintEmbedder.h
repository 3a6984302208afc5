#pragma once

#include "engine/core/ImageBuffer.h"
#include "engine/core/PhotoAnalysis.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace quorlix {

// Analyses one photo: a single decode to the analysis thumbnail feeds the feature print and the
// aesthetics score; the file's header and EXIF give the stored size and the capture time.
// Stateless; `analyze` may run on many threads at once.
class FeaturePrintEmbedder {
public:
    using Analysis = PhotoAnalysis;

    static FeaturePrintEmbedder& shared();

    // Nothing, silently, for a file that is not a decodable image; nothing, with one error line
    // on the scan log, when the descriptor fails on a decoded thumbnail.
    std::optional<Analysis> analyze(const std::filesystem::path& file) const;
    // The same, and on success the decoded thumbnail is moved into `thumbnail`, so that later
    // steps on the same photo need not decode it again.
    std::optional<Analysis> analyze(const std::filesystem::path& file,
                                    ImageBuffer& thumbnail) const;

private:
    FeaturePrintEmbedder() = default;
};

} // namespace quorlix
