#include "engine/analysis/ExifDate.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/ImageDecoder.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>

using namespace quorlix;

namespace {

constexpr double july4th = 1625412600.0; // 2021-07-04 15:30:00 UTC

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

std::string quoted(const std::filesystem::path& path) {
    std::string out = "'";
    for (char c : path.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a command with its output discarded; true when it exited with 0.
bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// EXIF written by a writer that shares no code with ours, the way a phone's or a camera's files
// come in.
bool writeExifWithExifTool(const std::filesystem::path& file) {
    return run("exiftool -q -q -m -overwrite_original '-DateTimeOriginal=2021:07:04 15:30:00' "
               "'-Make=Quorlix Camera' " +
               quoted(file));
}

// The EXIF block the decode read, as the analysis parses it.
ExifDate::Facts factsFromDecode(const std::filesystem::path& file) {
    const auto decoded = ImageDecoder::decode(file, 256);
    if (!decoded || !decoded->exif)
        return {};
    return ExifDate::fromBlock(*decoded->exif);
}

} // namespace

TEST(ExifDate, ParsesAsUtcWhateverTheZone) {
    for (const char* zone : {"UTC", "America/Los_Angeles", "Pacific/Kiritimati", "Asia/Kolkata"}) {
        ScopedTimeZone tz(zone);
        EXPECT_EQ(ExifDate::parse("2021:07:04 15:30:00"), july4th) << zone;
    }
    EXPECT_EQ(ExifDate::parse("1970:01:01 00:00:00"), 0.0);
    EXPECT_EQ(ExifDate::parse("2020:02:29 23:59:59"), 1583020799.0);
    EXPECT_EQ(ExifDate::parse("1969:12:31 23:59:59"), -1.0);
    EXPECT_EQ(ExifDate::parse(std::string("2021:07:04 15:30:00\0", 20)), july4th);
}

TEST(ExifDate, RejectsWhatThePatternRejects) {
    for (const char* text : {"", "2021-07-04 15:30:00", "2021:07:04 15:30", "2021:07:04T15:30:00",
                             " 2021:07:04 15:30:00", "2021:07:04 15:30:00Z", "2021:07:04 15:30:00 ",
                             "0000:00:00 00:00:00", "2021:13:01 00:00:00", "2021:04:31 00:00:00",
                             "2021:02:29 10:00:00", "2021:07:04 24:00:00", "2021:07:04 23:60:00",
                             "2021:07:04 23:59:60", "21:07:04 15:30:00", "2021:7:4 15:30:00",
                             "    :  :     :  :  ", "２０２１:07:04 15:30:00"})
        EXPECT_FALSE(ExifDate::parse(text).has_value()) << text;
}

TEST(ExifDate, ReadsEveryContainerWithExif) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto image = test::photoLike(320, 240);
    int checked = 0;
    for (const char* ext : {"jpg", "png", "tif", "webp"}) {
        const auto file = folder.path() / (std::string("a.") + ext);
        ASSERT_TRUE(test::save(image, file)) << ext;
        test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", "2021:07:04 15:30:00"},
                               {"Exif.Image.Make", "Quorlix Camera"}});
        const auto facts = ExifDate::read(file);
        EXPECT_EQ(facts.dateOriginal, july4th) << ext;
        EXPECT_TRUE(facts.hasCameraMetadata) << ext;
        ++checked;
    }
    // HEIC cannot be written by Exiv2; libvips carries the EXIF of a loaded JPEG into it.
    const auto jpeg = folder.path() / "a.jpg";
    const auto heic = folder.path() / "a.heic";
    if (test::save(vips::VImage::new_from_file(jpeg.c_str()), heic)) {
        const auto facts = ExifDate::read(heic);
        EXPECT_EQ(facts.dateOriginal, july4th);
        EXPECT_TRUE(facts.hasCameraMetadata);
    }
    EXPECT_EQ(checked, 4);
}

TEST(ExifDate, MissingOrMalformedDateIsAbsent) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto plain = folder.path() / "plain.jpg";
    ASSERT_TRUE(test::save(test::photoLike(200, 150), plain));
    EXPECT_FALSE(ExifDate::read(plain).dateOriginal);
    EXPECT_FALSE(ExifDate::read(plain).hasCameraMetadata);

    const auto bad = folder.path() / "bad.jpg";
    ASSERT_TRUE(test::save(test::photoLike(200, 150), bad));
    test::writeExif(bad, {{"Exif.Photo.DateTimeOriginal", "2021:07:04"},
                          {"Exif.Image.DateTime", "2021:07:04 15:30:00"}});
    EXPECT_FALSE(ExifDate::read(bad).dateOriginal);

    EXPECT_FALSE(ExifDate::read(folder.path() / "missing.jpg").dateOriginal);
    EXPECT_FALSE(ExifDate::read(folder.write("empty.jpg", "")).dateOriginal);
    EXPECT_FALSE(ExifDate::read(folder.write("text.jpg", "hello, not a photo")).dateOriginal);
}

TEST(ExifDate, GarbageExifSegmentIsHarmless) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto file = folder.path() / "a.jpg";
    ASSERT_TRUE(test::save(test::photoLike(200, 150), file));
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    // An APP1 segment claiming EXIF, filled with a TIFF header whose offsets point anywhere.
    std::string payload = std::string("Exif\0\0", 6) + "II*\0" + std::string("\xff\xff\xff\x7f", 4);
    payload += test::randomBytes(600, 7);
    const std::size_t length = payload.size() + 2;
    std::string segment = "\xff\xe1";
    segment += char(length >> 8);
    segment += char(length & 0xff);
    segment += payload;
    const auto hostile =
        folder.write("hostile.jpg", bytes.substr(0, 2) + segment + bytes.substr(2));
    EXPECT_FALSE(ExifDate::read(hostile).dateOriginal);
    EXPECT_TRUE(ImageDecoder::decode(hostile, 256).has_value());
}

// The analysis takes the capture time from the EXIF block its one decode read. The HEIC comes
// from libheif's encoder with EXIF added by ExifTool: Exiv2 reads nothing from such a file, the
// decoder's block does. A machine that cannot make the HEIC fails here instead of skipping it.
TEST(ExifDate, DecodeHandsOverTheExifOfEveryContainer) {
    ImageDecoder::ensureInitialised();
    test::TempFolder folder;
    const auto image = test::photoLike(320, 240);
    const auto jpeg = folder.path() / "source.jpg";
    ASSERT_TRUE(test::save(image, jpeg));
    const auto heic = folder.path() / "phone.heic";
    ASSERT_TRUE(run("heif-enc -q 80 -o " + quoted(heic) + " " + quoted(jpeg)))
        << "heif-enc (libheif-examples) is needed to make the HEIC";
    std::vector<std::filesystem::path> files = {heic};
    for (const char* ext : {"jpg", "png", "webp", "tif"}) {
        files.push_back(folder.path() / (std::string("a.") + ext));
        ASSERT_TRUE(test::save(image, files.back())) << ext;
    }
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        ASSERT_TRUE(writeExifWithExifTool(file)) << "exiftool (libimage-exiftool-perl) is needed";
        // libvips reads no EXIF out of a TIFF's own directories: that one file is read again.
        if (file.extension() != ".tif") {
            const auto facts = factsFromDecode(file);
            EXPECT_EQ(facts.dateOriginal, july4th);
            EXPECT_TRUE(facts.hasCameraMetadata);
        }
        const auto analysis = FeaturePrintEmbedder::shared().analyze(file);
        ASSERT_TRUE(analysis.has_value());
        EXPECT_EQ(analysis->dateOriginal, july4th);
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
