#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The image formats a scan accepts: which file names enumeration takes, which decoder reads each
// one and how large an image it may be. Enumeration, decoding and the product constants all read
// this one table.
namespace quorlix::ImageFormat {

// The decoder that reads a format's pixels.
enum class Loader { jpeg, png, webp, tiff, heif, gif, bmp, raw };

struct Format {
    std::string_view extension; // lower case, without the dot
    Loader loader;
};

inline constexpr std::array<Format, 18> formats = {{
    {"jpg", Loader::jpeg},
    {"jpeg", Loader::jpeg},
    {"png", Loader::png},
    {"heic", Loader::heif},
    {"heif", Loader::heif},
    {"tif", Loader::tiff},
    {"tiff", Loader::tiff},
    {"gif", Loader::gif},
    {"bmp", Loader::bmp},
    {"webp", Loader::webp},
    {"dng", Loader::raw},
    {"cr2", Loader::raw},
    {"cr3", Loader::raw},
    {"nef", Loader::raw},
    {"arw", Loader::raw},
    {"raf", Loader::raw},
    {"orf", Loader::raw},
    {"rw2", Loader::raw},
}};

// Largest stored image, in pixels, that a loader decodes at all. Loaders that shrink while they
// read (and LibRaw's half-size mode) take a 200-megapixel photo; those that can only expand the
// whole image first get a tighter cap.
constexpr std::int64_t maxPixels(Loader loader) {
    switch (loader) {
    case Loader::heif:
    case Loader::gif:
    case Loader::bmp:
        return 100'000'000;
    default:
        return 200'000'000;
    }
}

// The format of a lower-case extension; nothing for a name enumeration does not take.
const Format* find(std::string_view extension);

// The lower-cased text after the last "." of a file name, or empty text.
std::string lowerExtension(std::string_view fileName);

} // namespace quorlix::ImageFormat
