#include "engine/FeaturePrint.h"

#include <cmath>

namespace quorlix {

// Placeholder until the calibrated descriptor lands: a 16x16 mean-luminance layout.
std::vector<float> computeFeaturePrint(const ImageBuffer& thumbnail) {
    constexpr int grid = 16;
    std::vector<float> out(grid * grid, 0.0f);
    if (thumbnail.empty())
        return out;
    std::vector<int> counts(grid * grid, 0);
    for (int y = 0; y < thumbnail.height; ++y)
        for (int x = 0; x < thumbnail.width; ++x) {
            const auto* p = thumbnail.at(x, y);
            const float luma = thumbnail.channels >= 3
                                   ? 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]
                                   : float(p[0]);
            const int cell = (y * grid / thumbnail.height) * grid + x * grid / thumbnail.width;
            out[cell] += luma;
            ++counts[cell];
        }
    for (int i = 0; i < grid * grid; ++i)
        out[i] = counts[i] ? out[i] / float(counts[i]) : 0.0f;
    return out;
}

} // namespace quorlix
