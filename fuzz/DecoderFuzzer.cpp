// ImageDecoder::decode on arbitrary bytes. The first byte picks the file name's extension, which
// routes the file to LibRaw or libvips; the rest is the file.
#include "FuzzFolder.h"
#include "engine/analysis/ImageDecoder.h"

#include <array>
#include <cstdlib>
#include <string>

namespace {

constexpr std::array<const char*, 16> extensions = {"jpg",  "png", "gif", "webp", "tif", "heic",
                                                    "avif", "bmp", "dng", "cr2",  "nef", "arw",
                                                    "raf",  "orf", "rw2", "cr3"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::string name = std::string("input.") + extensions[data[0] % extensions.size()];
    const auto file = quorlix::fuzz::writeScratch(name, data + 1, size - 1);
    const auto decoded = quorlix::ImageDecoder::decode(file, 256);
    if (decoded) {
        const auto& t = decoded->thumbnail;
        // What every caller relies on: a non-empty 3-channel thumbnail within the size asked for.
        if (t.width <= 0 || t.height <= 0 || t.width > 256 || t.height > 256 || t.channels != 3 ||
            t.pixels.size() != std::size_t(t.width) * std::size_t(t.height) * 3 ||
            decoded->storedWidth <= 0 || decoded->storedHeight <= 0)
            std::abort();
    }
    std::filesystem::remove(file);
    return 0;
}
