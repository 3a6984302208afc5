#include "engine/core/ByteCount.h"

#include <gtest/gtest.h>

using namespace quorlix;

// The scanner printed "1000.0 MB" where the window showed "1 GB": both now read this one rule.
TEST(ByteCount, GigabytesStartWhereMegabytesWouldRoundTo1000) {
    EXPECT_EQ(ByteCount::of(999'949'999).text(), "999.9 MB");
    EXPECT_EQ(ByteCount::of(999'950'000).text(), "1 GB");
    EXPECT_EQ(ByteCount::of(1'250'000'000).text(), "1.25 GB");
    EXPECT_EQ(ByteCount::of(12'000'000).text(), "12 MB");
    EXPECT_EQ(ByteCount::of(0).text(), "0 MB");
    EXPECT_EQ(ByteCount::of(-40'000).text(), "0 MB"); // no "-0"
    EXPECT_EQ(ByteCount::of(-1'500'000).text(), "-1.5 MB");
}
