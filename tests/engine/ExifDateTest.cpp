#include "engine/analysis/ExifDate.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/ImageDecoder.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace quorlix;

constexpr double july4th = 1625412600.0; // 2021-07-04 15:30:00 UTC

TEST(ExifDate, ParsesExactlyThePatternAsUtcWhateverTheZone) {
    const char* zone = std::getenv("TZ");
    const std::optional<std::string> saved = zone ? std::optional<std::string>(zone) : std::nullopt;
    for (const char* other : {"UTC", "America/Los_Angeles", "Pacific/Kiritimati", "Asia/Kolkata"}) {
        ::setenv("TZ", other, 1);
        ::tzset();
        EXPECT_EQ(ExifDate::parse("2021:07:04 15:30:00"), july4th) << other;
    }
    if (saved)
        ::setenv("TZ", saved->c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(ExifDate::parse("1970:01:01 00:00:00"), 0.0);
    EXPECT_EQ(ExifDate::parse("2020:02:29 23:59:59"), 1583020799.0);
    EXPECT_EQ(ExifDate::parse("1969:12:31 23:59:59"), -1.0);
    EXPECT_EQ(ExifDate::parse(std::string("2021:07:04 15:30:00\0", 20)), july4th);
    for (const char* text : {"", "2021-07-04 15:30:00", "2021:07:04 15:30", "2021:07:04T15:30:00",
                             " 2021:07:04 15:30:00", "2021:07:04 15:30:00Z", "2021:07:04 15:30:00 ",
                             "0000:00:00 00:00:00", "2021:13:01 00:00:00", "2021:04:31 00:00:00",
                             "2021:02:29 10:00:00", "2021:07:04 24:00:00", "2021:07:04 23:60:00",
                             "2021:07:04 23:59:60", "21:07:04 15:30:00", "2021:7:4 15:30:00",
                             "    :  :     :  :  ", "２０２１:07:04 15:30:00"})
        EXPECT_FALSE(ExifDate::parse(text).has_value()) << text;
}

// A photo without a date, with a malformed one (and a valid time of last change, which is not
// the capture time), or with an EXIF segment of garbage: no date, and the analysis goes on.
TEST(ExifDate, MissingMalformedOrGarbageDateIsAbsentAndTheAnalysisGoesOn) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto plain = folder.path() / "plain.jpg";
    ASSERT_TRUE(test::save(test::photoLike(200, 150), plain));
    const std::string bytes = test::readFile(plain);
    const auto bad = folder.write("bad.jpg", bytes);
    test::writeExif(bad, {{"Exif.Photo.DateTimeOriginal", "2021:07:04"},
                          {"Exif.Image.DateTime", "2021:07:04 15:30:00"}});
    // An APP1 segment claiming EXIF, holding a TIFF header whose offsets point anywhere.
    const std::string payload =
        std::string("Exif\0\0II*\0\xff\xff\xff\x7f", 14) + test::randomBytes(600, 7);
    const std::size_t length = payload.size() + 2;
    const auto garbage =
        folder.write("garbage.jpg", bytes.substr(0, 2) + "\xff\xe1" + char(length >> 8) +
                                        char(length & 0xff) + payload + bytes.substr(2));
    EXPECT_FALSE(ExifDate::read(plain).hasCameraMetadata);
    const auto expected = FeaturePrintEmbedder::shared().analyze(plain);
    ASSERT_TRUE(expected);
    for (const auto& file : {plain, bad, garbage}) {
        SCOPED_TRACE(file.filename().string());
        EXPECT_FALSE(ExifDate::read(file).dateOriginal);
        const auto analysis = FeaturePrintEmbedder::shared().analyze(file);
        ASSERT_TRUE(analysis);
        EXPECT_FALSE(analysis->dateOriginal);
        EXPECT_EQ(analysis->embedding, expected->embedding);
    }
    for (const auto& file : {folder.path() / "missing.jpg", folder.write("empty.jpg", ""),
                             folder.write("text.jpg", "hello, not a photo")})
        EXPECT_FALSE(ExifDate::read(file).dateOriginal);
}

