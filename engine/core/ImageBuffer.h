#pragma once

#include <cstdint>
#include <vector>

namespace quorlix {

// An 8-bit image in memory, channels interleaved row by row: 1 = gray, 3 = sRGB.
struct ImageBuffer {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<std::uint8_t> pixels; // width * height * channels bytes

    bool empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
    const std::uint8_t* at(int x, int y) const {
        return pixels.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * channels;
    }
};

} // namespace quorlix
