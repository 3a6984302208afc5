#include "engine/analysis/FeaturePrintEmbedder.h"

#include "engine/analysis/AestheticsScorer.h"
#include "engine/analysis/ExifDate.h"
#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/analysis/PhotoQualityScorecard.h"
#include "engine/core/Log.h"
#include "engine/core/QuorlixFeature.h"

#include <exception>
#include <string>

namespace quorlix {

FeaturePrintEmbedder& FeaturePrintEmbedder::shared() {
    static FeaturePrintEmbedder instance;
    return instance;
}

std::optional<FeaturePrintEmbedder::Analysis>
FeaturePrintEmbedder::analyze(const std::filesystem::path& file) const {
    ImageBuffer unused;
    return analyze(file, unused);
}

std::optional<FeaturePrintEmbedder::Analysis>
FeaturePrintEmbedder::analyze(const std::filesystem::path& file, ImageBuffer& thumbnail) const {
    auto decoded = ImageDecoder::decode(file, QuorlixFeature::thumbnailMaxPixelSize);
    if (!decoded)
        return std::nullopt;

    Analysis analysis;
    analysis.pixelWidth = decoded->storedWidth;
    analysis.pixelHeight = decoded->storedHeight;
    analysis.isDamaged = decoded->damaged;
    // The EXIF the decode read on its one open; only a decoder that hands none over (camera
    // raws) makes the file be opened again.
    const ExifDate::Facts exif =
        decoded->exif ? ExifDate::fromBlock(*decoded->exif) : ExifDate::read(file);
    analysis.dateOriginal = exif.dateOriginal;
    analysis.noiseLevel = PhotoQualityScorecard::noiseLevel(decoded->detail);

    const auto fail = [&](const std::string& reason) {
        log::error(log::Category::scan,
                   "Vision failed: " + file.filename().string() + " " + reason);
        return std::nullopt;
    };
    try {
        analysis.embedding = computeFeaturePrint(decoded->thumbnail);
        if (analysis.embedding.empty())
            return fail("the feature print is empty");
        if (auto aesthetics =
                AestheticsScorer::shared().scoreImage(decoded->thumbnail, exif.hasCameraMetadata)) {
            analysis.aesthetic = aesthetics->overallScore;
            analysis.isUtility = aesthetics->isUtility;
        }
    } catch (const std::exception& error) {
        return fail(error.what());
    } catch (...) {
        return fail("unknown error");
    }
    thumbnail = std::move(decoded->thumbnail);
    return analysis;
}

} // namespace quorlix
