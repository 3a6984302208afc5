#include "TestImages.h"

#include <algorithm>
#include <exiv2/exiv2.hpp>
#include <stdexcept>

namespace quorlix::test {

using vips::VImage;

vips::VImage photoLike(int width, int height, int seed) {
    // Noise smoothed at `scale` pixels; coarse scales are drawn small and enlarged, which is cheap.
    const auto noise = [&](double sigma, int scale, int s) {
        const int w = std::max(4, width / scale + 2), h = std::max(4, height / scale + 2);
        VImage n = VImage::gaussnoise(
            w, h,
            VImage::option()->set("sigma", sigma)->set("mean", 0.0)->set("seed", seed * 31 + s));
        if (scale == 1)
            return n.crop(0, 0, width, height);
        n = n.gaussblur(1.0).resize(double(scale),
                                    VImage::option()->set("kernel", VIPS_KERNEL_CUBIC));
        return n.crop(0, 0, width, height);
    };
    // Large soft shapes, mid-scale texture and a little grain, per channel with shared luminance.
    VImage base = noise(160.0, std::max(8, width / 12), 1) + noise(40.0, 6, 2) + noise(14.0, 2, 3);
    VImage red = base + noise(90.0, std::max(8, width / 8), 4);
    VImage blue = base + noise(90.0, std::max(8, width / 8), 5);
    VImage rgb = VImage::bandjoin({red, base, blue}) + 118.0;
    // A few hard-edged objects.
    rgb = rgb.copy_memory();
    for (int i = 0; i < 6; ++i) {
        const int x = (i * 7919 + seed * 104729) % (width * 3 / 4);
        const int y = (i * 6271 + seed * 7) % (height * 3 / 4);
        const double shade = 40.0 + (i * 37 % 170);
        rgb.draw_rect({shade, shade * 0.8, 255 - shade}, x, y, width / 8, height / 10,
                      VImage::option()->set("fill", true));
    }
    rgb = rgb + noise(2.0, 1, 6);
    return rgb.cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
        .copy_memory();
}

vips::VImage screenshotLike(int width, int height) {
    VImage canvas = VImage::black(width, height, VImage::option()->set("bands", 3)) + 246.0;
    canvas = canvas.cast(VIPS_FORMAT_UCHAR).copy_memory();
    canvas.draw_rect({52, 58, 70}, 0, 0, width, height / 18, VImage::option()->set("fill", true));
    canvas.draw_rect({225, 228, 232}, 0, height / 18, width / 5, height,
                     VImage::option()->set("fill", true));
    canvas.draw_rect({30, 110, 220}, width / 4, height / 5, width / 6, height / 22,
                     VImage::option()->set("fill", true));
    const int lineHeight = std::max(12, height / 40);
    for (int line = 0; line < 18; ++line) {
        const int y = height / 4 + line * lineHeight * 2;
        if (y + lineHeight >= height)
            break;
        // Glyph-like strokes: short dark bars with gaps, one or two pixels wide.
        for (int x = width / 4; x < width * 9 / 10; x += 3 + (x * 7 + line) % 5) {
            const int stroke = 1 + (x + line) % 2;
            const int tall = lineHeight / 2 + (x * 13 + line) % (lineHeight / 2);
            canvas.draw_rect({20, 20, 24}, x, y + lineHeight - tall, stroke, tall,
                             VImage::option()->set("fill", true));
        }
    }
    return canvas.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

bool save(const vips::VImage& image, const std::filesystem::path& file) {
    try {
        // HEVC at the encoder's default effort takes seconds; the fastest setting is enough here.
        const std::string ext = file.extension().string();
        const bool heif = ext == ".heic" || ext == ".heif";
        image.write_to_file((file.string() + (heif ? "[effort=0]" : "")).c_str());
        return std::filesystem::exists(file);
    } catch (const vips::VError&) {
        return false;
    }
}

void writeExif(const std::filesystem::path& file, const std::map<std::string, std::string>& tags) {
    auto image = Exiv2::ImageFactory::open(file.string());
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    for (const auto& [key, value] : tags) {
        if (key == "Exif.Image.Orientation")
            exif[key] = std::uint16_t(std::stoi(value));
        else
            exif[key] = value;
    }
    image->writeMetadata();
}

vips::VImage exposed(const vips::VImage& image, double factor) {
    return (image.colourspace(VIPS_INTERPRETATION_scRGB) * factor)
        .colourspace(VIPS_INTERPRETATION_sRGB);
}

vips::VImage noisy(const vips::VImage& image, double sigma, int seed) {
    VImage noise = VImage::gaussnoise(
        image.width(), image.height(),
        VImage::option()->set("sigma", sigma)->set("mean", 0.0)->set("seed", seed));
    VImage out = (image.cast(VIPS_FORMAT_FLOAT) + VImage::bandjoin({noise, noise, noise}))
                     .cast(VIPS_FORMAT_UCHAR);
    return (image >= 254.0).ifthenelse(image, out);
}

} // namespace quorlix::test
