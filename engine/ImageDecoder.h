#pragma once

#include "engine/ImageBuffer.h"

#include <filesystem>
#include <optional>

// Decoding photos into small buffers. Every file is treated as hostile input.
namespace quorlix::ImageDecoder {

// Starts the image library once per process; safe to call from any thread, any number of times.
void ensureInitialised();

// The whole image, orientation applied, scaled so its longer side is at most `maxPixelSize`,
// as 8-bit sRGB. Nothing when the file is not a decodable image.
std::optional<ImageBuffer> thumbnail(const std::filesystem::path& file, int maxPixelSize);

} // namespace quorlix::ImageDecoder
