// Golden folders scanned with the real analysers: what a camera's burst looks like to a whole
// scan, and what it must make of it.
#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/core/ScanCoordinator.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace quorlix;
using vips::VImage;

namespace {

std::string captureTime(int second) {
    return "2024:05:01 12:00:" + std::string(second < 10 ? "0" : "") + std::to_string(second);
}

class BurstScan : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ImageDecoder::ensureInitialised(); }

    test::TempFolder folder;

    // A camera JPEG with its capture time.
    std::filesystem::path shoot(const VImage& image, const std::string& name, int second) {
        const auto file = folder.path() / name;
        EXPECT_TRUE(test::save(image.cast(VIPS_FORMAT_UCHAR), file)) << name;
        test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", captureTime(second)},
                               {"Exif.Image.Make", "Quorlix Camera"}});
        return file;
    }
};

std::set<std::string> namesOf(const ScanResult::Group& group) {
    std::set<std::string> names;
    for (const auto& m : group.members)
        names.insert(std::filesystem::path(m.fileURL).filename().string());
    return names;
}

} // namespace

// One burst: exposure steps up to a clipping +1 EV and a -1 EV, a grainy frame, and a HEIC frame
// from a phone (encoded by libheif, dated by ExifTool) among the JPEGs. A different scene shot in
// the same minute stays out, and neither the grainy nor the clipped frame is the one kept.
TEST_F(BurstScan, ExposureStepsClippingAndHeicFormOneBurstKeepingNeitherGrainNorClipping) {
    const VImage scene = test::photoLike(2200, 1650, 5);
    const auto frame = [&](int dx, int dy) {
        return scene.crop(40 + dx, 30 + dy, 2000, 1500);
    };
    shoot(frame(0, 0), "IMG_0001.jpg", 1);
    shoot(test::exposed(frame(6, 2), std::exp2(0.4)), "IMG_0002.jpg", 2);
    shoot(test::exposed(frame(-4, 5), std::exp2(-0.5)), "IMG_0003.jpg", 3);
    shoot(test::exposed(frame(3, -3), 2.0), "IMG_0004.jpg", 4); // highlights clip
    shoot(test::exposed(frame(-6, 0), 0.5), "IMG_0005.jpg", 5);
    shoot(test::noisy(frame(2, 2), 6.0, 11), "IMG_0006.jpg", 6);
    const auto jpeg = folder.path() / "phone-source.jpg", heic = folder.path() / "IMG_0007.heic";
    ASSERT_TRUE(test::save(frame(-2, -4), jpeg));
    ASSERT_TRUE(test::heicFromJpeg(jpeg, heic));
    std::filesystem::remove(jpeg);
    ASSERT_TRUE(test::dateWithExifTool(heic, captureTime(7)));
    shoot(test::photoLike(2000, 1500, 9), "IMG_0008.jpg", 8); // another scene, same minute

    const ScanResult result = ScanCoordinator().scan(folder.path(), nullptr);
    const auto groups = result.nearGroups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(namesOf(groups[0]),
              (std::set<std::string>{"IMG_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg", "IMG_0004.jpg",
                                     "IMG_0005.jpg", "IMG_0006.jpg", "IMG_0007.heic"}));
    const auto keeper = groups[0].keeper();
    ASSERT_TRUE(keeper.has_value());
    const std::string kept = std::filesystem::path(keeper->fileURL).filename().string();
    EXPECT_NE(kept, "IMG_0006.jpg"); // grainy
    EXPECT_NE(kept, "IMG_0004.jpg"); // clipped
}

// Two frames that differ only in their grain, stored as a camera stores them (JPEG quality 92): the
// clean one is kept, although the grain reads as extra detail in a thumbnail.
TEST_F(BurstScan, NoisySiblingIsNotKept) {
    const VImage scene = test::photoLike(2000, 1500, 21);
    for (const double sigma : {3.0, 6.0}) {
        SCOPED_TRACE(sigma);
        test::TempFolder burst;
        const auto clean = burst.path() / "a.jpg", grainy = burst.path() / "b.jpg";
        scene.jpegsave(clean.c_str(), VImage::option()->set("Q", 92));
        test::noisy(scene, sigma, 4).jpegsave(grainy.c_str(), VImage::option()->set("Q", 92));
        for (const auto& file : {clean, grainy})
            test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", captureTime(1)}});
        const auto groups = ScanCoordinator().scan(burst.path(), nullptr).nearGroups();
        ASSERT_EQ(groups.size(), 1u);
        ASSERT_TRUE(groups[0].keeper().has_value());
        EXPECT_EQ(groups[0].keeper()->fileURL, clean.native());
    }
}
