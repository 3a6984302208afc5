#pragma once

#include <optional>
#include <vector>

namespace quorlix {

// What the image analysis makes of one photo: the feature print that look-alike grouping
// compares, and the fields a record takes from the image itself.
struct PhotoAnalysis {
    std::vector<float> embedding;
    std::optional<double> aesthetic;
    // Standard deviation of the sensor noise at the file's full resolution, in 8-bit levels.
    std::optional<double> noiseLevel;
    std::optional<bool> isUtility;
    std::optional<double> dateOriginal;
    std::optional<int> pixelWidth;
    std::optional<int> pixelHeight;
    // The decoder had to repair the file or could read only part of it.
    bool isDamaged = false;
};

} // namespace quorlix
