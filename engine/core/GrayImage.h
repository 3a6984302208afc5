#pragma once

#include "engine/core/ImageBuffer.h"

#include <cstdint>
#include <vector>

namespace quorlix {

// One byte of luminance per pixel, row after row.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Luma (Rec. 601 weights) of an 8-bit image with 1 to 4 channels; alpha is ignored.
GrayImage grayOf(const ImageBuffer& image);

// The rectangle (x, y, width, height) of `source`, clamped to it, resampled to exactly
// `width` × `height` by area averaging: every source pixel contributes by the area it covers, so
// it works for shrinking and enlarging alike. Empty when either size is below 1.
GrayImage resampled(const GrayImage& source, double x, double y, double w, double h, int width,
                    int height);
GrayImage resampled(const GrayImage& source, int width, int height);

// Variance of the 4-neighbour Laplacian over the interior pixels; 0 below 3 × 3.
double laplacianVariance(const std::uint8_t* pixels, int width, int height);

} // namespace quorlix
