#include "engine/ScanServices.h"

#include "engine/PhotoQualityScorecard.h"

namespace quorlix {

ScanServices ScanServices::shared() {
    ScanServices s;
    s.analyze = [](const std::filesystem::path& file) {
        return FeaturePrintEmbedder::shared().analyze(file);
    };
    s.score = [](const PhotoRecord& record) -> double {
        return PhotoQualityScorecard::shared().evaluate(record).score;
    };
    return s;
}

} // namespace quorlix
