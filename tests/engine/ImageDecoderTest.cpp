#include "engine/analysis/ImageDecoder.h"

#include "TempFolder.h"
#include "TestImages.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace quorlix;

namespace {

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
    for (const char* ext : {"jpg", "png", "tif", "gif", "webp", "heic", "bmp"}) {
        const auto file = folder.path() / (std::string("photo.") + ext);
        if (!test::save(image, file)) {
            // Only the HEIF encoder may be missing on a machine; everything else must be there.
            EXPECT_EQ(std::string(ext), "heic") << ext << " cannot be written";
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
    const std::string bytes = test::readFile(intact);
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
    // Stored landscape 1200 × 900 with a red block at the stored top-left corner; orientation 6
    // means "turn 90° clockwise to view", which puts the block at the top-right.
    auto image = vips::VImage::black(1200, 900, vips::VImage::option()->set("bands", 3)) + 128.0;
    image = image.cast(VIPS_FORMAT_UCHAR).copy_memory();
    image.draw_rect({255, 0, 0}, 0, 0, 240, 240, vips::VImage::option()->set("fill", true));
    const auto file = folder.path() / "portrait.jpg";
    ASSERT_TRUE(test::save(image, file));
    test::writeExif(file, {{"Exif.Image.Orientation", "6"}});

    const auto decoded = ImageDecoder::decode(file, 1024);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->storedWidth, 1200);
    EXPECT_EQ(decoded->storedHeight, 900);
    const auto& thumb = decoded->thumbnail;
    EXPECT_EQ(thumb.width, 768);
    EXPECT_EQ(thumb.height, 1024);
    const auto* topRight = thumb.at(thumb.width - 20, 20);
    const auto* topLeft = thumb.at(20, 20);
    EXPECT_GT(topRight[0], 200);
    EXPECT_LT(topRight[1], 60);
    EXPECT_LT(topLeft[0], 160);

    // A small image is not enlarged, and an orientation out of range is ignored.
    const auto small = folder.path() / "small.jpg";
    ASSERT_TRUE(test::save(test::photoLike(300, 200), small));
    test::writeExif(small, {{"Exif.Image.Orientation", "1234"}});
    const auto smallDecoded = ImageDecoder::decode(small, 1024);
    ASSERT_TRUE(smallDecoded);
    EXPECT_EQ(smallDecoded->thumbnail.width, 300);
    EXPECT_EQ(smallDecoded->thumbnail.height, 200);
}

TEST_F(ImageDecoderTest, HostileFilesGiveNothingWithoutBlowingUpMemory) {
    const auto good = folder.path() / "good.jpg";
    ASSERT_TRUE(test::save(test::photoLike(400, 300), good));
    const std::string jpeg = test::readFile(good);
    const auto goodPng = folder.path() / "good.png";
    ASSERT_TRUE(test::save(test::photoLike(400, 300), goodPng));
    const std::string png = test::readFile(goodPng);

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
