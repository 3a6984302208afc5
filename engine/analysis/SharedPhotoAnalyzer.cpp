// Entry point of the image analysis library, looked up by name when the core loads it.
#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/PhotoQualityScorecard.h"
#include "engine/core/PhotoAnalyzer.h"
#include "engine/core/QuorlixFeature.h"

#include <string>

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
        return PhotoQualityScorecard::measureImageWithoutWaiting(image);
    }

    // The decode `evaluate` makes of the file, so that scoring from these signals gives its score.
    std::optional<QualitySignals> measureFile(const PhotoRecord& record) const override {
        return PhotoQualityScorecard::measureFile(record);
    }

    double score(const PhotoRecord& record) const override {
        return PhotoQualityScorecard::shared().evaluate(record).score;
    }

    double score(const PhotoRecord& record, const QualitySignals& signals) const override {
        return PhotoQualityScorecard::shared().evaluate(record, signals).score;
    }

    // The face model loads when the first face is found, so nothing is made ready up front.
    void prepareScoring() const override {}

    // Cached analyses of another descriptor or scorer version are analysed again.
    std::string version() const override {
        return "featureprint-" + std::to_string(FeaturePrint::version) + " scorecard-" +
               std::to_string(PhotoQualityScorecard::version);
    }
};

} // namespace

} // namespace quorlix

extern "C" const quorlix::PhotoAnalyzer* quorlixPhotoAnalyzer() {
    static const quorlix::SharedPhotoAnalyzer analyzer;
    return &analyzer;
}
