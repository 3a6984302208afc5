#pragma once

#include "engine/core/ImageBuffer.h"
#include "engine/core/ImageFormat.h"

#include <cstdint>
#include <filesystem>
#include <optional>

// Decoding photos into small buffers. Every file is treated as hostile input: the header is read
// and the pixel count checked against the format's cap (ImageFormat) before any pixel is decoded,
// every decoder runs with its limits on, and a decode that runs past its time budget is stopped.
// All functions are thread-safe.
namespace quorlix::ImageDecoder {

// Wall-clock budget for one decode; a pathological file is abandoned after it.
inline constexpr double decodeBudgetSeconds = 30.0;

// One decode: the upright thumbnail and the size of the image as stored (before orientation).
struct Decoded {
    ImageBuffer thumbnail; // 8-bit sRGB, 3 channels, longer side at most the size asked for
    int storedWidth = 0;
    int storedHeight = 0;
};

// Starts the image libraries once per process; safe to call from any thread, any number of times.
void ensureInitialised();

// Opens the file once and decodes it straight to a thumbnail rendered from the full image (never
// an embedded preview), orientation applied. Nothing when the file is not a decodable image,
// declares more than the pixel cap, or fails anywhere in decoding.
std::optional<Decoded> decode(const std::filesystem::path& file, int maxPixelSize);

// The thumbnail alone.
std::optional<ImageBuffer> thumbnail(const std::filesystem::path& file, int maxPixelSize);

// Whether the extension names a camera raw format, which is decoded from its sensor data.
bool isRawExtension(const std::filesystem::path& file);

} // namespace quorlix::ImageDecoder
