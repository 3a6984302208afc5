#include "engine/ScanServices.h"

#include "engine/FaceAnalyzer.h"
#include "engine/PhotoQualityScorecard.h"
#include "engine/QuorlixFeature.h"

namespace quorlix {

ScanServices ScanServices::shared() {
    ScanServices s;
    s.analyze = [](const std::filesystem::path& file) {
        return FeaturePrintEmbedder::shared().analyze(file);
    };
    s.score = [](const PhotoRecord& record) -> double {
        return PhotoQualityScorecard::shared().evaluate(record).score;
    };
    s.prepareScoring = [] {
        FaceAnalyzer::shared().warmUpInBackground();
    };

    // Scoring may reuse the analysis thumbnail only because both decode the same one.
    static_assert(QuorlixFeature::thumbnailMaxPixelSize ==
                  PhotoQualityScorecard::thumbnailMaxPixelSize);
    s.analyzeKeeping = [](const std::filesystem::path& file, ImageBuffer& thumbnail) {
        return FeaturePrintEmbedder::shared().analyze(file, thumbnail);
    };
    s.measure = [](const ImageBuffer& image) -> std::optional<QualitySignals> {
        // Never wait for the face model on an analysis thread: a photo measured later costs one
        // more decode, a waiting thread costs the whole load time on its core.
        if (!FaceAnalyzer::shared().isReady())
            return std::nullopt;
        return PhotoQualityScorecard::measureImage(image);
    };
    s.scoreMeasured = [](const PhotoRecord& record, const QualitySignals& signals) -> double {
        return PhotoQualityScorecard::shared().evaluate(record, signals).score;
    };
    return s;
}

} // namespace quorlix
