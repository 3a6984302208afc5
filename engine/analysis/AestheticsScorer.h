#pragma once

#include "engine/core/ImageBuffer.h"

#include <filesystem>
#include <optional>

namespace quorlix {

// An aesthetics judgement: a score on −1…1 and whether the picture is a utility image
// (screenshot, document, flat graphic) rather than a photograph.
struct AestheticsResult {
    double overallScore = 0.0;
    bool isUtility = false;
};

// The measurements behind one judgement, kept for benchmarks and diagnostics.
struct AestheticsSignals {
    // Detail: noise-corrected finest-scale energy over the energy one octave pair coarser.
    double detail = 0.0;
    double noiseSigma = 0.0;    // noise in 8-bit levels, from the flattest blocks
    double medianStops = 0.0;   // median luminance in stops from middle grey (linear light)
    double headroomStops = 0.0; // stops from the 99th luminance percentile up to white
    double burnt = 0.0;         // fraction of pixels whose luminance is at white
    double clipHigh = 0.0;      // burnt, a channel clipped, or piled up under the top level
    double clipLow = 0.0;       // fraction crushed to black
    double range = 0.0;         // 1st to 99th luminance percentile, 0…1
    double colourfulness = 0.0;
    double detailQuality = 0.0;
    double exposureQuality = 0.0;
    double noiseQuality = 0.0;
    // Utility evidence.
    double flatFraction = 0.0; // pixels whose neighbours carry exactly their colour
    int paletteSize = 0;       // colours (5 bits a channel) covering 95 % of the pixels
    double stepFraction = 0.0; // hard, single-pixel luminance steps (text, UI outlines)
    double utilityEvidence = 0.0;
    AestheticsResult result;
};

// Our own image-statistics aesthetics score. Stateless and thread-safe: one shared instance exists
// only to mirror the other analysers.
class AestheticsScorer {
public:
    static AestheticsScorer& shared();

    // The orientation-corrected thumbnail rendered from the full image, longer side at most
    // `maxPixelSize`; nothing when the file is not a decodable image.
    static std::optional<ImageBuffer> makeThumbnail(const std::filesystem::path& file,
                                                    int maxPixelSize);

    // `hasCameraMetadata`: whether the file's EXIF names a camera or an exposure, when known;
    // its absence counts toward a utility image.
    std::optional<AestheticsResult> scoreImage(const ImageBuffer& image,
                                               std::optional<bool> hasCameraMetadata = {}) const;

    std::optional<AestheticsResult> scoreFile(const std::filesystem::path& file,
                                              int maxPixelSize) const;

    // Every measurement of one image; nothing for an image too small to judge.
    static std::optional<AestheticsSignals> measure(const ImageBuffer& image,
                                                    std::optional<bool> hasCameraMetadata = {});

private:
    AestheticsScorer() = default;
};

} // namespace quorlix
