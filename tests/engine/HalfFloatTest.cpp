#include "engine/core/HalfFloat.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace quorlix;

TEST(HalfFloat, EdgesRoundToNearestEvenAndEveryHalfComesBack) {
    const float inf = std::numeric_limits<float>::infinity();
    const float tiny = std::ldexp(1.0f, -24); // the smallest subnormal half
    const std::pair<float, std::uint16_t> cases[] = {
        {0.0f, 0x0000},
        {-0.0f, 0x8000},
        {tiny, 0x0001},
        {tiny / 2, 0x0000},    // a tie: to even, zero
        {tiny * 1.5f, 0x0002}, // a tie: to even, two
        {std::numeric_limits<float>::denorm_min(), 0x0000},
        {std::ldexp(1023.0f, -24), 0x03ff},         // the largest subnormal
        {std::ldexp(1.0f, -14), 0x0400},            // the smallest normal
        {1.0f + std::ldexp(1.0f, -11), 0x3c00},     // a tie: to even, down
        {1.0f + 3 * std::ldexp(1.0f, -11), 0x3c02}, // a tie: to even, up
        {-2.5f, 0xc100},
        {65504.0f, 0x7bff}, // the largest half
        {65519.0f, 0x7bff},
        {65520.0f, 0x7c00}, // a tie past the largest: infinity
        {1e6f, 0x7c00},
        {-inf, 0xfc00},
    };
    for (const auto& [value, half] : cases)
        EXPECT_EQ(toHalf(value), half) << value;
    EXPECT_TRUE(std::isnan(fromHalf(toHalf(std::numeric_limits<float>::quiet_NaN()))));
    for (std::uint32_t h = 0; h <= 0xffff; ++h) {
        const float f = fromHalf(std::uint16_t(h));
        if (!std::isnan(f)) {
            ASSERT_EQ(toHalf(f), h);
        }
    }
    EXPECT_EQ(fromHalf(0x0001), tiny);
    EXPECT_EQ(fromHalf(0x7c00), inf);
}
