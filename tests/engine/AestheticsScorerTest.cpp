#include "engine/analysis/AestheticsScorer.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/ImageDecoder.h"

#include <gtest/gtest.h>

using namespace quorlix;

namespace {

// Scores a frame the way a scan sees it: written as a JPEG, decoded to the 1024 px thumbnail.
double scoreThroughFile(const vips::VImage& frame, const std::filesystem::path& file) {
    frame.jpegsave(file.c_str(), vips::VImage::option()->set("Q", 90));
    const auto thumb = AestheticsScorer::makeThumbnail(file, 1024);
    EXPECT_TRUE(thumb);
    if (!thumb)
        return -2.0;
    const auto result = AestheticsScorer::shared().scoreImage(*thumb, true);
    EXPECT_TRUE(result);
    return result ? result->overallScore : -2.0;
}

} // namespace

class AestheticsScorerTest : public ::testing::Test {
protected:
    void SetUp() override { ImageDecoder::ensureInitialised(); }
    test::TempFolder folder;
};

TEST_F(AestheticsScorerTest, CleanFrameBeatsItsDegradedSiblings) {
    // A 12-megapixel-like burst: the degradations are made at full size, where a 2.5 px blur is
    // well under a pixel of the thumbnail.
    const auto clean = test::photoLike(4000, 3000, 5).copy_memory();
    const double cleanScore = scoreThroughFile(clean, folder.path() / "clean.jpg");
    const std::vector<std::pair<const char*, vips::VImage>> siblings = {
        {"blurred", clean.gaussblur(2.5)},
        {"burnt", test::exposed(clean, 4.0)},
        {"dark", test::exposed(clean, 0.25)},
        {"noisy", test::noisy(clean, 12.0)},
    };
    for (const auto& [name, frame] : siblings) {
        const double score = scoreThroughFile(frame, folder.path() / (std::string(name) + ".jpg"));
        EXPECT_LT(score, cleanScore) << name;
        EXPECT_GE(score, -1.0);
        EXPECT_LE(score, 1.0);
    }
}

TEST_F(AestheticsScorerTest, ScreenshotsAreUtilityPhotosAreNot) {
    const auto screenshot = test::screenshotLike(2560, 1440);
    const auto shotFile = folder.path() / "screenshot.png";
    ASSERT_TRUE(test::save(screenshot, shotFile));
    const auto shotThumb = AestheticsScorer::makeThumbnail(shotFile, 1024);
    ASSERT_TRUE(shotThumb);
    const auto shotSignals = AestheticsScorer::measure(*shotThumb, false);
    ASSERT_TRUE(shotSignals);
    EXPECT_TRUE(shotSignals->result.isUtility)
        << "flat " << shotSignals->flatFraction << " palette " << shotSignals->paletteSize
        << " steps " << shotSignals->stepFraction;
    // Even a screenshot that somehow carries camera EXIF stays utility.
    EXPECT_TRUE(AestheticsScorer::shared().scoreImage(*shotThumb, true)->isUtility);
    EXPECT_TRUE(AestheticsScorer::shared().scoreFile(shotFile, 1024)->isUtility);

    const auto photoFile = folder.path() / "photo.jpg";
    ASSERT_TRUE(test::save(test::photoLike(3000, 2000, 9), photoFile));
    const auto photoThumb = AestheticsScorer::makeThumbnail(photoFile, 1024);
    ASSERT_TRUE(photoThumb);
    for (std::optional<bool> camera :
         {std::optional<bool>(true), std::optional<bool>(false), std::optional<bool>()}) {
        const auto photoSignals = AestheticsScorer::measure(*photoThumb, camera);
        ASSERT_TRUE(photoSignals);
        EXPECT_FALSE(photoSignals->result.isUtility)
            << "flat " << photoSignals->flatFraction << " palette " << photoSignals->paletteSize
            << " steps " << photoSignals->stepFraction;
    }
}

TEST_F(AestheticsScorerTest, DegenerateInputsGiveNothingOrStayInRange) {
    EXPECT_FALSE(AestheticsScorer::shared().scoreImage(ImageBuffer{}));
    ImageBuffer tiny{4, 4, 3, std::vector<std::uint8_t>(48, 100)};
    EXPECT_FALSE(AestheticsScorer::shared().scoreImage(tiny));
    ImageBuffer shortBuffer{64, 64, 3, std::vector<std::uint8_t>(100, 1)};
    EXPECT_FALSE(AestheticsScorer::shared().scoreImage(shortBuffer));

    for (std::uint8_t value : {0, 128, 255}) {
        ImageBuffer flat{256, 256, 3, std::vector<std::uint8_t>(256 * 256 * 3, value)};
        const auto result = AestheticsScorer::shared().scoreImage(flat);
        ASSERT_TRUE(result);
        EXPECT_GE(result->overallScore, -1.0);
        EXPECT_LE(result->overallScore, 1.0);
        EXPECT_TRUE(result->isUtility) << int(value);
    }
    ImageBuffer gray{256, 256, 1, std::vector<std::uint8_t>(256 * 256)};
    for (std::size_t i = 0; i < gray.pixels.size(); ++i)
        gray.pixels[i] = std::uint8_t((i * 2654435761u) >> 24);
    EXPECT_TRUE(AestheticsScorer::shared().scoreImage(gray));

    EXPECT_FALSE(AestheticsScorer::shared().scoreFile(folder.write("x.jpg", "text"), 1024));
}
