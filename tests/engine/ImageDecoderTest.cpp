#include "engine/analysis/ImageDecoder.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/ExifDate.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sys/resource.h>
#include <thread>

using namespace quorlix;

namespace {

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string pngChunk(const std::string& type, const std::string& data) {
    return be32(std::uint32_t(data.size())) + type + data + be32(crc32(type + data));
}

// A 50,000 × 50,000 RGB PNG header followed by a tiny, valid zlib stream.
std::string bombPng() {
    std::string ihdr = be32(50000) + be32(50000) + std::string("\x08\x02\x00\x00\x00", 5);
    const std::string zlib("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9);
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", zlib) +
           pngChunk("IEND", "");
}

long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class ImageDecoderTest : public ::testing::Test {
protected:
    void SetUp() override { ImageDecoder::ensureInitialised(); }
    test::TempFolder folder;
};

TEST_F(ImageDecoderTest, EveryWritableFormatDecodesToAnUprightThumbnail) {
    const auto image = test::photoLike(1056, 792);
    // Aliases are copies of one encoding each (HEVC encoding alone takes seconds).
    const std::map<std::string, std::string> aliasOf = {
        {"jpeg", "jpg"}, {"tiff", "tif"}, {"heif", "heic"}};
    for (const char* ext :
         {"jpg", "jpeg", "png", "tif", "tiff", "gif", "webp", "heic", "heif", "bmp"}) {
        const auto file = folder.path() / (std::string("photo.") + ext);
        const auto alias = aliasOf.find(ext);
        std::error_code ec;
        const bool written =
            alias == aliasOf.end()
                ? test::save(image, file)
                : std::filesystem::copy_file(folder.path() / ("photo." + alias->second), file, ec);
        if (!written) {
            // Only the HEIF encoder may be missing on a machine; everything else must be there.
            EXPECT_TRUE(std::string(ext).starts_with("hei")) << ext << " cannot be written";
            continue;
        }
        const auto decoded = ImageDecoder::decode(file, 1024);
        ASSERT_TRUE(decoded) << ext;
        EXPECT_EQ(decoded->storedWidth, 1056) << ext;
        EXPECT_EQ(decoded->storedHeight, 792) << ext;
        EXPECT_EQ(decoded->thumbnail.width, 1024) << ext;
        EXPECT_EQ(decoded->thumbnail.height, 768) << ext;
        EXPECT_EQ(decoded->thumbnail.channels, 3) << ext;
        EXPECT_EQ(decoded->thumbnail.pixels.size(), 1024u * 768u * 3u) << ext;
        EXPECT_FALSE(decoded->damaged) << ext;
    }
}

// GIF's LZW data has no checksum and its decoder takes damage silently, so a photo with a few
// flipped bytes still decodes, into wrong pixels. Each one that decodes is marked damaged (and so
// is never kept over its intact original); the intact file is not.
TEST_F(ImageDecoderTest, DamagedGifThatStillDecodesIsMarkedDamaged) {
    const auto intact = folder.path() / "intact.gif";
    ASSERT_TRUE(test::save(test::photoLike(240, 240, 5), intact));
    const auto decodedIntact = ImageDecoder::decode(intact, 256);
    ASSERT_TRUE(decodedIntact);
    EXPECT_FALSE(decodedIntact->damaged);
    const std::string bytes = readAll(intact);
    int stillDecoded = 0;
    for (int percent = 40; percent < 100; percent += 3) {
        std::string damaged = bytes;
        const std::size_t at = damaged.size() * std::size_t(percent) / 100;
        for (std::size_t k = 0; k < 4 && at + k < damaged.size() - 1; ++k)
            damaged[at + k] = char(damaged[at + k] ^ 0x5a);
        const auto file = folder.write("damaged" + std::to_string(percent) + ".gif", damaged);
        if (const auto decoded = ImageDecoder::decode(file, 256)) {
            ++stillDecoded;
            EXPECT_TRUE(decoded->damaged) << percent;
        }
    }
    EXPECT_GT(stillDecoded, 0);
}

TEST_F(ImageDecoderTest, OrientationTurnsTheThumbnailButNotTheStoredSize) {
    // Stored landscape 2016 × 1512 with a red block at the stored top-left corner; orientation 6
    // means "turn 90° clockwise to view", which puts the block at the top-right.
    auto image = vips::VImage::black(2016, 1512, vips::VImage::option()->set("bands", 3)) + 128.0;
    image = image.cast(VIPS_FORMAT_UCHAR).copy_memory();
    image.draw_rect({255, 0, 0}, 0, 0, 400, 400, vips::VImage::option()->set("fill", true));
    const auto file = folder.path() / "portrait.jpg";
    ASSERT_TRUE(test::save(image, file));
    test::writeExif(file, {{"Exif.Image.Orientation", "6"}});

    const auto decoded = ImageDecoder::decode(file, 1024);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->storedWidth, 2016);
    EXPECT_EQ(decoded->storedHeight, 1512);
    const auto& thumb = decoded->thumbnail;
    EXPECT_EQ(thumb.width, 768);
    EXPECT_EQ(thumb.height, 1024);
    const auto* topRight = thumb.at(thumb.width - 20, 20);
    const auto* topLeft = thumb.at(20, 20);
    EXPECT_GT(topRight[0], 200);
    EXPECT_LT(topRight[1], 60);
    EXPECT_LT(topLeft[0], 160);
}

TEST_F(ImageDecoderTest, SmallImagesAreNotEnlargedAndAbsurdOrientationIsIgnored) {
    const auto file = folder.path() / "small.jpg";
    ASSERT_TRUE(test::save(test::photoLike(300, 200), file));
    test::writeExif(file, {{"Exif.Image.Orientation", "1234"}});
    const auto decoded = ImageDecoder::decode(file, 1024);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->thumbnail.width, 300);
    EXPECT_EQ(decoded->thumbnail.height, 200);
}

