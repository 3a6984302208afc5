#include "engine/ImageDecoder.h"

#include <mutex>
#include <vips/vips8>

namespace quorlix::ImageDecoder {

void ensureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (VIPS_INIT("quorlix") != 0)
            return;
        vips_cache_set_max(0);   // every file is decoded once; a cache only holds memory
        vips_concurrency_set(1); // the scan runs its own pool of analyses
    });
}

std::optional<ImageBuffer> thumbnail(const std::filesystem::path& file, int maxPixelSize) {
    ensureInitialised();
    try {
        vips::VImage image = vips::VImage::thumbnail(
            file.c_str(), maxPixelSize,
            vips::VImage::option()->set("height", maxPixelSize)->set("size", VIPS_SIZE_DOWN));
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
        if (image.has_alpha())
            image = image.flatten(vips::VImage::option()->set("background", 255.0));
        if (image.bands() > 3)
            image = image.extract_band(0, vips::VImage::option()->set("n", 3));
        image = image.cast(VIPS_FORMAT_UCHAR);
        ImageBuffer out;
        out.width = image.width();
        out.height = image.height();
        out.channels = image.bands();
        std::size_t size = 0;
        void* memory = image.write_to_memory(&size);
        out.pixels.assign(static_cast<std::uint8_t*>(memory),
                          static_cast<std::uint8_t*>(memory) + size);
        g_free(memory);
        if (out.empty())
            return std::nullopt;
        return out;
    } catch (const vips::VError&) {
        return std::nullopt;
    }
}

} // namespace quorlix::ImageDecoder
