// Entry point of the image analysis library, looked up by name when the core loads it.
#include "engine/analysis/FaceAnalyzer.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/PhotoQualityScorecard.h"
#include "engine/core/PhotoAnalyzer.h"
#include "engine/core/QuorlixFeature.h"

namespace quorlix {

namespace {

// Scoring may reuse the analysis thumbnail only because both decode the same one.
static_assert(QuorlixFeature::thumbnailMaxPixelSize ==
              PhotoQualityScorecard::thumbnailMaxPixelSize);

// The process-wide embedder, scorecard and face model behind the core's contract.
class SharedPhotoAnalyzer final : public PhotoAnalyzer {
public:
    std::optional<PhotoAnalysis> analyze(const std::filesystem::path& file,
                                         ImageBuffer* thumbnail) const override {
        if (thumbnail)
            return FeaturePrintEmbedder::shared().analyze(file, *thumbnail);
        return FeaturePrintEmbedder::shared().analyze(file);
    }

    std::optional<QualitySignals> measure(const ImageBuffer& image) const override {
        // Never wait for the face model on an analysis thread: a photo measured later costs one
        // more decode, a waiting thread costs the whole load time on its core.
        if (!FaceAnalyzer::shared().isReady())
            return std::nullopt;
        return PhotoQualityScorecard::measureImage(image);
    }

    double score(const PhotoRecord& record) const override {
        return PhotoQualityScorecard::shared().evaluate(record).score;
    }

    double score(const PhotoRecord& record, const QualitySignals& signals) const override {
        return PhotoQualityScorecard::shared().evaluate(record, signals).score;
    }

    void prepareScoring() const override { FaceAnalyzer::shared().warmUpInBackground(); }
};

} // namespace

} // namespace quorlix

extern "C" const quorlix::PhotoAnalyzer* quorlixPhotoAnalyzer() {
    static const quorlix::SharedPhotoAnalyzer analyzer;
    return &analyzer;
}