TEST_F(ImageDecoderTest, HostileFilesGiveNothingWithoutBlowingUpMemory) {
    const auto good = folder.path() / "good.jpg";
    ASSERT_TRUE(test::save(test::photoLike(400, 300), good));
    const std::string jpeg = readAll(good);
    const auto goodPng = folder.path() / "good.png";
    ASSERT_TRUE(test::save(test::photoLike(400, 300), goodPng));
    const std::string png = readAll(goodPng);

    // A JPEG whose frame header claims 65,000 × 65,000.
    std::string hugeJpeg = jpeg;
    const auto sof = hugeJpeg.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    hugeJpeg.replace(sof + 5, 4, std::string("\xfd\xe8\xfd\xe8", 4));
    // A GIF whose logical screen and frame claim 65,535 × 65,535.
    std::string hugeGif =
        std::string("GIF89a\xff\xff\xff\xff\x00\x00\x00", 13) +
        std::string("\x2c\x00\x00\x00\x00\xff\xff\xff\xff\x00\x02\x02\x44\x01\x00\x3b", 16);

    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"empty.jpg", ""},
        {"text.jpg", "This is not a photo, just text with a photo's name.\n"},
        {"text.heic", "ftypheic but not really"},
        {"random.png", test::randomBytes(4096, 3)},
        {"truncated.jpg", jpeg.substr(0, jpeg.size() / 2)},
        {"truncated.png", png.substr(0, png.size() / 3)},
        {"header-only.jpg", jpeg.substr(0, 600)},
        {"bomb.png", bombPng()},
        {"bomb.jpg", hugeJpeg},
        {"bomb.gif", hugeGif},
        {"bomb.bmp", std::string("BM", 2) + test::randomBytes(60, 9)},
        {"fake.cr2", test::randomBytes(10000, 5)},
        {"fake.dng", std::string("II*\0", 4) + test::randomBytes(4000, 6)},
    };
    const long before = peakKilobytes();
    for (const auto& [name, bytes] : hostile) {
        const auto file = folder.write(name, bytes);
        EXPECT_FALSE(ImageDecoder::decode(file, 1024)) << name;
    }
    EXPECT_FALSE(ImageDecoder::decode(folder.path() / "missing.jpg", 1024));
    EXPECT_FALSE(ImageDecoder::decode(folder.path(), 1024)); // a folder
    EXPECT_LT(peakKilobytes() - before, 512L * 1024L) << "a hostile file made the decoder allocate";
}

