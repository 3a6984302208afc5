// Entry point of the image analysis library, looked up by name when the core loads it.
#include "engine/analysis/FaceAnalyzer.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/PhotoQualityScorecard.h"
#include "engine/core/QuorlixFeature.h"
#include "engine/core/ScanServices.h"

extern "C" void quorlixAnalysisServices(quorlix::ScanServices* services) {
    using namespace quorlix;
    services->analyze = [](const std::filesystem::path& file) {
        return FeaturePrintEmbedder::shared().analyze(file);
    };
    services->score = [](const PhotoRecord& record) -> double {
        return PhotoQualityScorecard::shared().evaluate(record).score;
    };
    // The face model loads when the first face is found, so nothing is made ready up front.
    services->prepareScoring = [] {
    };

    // Scoring may reuse the analysis thumbnail only because both decode the same one.
    static_assert(QuorlixFeature::thumbnailMaxPixelSize ==
                  PhotoQualityScorecard::thumbnailMaxPixelSize);
    services->analyzeKeeping = [](const std::filesystem::path& file, ImageBuffer& thumbnail) {
        return FeaturePrintEmbedder::shared().analyze(file, thumbnail);
    };
    services->measure = [](const ImageBuffer& image) -> std::optional<QualitySignals> {
        // Never wait for the face model on an analysis thread: a photo measured later costs one
        // more decode, a waiting thread costs the whole load time on its core.
        return PhotoQualityScorecard::measureImageWithoutWaiting(image);
    };
    services->scoreMeasured = [](const PhotoRecord& record, const QualitySignals& signals) {
        return PhotoQualityScorecard::shared().evaluate(record, signals).score;
    };
    // Raise with every change to what the descriptor or the scorer computes: cached analyses of
    // another version are analysed again.
    services->version = [] {
        return std::string("featureprint-1 scorecard-1");
    };
}
