#pragma once

#include "engine/analysis/FaceAnalyzer.h"
#include "engine/analysis/PhotoQuality.h"
#include "engine/analysis/PhotoQualityError.h"
#include "engine/analysis/ScoreReason.h"
#include "engine/core/GrayImage.h"
#include "engine/core/ImageBuffer.h"
#include "engine/core/PhotoRecord.h"
#include "engine/core/QualitySignals.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorlix {

// Scores photos 0…100 from aesthetics, faces, sharpness and clipping, and elects the keeper of a
// look-alike group. One process-wide instance, stateless: `evaluate` may run on several threads
// at once.
class PhotoQualityScorecard {
public:
    // Changes whenever the same photo may score differently; stored scores and signals are
    // valid only under the version they were made with.
    static constexpr int version = 3;
    static constexpr double aestheticsWeightWithFace = 0.3;
    static constexpr double faceQualityWeight = 0.25;
    static constexpr double sharpnessWeightWithFace = 0.25;
    static constexpr double exposureWeightWithFace = 0.15;
    static constexpr double aestheticsWeightWithoutFace = 0.45;
    static constexpr double sharpnessWeightWithoutFace = 0.35;
    static constexpr double exposureWeightWithoutFace = 0.2;
    static constexpr double eyesClosedMultiplier = 0.55;
    static constexpr double utilityMultiplier = 0.5;
    static constexpr double sharpAtLeast = 0.65;
    static constexpr double blurryBelow = 0.3;
    static constexpr double goodExposureAtMost = 0.05;
    static constexpr double badClipAtLeast = 0.2;
    static constexpr double goodAestheticsAtLeast = 0.7;
    static constexpr double lowAestheticsAtMost = 0.35;
    static constexpr int thumbnailMaxPixelSize = 1024;
    static constexpr int grayMaxPixelSize = 512;
    static constexpr double sharpnessFull = 400.0;
    static constexpr int shadowClipLevel = 5;
    static constexpr int highlightClipLevel = 250;
    static constexpr double eyeClosedRatio = 0.16;
    static constexpr double significantFaceArea = 0.02;
    // Sensor noise (the estimate below, at full resolution, in 8-bit levels) that costs nothing,
    // and the level at which it costs `noisyMultiplier` of the score. Only grain finer than the
    // scene's texture counts, so a clean frame reads about 0 (a camera's base grain, once its JPEG
    // encoder is done, leaves nothing); grain of sigma 3 to 8 saved at quality 92 reads about 2.5
    // to 9, and a quality-75 encoder removes most of sigma 3, hence the low full level.
    static constexpr double cleanNoiseAtMost = 0.15;
    static constexpr double fullNoiseAt = 1.0;
    static constexpr double noisyMultiplier = 0.7;
    // An exposure this many stops from middle grey (median luminance) counts as fully off.
    static constexpr double exposureStopsRange = 4.0;
    // Burnt highlights cost this many times their share of the frame: detail lost to white is
    // gone, and a step brighter that clips a sky must not win on its better-placed mid-tones.
    static constexpr double highlightClipCost = 8.0;

    // What the face pass contributes to the signals.
    struct FaceSignals {
        std::optional<double> faceQuality;
        std::optional<bool> eyesOpen;
        friend bool operator==(const FaceSignals&, const FaceSignals&) = default;
    };

    struct Score {
        double score = 0; // 0…100
        std::vector<ScoreReason> reasons;
    };

    static PhotoQualityScorecard& shared();

    // Decodes, measures and scores one photo. Throws PhotoQualityError when the file cannot be
    // decoded, FaceAnalysisError when the face pass cannot run.
    PhotoQuality evaluate(const PhotoRecord& record);
    // The same from the signals `measureImage` took of the photo's thumbnail, without decoding:
    // equal to `evaluate(record)` but for `computedAt`.
    PhotoQuality evaluate(const PhotoRecord& record, const QualitySignals& imageSignals);

    static QualitySignals measure(const ImageBuffer& image, const PhotoRecord& record);
    // The signals that depend on the image alone (faces, sharpness, clipping), the face pass
    // always run; the record's own fields are left at their defaults. A gray (one-channel) copy
    // of the thumbnail gives the same signals as the thumbnail. Nothing when the image cannot be
    // drawn to gray; throws FaceAnalysisError when the face pass cannot run.
    static std::optional<QualitySignals> measureImage(const ImageBuffer& image);
    // The same, except nothing for a photo with faces while the face model is still loading.
    static std::optional<QualitySignals> measureImageWithoutWaiting(const ImageBuffer& image);
    // `measureImage` of the thumbnail `evaluate(record)` decodes; nothing when the file cannot be
    // decoded or drawn to gray.
    static std::optional<QualitySignals> measureFile(const PhotoRecord& record);
    static FaceSignals analyzeFaces(const ImageBuffer& image);
    // The face-pass rules over already detected faces, in detector order.
    static FaceSignals faceSignals(const std::vector<FaceObservation>& faces);
    static bool isSignificantFace(const FaceObservation& face);
    // Height over width of the eye contour's bounding box; nothing when it cannot be measured.
    static std::optional<double>
    eyeOpenness(const std::optional<std::vector<NormalizedPoint>>& eye);
    // Gray copy whose longer side is at most `longerSide`; nothing for an empty image.
    static std::optional<GrayImage> renderGray(const ImageBuffer& image,
                                               int longerSide = grayMaxPixelSize);
    static double laplacianVariance(const GrayImage& gray);
    // Standard deviation of the noise of a gray image in 8-bit levels: per block, the energy of
    // Immerkær's operator beyond what the same block holds at half size (texture carries across
    // scales, white noise does not), the median over the flatter half of the blocks, so that
    // neither texture nor the blocks a JPEG encoder flattened decide; clipped pixels, which carry
    // none, left out. Nothing when too little of the image can be measured.
    static std::optional<double> noiseLevel(const GrayImage& gray);
    // The median luminance's distance from middle grey (18 % linear reflectance), in stops.
    static double midtoneStops(const std::vector<std::uint8_t>& pixels);
    // (shadow, highlight) clipped fractions of the bytes.
    static std::pair<double, double> clipFractions(const std::vector<std::uint8_t>& pixels);
    static Score scoreAndReasons(const QualitySignals& signals);

private:
    PhotoQualityScorecard() = default;
    static std::optional<QualitySignals> measureImage(const ImageBuffer& image, bool facePass,
                                                      bool wait = true);
    static std::optional<ImageBuffer> thumbnailOf(const PhotoRecord& record);
    static PhotoQuality assemble(const PhotoRecord& record, QualitySignals signals);
};

} // namespace quorlix
