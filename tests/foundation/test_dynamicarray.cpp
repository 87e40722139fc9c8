#include <gtest/gtest.h>

#include "foundation/DynamicArray.h"
#include "foundation/String.h"

using namespace NVorn;

TEST(DynamicArray, GrowthSetLenAndRemoval)
{
    TDynamicArray<int> array;
    for (int i = 0; i < 12; ++i)
    {
        array.Append(i % 4);
        EXPECT_EQ(array.m_Capacity, i == 0 ? 1 : i < 11 ? 11 : 21) << i;
    }
    array.SetLen(5); // 0 1 2 3 0
    EXPECT_EQ(array.m_Capacity, 5);
    EXPECT_TRUE(array.Remove(0));
    EXPECT_FALSE(array.Remove(9));
    EXPECT_TRUE(array.RemoveAt(1));
    EXPECT_FALSE(array.RemoveAt(3));
    ASSERT_EQ(array.m_Length, 3);
    EXPECT_EQ(array[0] * 100 + array[1] * 10 + array[2], 130);
    array.SetLen(0);
    array.Append(7);
    EXPECT_EQ(array.m_Capacity, 10);

    // Appending an element of the array itself while it grows must not read
    // the released storage; copies are deep.
    TDynamicArray<CString> strings;
    strings.Append(CString("first"));
    strings.Append(strings[0]);
    TDynamicArray<CString> copy = strings;
    strings.Clear();
    EXPECT_EQ(strings.m_Capacity, 1);
    EXPECT_EQ(strings.m_Length, 0);
    EXPECT_TRUE(copy[1] == "first");
}
