#pragma once

#include "engine/core/GrayImage.h"
#include "engine/core/ImageBuffer.h"
#include "engine/core/ImageFormat.h"
#include "engine/core/MemoryBudget.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// Decoding photos into small buffers. Every file is treated as hostile input: the header is read
// and the pixel count checked against the format's cap (ImageFormat) before any pixel is decoded,
// every decoder runs with its limits on, and a decode that runs past its time budget is stopped.
// All functions are thread-safe.
namespace quorlix::ImageDecoder {

// Wall-clock budget for one decode; a pathological file is abandoned after it.
inline constexpr double decodeBudgetSeconds = 30.0;
// The band of the stored image decoded at full resolution besides the thumbnail: its top rows,
// which every streamed format reaches first, centred across.
inline constexpr int detailRows = 256;
inline constexpr int detailColumns = 1024;
// Largest stored image, in bytes (width × height × bands × bytes per band), that is decoded at
// all: a 200-megapixel 8-bit photo passes, a 16-bit RGBA image of the same area does not.
inline constexpr std::int64_t maxImageBytes = std::int64_t(1) << 30;
// What the decodes of one process may hold at once, however many threads decode: each decode
// draws the memory its decoder works in (the whole image for decoders that cannot stream, line
// buffers for those that can) before it decodes a pixel, and one that needs more never starts.
inline constexpr std::int64_t workingMemoryBytes = std::int64_t(512) << 20;

// One decode: the upright thumbnail and the size of the image as stored (before orientation).
struct Decoded {
    ImageBuffer thumbnail; // 8-bit sRGB, 3 channels, longer side at most the size asked for
    int storedWidth = 0;
    int storedHeight = 0;
    // The EXIF block the decoder read with the image, empty when the file has none; nothing when
    // this decoder does not hand EXIF over (camera raws), and the file itself must be asked.
    std::optional<std::string> exif;
    // Luminance of the full-resolution band, where sensor noise is still as visible as at 100 %
    // (the thumbnail averages it away). Empty where the decoder cannot give it cheaply (camera
    // raws are decoded at half size, BMP whole).
    GrayImage detail;
    // The decoder warned, repaired or stopped early: the pixels may not be the photo's.
    bool damaged = false;
};

// The budget every decode draws its working memory from.
MemoryBudget& workingMemory();

// Starts the image libraries once per process; safe to call from any thread, any number of times.
void ensureInitialised();

// Opens the file once and decodes it straight to a thumbnail rendered from the full image (never
// Opens the file once and decodes it straight to a thumbnail rendered from the full image (never
// an embedded preview), orientation applied, keeping the EXIF block read on the way. Nothing when
// the path is not a regular file (it is never followed as a link nor waited on), is not a
// decodable image, declares more than the pixel or byte cap, or fails in decoding even once
// damage is tolerated.
std::optional<Decoded> decode(const std::filesystem::path& file, int maxPixelSize);

// The thumbnail alone.
std::optional<ImageBuffer> thumbnail(const std::filesystem::path& file, int maxPixelSize);

// Whether the extension names a camera raw format, which is decoded from its sensor data.
bool isRawExtension(const std::filesystem::path& file);

} // namespace quorlix::ImageDecoder