TEST_F(ImageDecoderTest, CameraRawDecodesFromSensorData) {
    // Stored 2048 × 1536, orientation 6: the half-size sensor decode is 1024 × 768 before
    // turning, and the bright block of the stored top-left lands at the top-right.
    const auto file = folder.write("IMG_0001.dng", test::minimalDng(2048, 1536, 6));
    const auto decoded = ImageDecoder::decode(file, 1024);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->storedWidth, 2048);
    EXPECT_EQ(decoded->storedHeight, 1536);
    const auto& thumb = decoded->thumbnail;
    EXPECT_EQ(thumb.width, 768);
    EXPECT_EQ(thumb.height, 1024);
    EXPECT_GT(thumb.at(thumb.width - 10, 10)[1], thumb.at(10, 10)[1] + 40);
    EXPECT_GT(thumb.at(thumb.width - 10, 10)[1],
              thumb.at(thumb.width - 10, thumb.height - 10)[1] + 40);

    // The same sensor data cut short is refused.
    const std::string whole = test::minimalDng(2048, 1536, 1);
    EXPECT_FALSE(
        ImageDecoder::decode(folder.write("cut.dng", whole.substr(0, whole.size() / 3)), 1024));
}

TEST_F(ImageDecoderTest, DamagedFilesOfEveryFormatNeverCrashDecoderOrExif) {
    // Valid small files (with EXIF where Exiv2 can write it) with bytes overwritten at random
    // places after their first few bytes: each decode and EXIF read may succeed or fail, but
    // must return.
    const auto image = test::photoLike(256, 192, 4);
    std::vector<std::string> originals;
    for (const char* ext : {"jpg", "png", "tif", "gif", "webp", "bmp", "heic"}) {
        const auto file = folder.path() / (std::string("seed.") + ext);
        if (!test::save(image, file))
            continue;
        if (std::string_view(ext) != "gif" && std::string_view(ext) != "bmp" &&
            std::string_view(ext) != "heic")
            test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", "2021:07:04 15:30:00"},
                                   {"Exif.Image.Make", "Quorlix"},
                                   {"Exif.Image.Orientation", "6"}});
        originals.push_back(file.string());
    }
    originals.push_back(folder.write("seed.dng", test::minimalDng(256, 192, 1)).string());
    std::uint32_t state = 12345;
    const auto next = [&] {
        return state = state * 1664525u + 1013904223u;
    };
    int decoded = 0, attempts = 0;
    for (const auto& original : originals) {
        const std::string bytes = readAll(original);
        const std::string ext = std::filesystem::path(original).extension().string();
        for (int round = 0; round < 12; ++round) {
            std::string damaged = bytes;
            const int edits = 1 + int(next() % 24);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = 8 + next() % (damaged.size() - 8);
                damaged[at] = char(next() >> 24);
            }
            const auto file = folder.write("damaged" + std::to_string(round) + ext, damaged);
            decoded += ImageDecoder::decode(file, 128).has_value();
            ExifDate::read(file);
            ++attempts;
        }
    }
    EXPECT_EQ(attempts, int(originals.size()) * 12);
    EXPECT_LT(decoded, attempts); // some damage is always detected
}

TEST_F(ImageDecoderTest, MisnamedFilesDecodeByContent) {
    const auto image = test::photoLike(640, 480);
    const auto asPng = folder.path() / "really-a-png.jpg";
    ASSERT_TRUE(test::save(image, folder.path() / "x.png"));
    std::filesystem::rename(folder.path() / "x.png", asPng);
    EXPECT_TRUE(ImageDecoder::decode(asPng, 256));
    // A JPEG with a raw camera extension still decodes (LibRaw refuses it, libvips takes it).
    ASSERT_TRUE(test::save(image, folder.path() / "y.jpg"));
    std::filesystem::rename(folder.path() / "y.jpg", folder.path() / "IMG_1.CR2");
    const auto raw = ImageDecoder::decode(folder.path() / "IMG_1.CR2", 256);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->storedWidth, 640);
}

TEST_F(ImageDecoderTest, ConcurrentDecodesAgreeWithSerialOnes) {
    std::vector<std::filesystem::path> files;
    const char* exts[] = {"jpg", "png", "webp", "tif", "gif", "bmp"};
    for (int i = 0; i < 6; ++i) {
        files.push_back(folder.path() / ("f" + std::to_string(i) + "." + exts[i]));
        ASSERT_TRUE(test::save(test::photoLike(600, 450, i + 1), files.back()));
    }
    files.push_back(folder.write("bad.jpg", "nope"));
    std::vector<std::optional<ImageBuffer>> serial;
    for (const auto& f : files)
        serial.push_back(ImageDecoder::thumbnail(f, 512));

    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round)
                for (std::size_t i = 0; i < files.size(); ++i) {
                    const std::size_t k = (i + std::size_t(t)) % files.size();
                    const auto got = ImageDecoder::thumbnail(files[k], 512);
                    if (got.has_value() != serial[k].has_value() ||
                        (got && got->pixels != serial[k]->pixels))
                        ++mismatches;
                }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}
