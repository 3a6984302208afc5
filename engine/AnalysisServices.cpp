// Entry point of the image analysis library, looked up by name when the core loads it.
#include "engine/FeaturePrintEmbedder.h"
#include "engine/PhotoQualityScorecard.h"
#include "engine/ScanServices.h"

extern "C" void quorlixAnalysisServices(quorlix::ScanServices* services) {
    using namespace quorlix;
    services->analyze = [](const std::filesystem::path& file) {
        return FeaturePrintEmbedder::shared().analyze(file);
    };
    services->score = [](const PhotoRecord& record) -> double {
        return PhotoQualityScorecard::shared().evaluate(record).score;
    };
}
