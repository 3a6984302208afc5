#include "engine/analysis/AestheticsScorer.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/ImageDecoder.h"

#include <gtest/gtest.h>

using namespace quorlix;

class AestheticsScorerTest : public ::testing::Test {
protected:
    void SetUp() override { ImageDecoder::ensureInitialised(); }
    test::TempFolder folder;
};

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
