#pragma once

#include <optional>

namespace quorlix {

// What the scorecard measured of one photo, before weighting.
struct QualitySignals {
    std::optional<double> aesthetics01; // (aestheticScore + 1) × 0.5
    std::optional<double> faceQuality;  // mean capture quality of the significant faces
    std::optional<bool> eyesOpen;       // false as soon as one face has both eyes closed
    double sharpness01 = 0;             // min(raw sharpness less the noise's share / 400, 1)
    double shadowClip01 = 0;            // fraction of gray pixels at or below 5
    double highlightClip01 = 0;         // fraction of gray pixels at or above 250
    bool isUtility = false;
    std::optional<double> noiseLevel; // the record's: noise at full resolution, 8-bit levels
    double midtoneStops = 0;          // median luminance in stops from middle grey

    friend bool operator==(const QualitySignals&, const QualitySignals&) = default;
};

} // namespace quorlix