// EXIF written by ExifTool, which shares no code with ours, into every container. The analysis
// takes the capture time from the EXIF block its one decode read; Exiv2 reads the files too, but
// nothing from the HEIC, which comes from libheif's encoder. A machine that cannot make the HEIC
// fails here instead of skipping it.
TEST(ExifDate, DecodeHandsOverTheExifOfEveryContainer) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto image = test::photoLike(320, 240);
    const auto jpeg = folder.path() / "source.jpg";
    ASSERT_TRUE(test::save(image, jpeg));
    const auto heic = folder.path() / "phone.heic";
    ASSERT_TRUE(test::heicFromJpeg(jpeg, heic));
    std::vector<std::filesystem::path> files = {heic};
    for (const char* ext : {"jpg", "png", "webp", "tif"}) {
        files.push_back(folder.path() / (std::string("a.") + ext));
        ASSERT_TRUE(test::save(image, files.back())) << ext;
    }
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        ASSERT_TRUE(test::dateWithExifTool(file, "2021:07:04 15:30:00"));
        // libvips reads no EXIF out of a TIFF's own directories: that one file is read again.
        if (file.extension() != ".tif") {
            const auto decoded = ImageDecoder::decode(file, 256);
            ASSERT_TRUE(decoded && decoded->exif);
            const auto facts = ExifDate::fromBlock(*decoded->exif);
            EXPECT_EQ(facts.dateOriginal, july4th);
            EXPECT_TRUE(facts.hasCameraMetadata);
        }
        if (file.extension() != ".heic") {
            const auto facts = ExifDate::read(file);
            EXPECT_EQ(facts.dateOriginal, july4th);
            EXPECT_TRUE(facts.hasCameraMetadata);
        }
        // The analysis carries every field.
        const auto analysis = FeaturePrintEmbedder::shared().analyze(file);
        ASSERT_TRUE(analysis.has_value());
        EXPECT_EQ(analysis->dateOriginal, july4th);
        EXPECT_EQ(analysis->pixelWidth, 320);
        EXPECT_EQ(analysis->pixelHeight, 240);
        EXPECT_FALSE(analysis->embedding.empty());
        ASSERT_TRUE(analysis->aesthetic && analysis->isUtility);
        EXPECT_LE(std::abs(*analysis->aesthetic), 1.0);
        EXPECT_FALSE(*analysis->isUtility);
    }
}

// Damage a block can take on the way (cut short, overwritten): the date is then absent or the
// true one, never another.
TEST(ExifDate, DamagedBlockGivesNoDateNeverAWrongOne) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto file = folder.path() / "a.jpg";
    ASSERT_TRUE(test::save(test::photoLike(200, 150), file));
    test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", "2021:07:04 15:30:00"},
                           {"Exif.Image.Make", "Quorlix Camera"},
                           {"Exif.Image.Model", "Q1"}});
    const auto decoded = ImageDecoder::decode(file, 256);
    ASSERT_TRUE(decoded && decoded->exif);
    const std::string block = *decoded->exif;
    ASSERT_EQ(ExifDate::fromBlock(block).dateOriginal, july4th);

    int dated = 0;
    for (std::size_t size = 0; size < block.size(); ++size) {
        const auto date = ExifDate::fromBlock(block.substr(0, size)).dateOriginal;
        EXPECT_TRUE(!date || *date == july4th) << "cut to " << size;
        dated += date.has_value();
    }
    EXPECT_LT(dated, int(block.size())); // a block cut before its date has none
    for (std::size_t at = 0; at + 4 <= block.size(); ++at)
        for (const char fill : {'\0', '\xff'}) {
            std::string damaged = block;
            damaged.replace(at, 4, 4, fill);
            const auto date = ExifDate::fromBlock(damaged).dateOriginal;
            EXPECT_TRUE(!date || *date == july4th) << "overwritten at " << at;
        }
    for (const std::string& junk :
         {std::string(), std::string("Exif\0\0", 6), std::string("\0\0\0\x40", 4),
          std::string("\xff\xff\xff\xf0II*\0", 8), test::randomBytes(300, 11)})
        EXPECT_FALSE(ExifDate::fromBlock(junk).dateOriginal);
}
