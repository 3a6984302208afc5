#include "TestImages.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exiv2/exiv2.hpp>
#include <stdexcept>
#include <string>
#include <vector>

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

std::string minimalDng(int width, int height, int orientation) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count;
        std::string data; // little-endian value bytes
    };
    const auto u16 = [](std::uint32_t v) {
        return std::string{char(v & 0xff), char(v >> 8)};
    };
    const auto u32 = [&](std::uint32_t v) {
        return u16(v & 0xffff) + u16(v >> 16);
    };
    const auto shorts = [&](std::initializer_list<std::uint32_t> values) {
        std::string out;
        for (auto v : values)
            out += u16(v);
        return out;
    };
    const auto rationals = [&](std::initializer_list<std::int32_t> numerators) {
        std::string out;
        for (auto v : numerators)
            out += u32(std::uint32_t(v)) + u32(1);
        return out;
    };
    const std::uint32_t pixelBytes = std::uint32_t(width) * std::uint32_t(height) * 2u;
    std::vector<Entry> entries = {
        {254, 4, 1, u32(0)},
        {256, 4, 1, u32(std::uint32_t(width))},
        {257, 4, 1, u32(std::uint32_t(height))},
        {258, 3, 1, shorts({16})},
        {259, 3, 1, shorts({1})},
        {262, 3, 1, shorts({32803})},
        {271, 2, 8, std::string("Quorlix\0", 8)},
        {272, 2, 5, std::string("Test\0", 5)},
        {273, 4, 1, u32(0)}, // strip offset, patched below
        {274, 3, 1, shorts({std::uint32_t(orientation)})},
        {277, 3, 1, shorts({1})},
        {278, 4, 1, u32(std::uint32_t(height))},
        {279, 4, 1, u32(pixelBytes)},
        {284, 3, 1, shorts({1})},
        {33421, 3, 2, shorts({2, 2})},
        {33422, 1, 4, std::string("\0\1\1\2", 4)},
        {50706, 1, 4, std::string("\1\4\0\0", 4)},
        {50708, 2, 13, std::string("Quorlix Test\0", 13)},
        {50714, 4, 1, u32(0)},
        {50717, 4, 1, u32(65535)},
        {50721, 10, 9, rationals({1, 0, 0, 0, 1, 0, 0, 0, 1})},
        {50728, 5, 3, rationals({1, 1, 1})},
        {50778, 3, 1, shorts({21})},
    };
    const std::uint32_t ifdSize = 2 + std::uint32_t(entries.size()) * 12 + 4;
    std::uint32_t extraOffset = 8 + ifdSize;
    std::string extra;
    for (const auto& e : entries)
        if (e.data.size() > 4)
            extra += e.data + (e.data.size() % 2 ? std::string(1, '\0') : std::string());
    const std::uint32_t stripOffset = extraOffset + std::uint32_t(extra.size());
    entries[8].data = u32(stripOffset);

    std::string out = std::string("II*\0", 4) + u32(8) + u16(std::uint32_t(entries.size()));
    for (const auto& e : entries) {
        out += u16(e.tag) + u16(e.type) + u32(e.count);
        if (e.data.size() <= 4) {
            out += e.data + std::string(4 - e.data.size(), '\0');
        } else {
            out += u32(extraOffset);
            extraOffset += std::uint32_t(e.data.size() + e.data.size() % 2);
        }
    }
    out += u32(0) + extra;
    out.reserve(out.size() + pixelBytes);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool block = x < width / 4 && y < height / 4;
            out += u16(block ? 52000u : 9000u + std::uint32_t(x % 64) * 40u);
        }
    return out;
}

std::string shellQuoted(const std::filesystem::path& path) {
    std::string out = "'";
    for (char c : path.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool runQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool heicFromJpeg(const std::filesystem::path& source, const std::filesystem::path& heic) {
    return runQuietly("heif-enc -q 85 -o " + shellQuoted(heic) + " " + shellQuoted(source));
}

bool dateWithExifTool(const std::filesystem::path& file, const std::string& dateTime) {
    return runQuietly("exiftool -q -q -m -overwrite_original '-DateTimeOriginal=" + dateTime +
                      "' '-Make=Quorlix Camera' " + shellQuoted(file));
}

} // namespace quorlix::test

// libx265, which libheif uses to write the HEIC test files, keeps two small allocations for the
// life of the process; the leak checker of sanitized builds is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}
