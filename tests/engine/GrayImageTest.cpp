#include "engine/core/GrayImage.h"

#include <gtest/gtest.h>

using namespace quorlix;

TEST(GrayImage, LumaOfColourAndGray) {
    ImageBuffer rgb{2, 1, 3, {255, 0, 0, 10, 200, 30}};
    EXPECT_EQ(grayOf(rgb).pixels, (std::vector<std::uint8_t>{76, 124}));
    ImageBuffer gray{2, 1, 1, {7, 250}};
    EXPECT_EQ(grayOf(gray).pixels, (std::vector<std::uint8_t>{7, 250}));
    ImageBuffer truncated{4, 4, 3, {1, 2, 3}};
    EXPECT_TRUE(grayOf(truncated).pixels.empty());
}

TEST(GrayImage, AreaAveragingShrinksAndEnlargesWithinTheSource) {
    const GrayImage g{4, 2, {0, 100, 200, 40, 20, 60, 0, 80}};
    EXPECT_EQ(resampled(g, 2, 1).pixels, (std::vector<std::uint8_t>{45, 80}));
    EXPECT_EQ(resampled(g, 4, 2).pixels, g.pixels);
    // Three columns from four, each 4/3 wide: (0 + 30/3) × 3/4, (30 + 90) × 2/3 × 3/4 and
    // (90/3 + 120) × 3/4, halves rounded up.
    EXPECT_EQ(resampled(GrayImage{4, 1, {0, 30, 90, 120}}, 3, 1).pixels,
              (std::vector<std::uint8_t>{8, 60, 113}));
    const GrayImage one{1, 1, {99}};
    EXPECT_EQ(resampled(one, 3, 2).pixels, std::vector<std::uint8_t>(6, 99));
    EXPECT_TRUE(resampled(one, 0, 2).pixels.empty());
    // Rectangles are clamped to the source.
    EXPECT_EQ(resampled(g, 2, 0, 2, 2, 1, 1).pixels, (std::vector<std::uint8_t>{80}));
    EXPECT_EQ(resampled(g, 3, 1, 10, 10, 1, 1).pixels, (std::vector<std::uint8_t>{80}));
    EXPECT_TRUE(resampled(g, 5, 0, 2, 2, 1, 1).pixels.empty());
}
