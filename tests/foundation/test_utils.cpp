#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "foundation/Utils.h"

using namespace NVorn;

TEST(Utils, RandomFollowsTheFixedSequence)
{
    const double states[] = { 825355524.0, 1710755348.0, 1534951076.0, 1560363636.0, 171059187.0 };
    for (double state : states)
        EXPECT_EQ(Random(), (float)(state / 2147483647.0));
}

TEST(Utils, LerpTruncatesWithoutClamping)
{
    EXPECT_EQ(Lerp<unsigned char>(0, 255, 0.5f), 127);
    EXPECT_EQ(Lerp<unsigned char>(200, 100, 0.5f), 150);
    EXPECT_EQ(Lerp<unsigned char>(10, 0, 0.99f), 0);
    EXPECT_EQ(Lerp<unsigned char>(0, 255, 1.0f), 255);
    // Past the end the low byte wraps: 0 + 255 * 2 = 510 -> 254.
    EXPECT_EQ(Lerp<unsigned char>(0, 255, 2.0f), 254);
}

TEST(Utils, AbsClockAndBoundedFormatting)
{
    EXPECT_FALSE(std::signbit(NVorn::abs(-0.0f)));
    EXPECT_EQ(NVorn::abs(-2.5f), 2.5f);

    EXPECT_EQ(GetTickFrequency(), 1000000);
    int64_t previous = GetTickCount();
    for (int i = 0; i < 1000; ++i)
    {
        int64_t now = GetTickCount();
        ASSERT_GE(now, previous);
        previous = now;
    }

    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    StringCFormat(buffer, 8, "%d-%s", 12345, "abcdef");
    EXPECT_STREQ(buffer, "12345-a");
    EXPECT_EQ(buffer[8], 'X');
}
