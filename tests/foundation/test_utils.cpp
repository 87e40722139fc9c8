#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "foundation/Utils.h"

using namespace NVorn;

TEST(Utils, RandomLerpAbsClockAndBoundedFormatting)
{
    for (double state : { 825355524.0, 1710755348.0, 1534951076.0, 1560363636.0, 171059187.0 })
        EXPECT_EQ(Random(), (float)(state / 2147483647.0));
    // Truncated toward zero, no clamping: past the end the low byte wraps.
    const struct { unsigned char a, b; float t; int value; } lerps[] = {
        { 0, 255, 0.5f, 127 }, { 200, 100, 0.5f, 150 }, { 10, 0, 0.99f, 0 },
        { 0, 255, 1.0f, 255 }, { 0, 255, 2.0f, 254 }, { 0, 128, 16777216.0f, 0 },
    };
    for (const auto& l : lerps)
        EXPECT_EQ(Lerp<unsigned char>(l.a, l.b, l.t), l.value) << l.t;
    EXPECT_TRUE(!std::signbit(NVorn::abs(-0.0f)) && NVorn::abs(-2.5f) == 2.5f);
    EXPECT_EQ(GetTickFrequency(), 1000000);
    using namespace std::chrono;
    const auto now = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    EXPECT_NEAR(GetTickCount(), now, 50000); // the same monotonic clock, in microseconds
    char buffer[16] = "XXXXXXXXXXXXXXX"; // an X is a byte nothing wrote
    EXPECT_STREQ(StringCFormat(buffer, 8, "%d-%s", 12345, "abcdef"), "12345-a");
    EXPECT_TRUE(buffer[8] == 'X' && *StringCFormat(buffer + 9, 1, "%s", "abc") == 0 && // room for the terminator
                !StringCFormat(nullptr, 8, "%s", "a") && StringCompare(nullptr, nullptr, 0) == 0); // or nothing at all
    EXPECT_EQ(StringLength(nullptr) + StringGetInt(nullptr) + StringGetFloat(nullptr), 0); // null reads as empty
    EXPECT_TRUE(*StringCopy(buffer, "yz", 1) == 'y' && buffer[1] == '2' && // one character, no terminator
                (MemorySet(buffer + 1, '_', 1), MemorySet(buffer + 2, '_', 0), buffer[1] == '_' && buffer[2] == '3'));
}
