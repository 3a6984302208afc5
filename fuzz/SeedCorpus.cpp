// Writes the seed corpora of the fuzz targets into a folder, one sub-folder per target:
//   quorlix_fuzz_seeds OUT
// Images come from the tests' own generators, small so that mutations stay cheap.
#include "TestImages.h"

#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>
#include <vips/vips8>

namespace fs = std::filesystem;
using namespace quorlix;

namespace {

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Extension order of the decoder target: its first input byte indexes this list.
const std::vector<std::string> decoderExtensions = {"jpg",  "png", "gif", "webp", "tif", "heic",
                                                    "avif", "bmp", "dng", "cr2",  "nef", "arw",
                                                    "raf",  "orf", "rw2", "cr3"};

char extensionByte(const std::string& ext) {
    for (std::size_t i = 0; i < decoderExtensions.size(); ++i)
        if (decoderExtensions[i] == ext)
            return char(i);
    return 0;
}

// A 24-bit BMP of `w` x `h` pixels: libvips has no BMP saver.
std::string tinyBmp(int w, int h) {
    const int row = (w * 3 + 3) & ~3;
    const int pixels = row * h;
    std::string out;
    const auto u16 = [&](unsigned v) {
        out += char(v & 0xff), out += char(v >> 8);
    };
    const auto u32 = [&](unsigned v) {
        u16(v & 0xffff), u16(v >> 16);
    };
    out += "BM";
    u32(unsigned(54 + pixels)), u32(0), u32(54);
    u32(40), u32(unsigned(w)), u32(unsigned(h)), u16(1), u16(24), u32(0), u32(unsigned(pixels));
    u32(2835), u32(2835), u32(0), u32(0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < row; ++x)
            out += char(x < w * 3 ? (x * 37 + y * 11) & 0xff : 0);
    return out;
}

void decoderSeeds(const fs::path& out, const fs::path& work) {
    const vips::VImage photo = test::photoLike(48, 32, 5);
    int n = 0;
    for (const std::string ext : {"jpg", "png", "gif", "webp", "tif", "heic", "avif"}) {
        const fs::path file = work / ("seed." + ext);
        if (!test::save(photo, file))
            continue;
        writeAll(out / ("seed-" + std::to_string(n++)), extensionByte(ext) + readAll(file));
    }
    // An EXIF orientation exercises the rotation step.
    const fs::path rotated = work / "rotated.jpg";
    if (test::save(photo, rotated)) {
        test::writeExif(rotated, {{"Exif.Image.Orientation", "6"}});
        writeAll(out / ("seed-" + std::to_string(n++)), extensionByte("jpg") + readAll(rotated));
    }
    writeAll(out / ("seed-" + std::to_string(n++)), extensionByte("bmp") + tinyBmp(7, 5));
    for (const int orientation : {1, 8})
        writeAll(out / ("seed-" + std::to_string(n++)),
                 extensionByte("dng") + test::minimalDng(16, 12, orientation));
}

void exifSeeds(const fs::path& out, const fs::path& work) {
    const vips::VImage photo = test::photoLike(16, 16, 7);
    const std::map<std::string, std::string> tags = {
        {"Exif.Photo.DateTimeOriginal", "2024:02:29 23:59:58"},
        {"Exif.Image.Make", "Quorlix"},
        {"Exif.Image.Model", "Fuzz"},
        {"Exif.Image.Orientation", "3"}};
    int n = 0;
    for (const std::string ext : {"jpg", "png", "webp", "tif"}) {
        const fs::path file = work / ("exif." + ext);
        if (!test::save(photo, file))
            continue;
        try {
            test::writeExif(file, tags);
        } catch (const Exiv2::Error&) {
            continue;
        }
        writeAll(out / ("seed-" + std::to_string(n++)), readAll(file));
    }
    writeAll(out / ("seed-" + std::to_string(n++)), test::minimalDng(8, 8, 6));
    for (const char* text : {"2024:02:29 23:59:58", "0001:01:01 00:00:00", "1999:12:31 24:00:00"})
        writeAll(out / ("seed-" + std::to_string(n++)), text);
}

void contentKeySeeds(const fs::path& out) {
    // See ContentKeysFuzzer.cpp for the record format.
    const std::vector<std::string> seeds = {
        // two copies of a 252 KiB file and one that differs in its middle only
        "\x3f\x0c" + std::string(63, 'p') + "\x80" + std::string("\xc0\x80\x07", 3),
        // one size shared by files whose samples differ, and a lone size
        std::string("\x02\x00"
                    "ab"
                    "\x02\x00"
                    "ba"
                    "\x03\x01"
                    "xyz",
                    13),
        // two empty files and one of 4097 bytes
        std::string("\x00\x00\x00\x00\x41\x0c"
                    "q",
                    7),
    };
    int n = 0;
    for (const auto& seed : seeds)
        writeAll(out / ("seed-" + std::to_string(n++)), seed);
}

void configSeeds(const fs::path& out) {
    // The documents of the settings tests.
    const std::vector<std::string> seeds = {
        "{}",
        R"({"completedScans":5})",
        R"({"language":null,"theme":"dark","future":[1,2],"completedScans":5.0})",
        R"({"language":"it","theme":"light","completedScans":12,"lastFolderBookmark":"L2hvbWUvcGhvdG9z"})",
        R"({"completedScans":1e30})",
        R"({"lastFolderBookmark":"@@@"})",
    };
    int n = 0;
    for (const auto& seed : seeds)
        writeAll(out / ("seed-" + std::to_string(n++)), seed);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT\n", argv[0]);
        return 2;
    }
    if (VIPS_INIT(argv[0]))
        return 1;
    const fs::path out = argv[1];
    const fs::path work = out / ".work";
    for (const char* target : {"decoder", "exif", "content_keys", "config"})
        fs::create_directories(out / target);
    fs::create_directories(work);
    decoderSeeds(out / "decoder", work);
    exifSeeds(out / "exif", work);
    contentKeySeeds(out / "content_keys");
    configSeeds(out / "config");
    fs::remove_all(work);
    return 0;
}
