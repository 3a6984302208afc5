#include "engine/analysis/ExifDate.h"

#include "TempFolder.h"
#include "TestImages.h"
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
