#include <gtest/gtest.h>

#include "foundation/DynamicArray.h"
#include "foundation/String.h"

using namespace NVorn;

TEST(DynamicArray, GrowsByTenSlotsAndSetLenKeepsThePrefix)
{
    TDynamicArray<int> array;
    EXPECT_EQ(array.m_Capacity, 1);
    long capacities[12];
    for (int i = 0; i < 12; ++i)
    {
        array.Append(i * 3);
        capacities[i] = array.m_Capacity;
    }
    EXPECT_EQ(capacities[0], 1);
    EXPECT_EQ(capacities[1], 11);
    EXPECT_EQ(capacities[10], 11);
    EXPECT_EQ(capacities[11], 21);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(array[i], i * 3);

    array.SetLen(3);
    EXPECT_EQ(array.m_Length, 3);
    EXPECT_EQ(array.m_Capacity, 3);
    EXPECT_EQ(array[2], 6);
    array.SetLen(0);
    array.Append(7);
    EXPECT_EQ(array.m_Capacity, 10);
    EXPECT_EQ(array[0], 7);
}

TEST(DynamicArray, RemoveTakesTheFirstMatchAndKeepsOrder)
{
    TDynamicArray<int> array;
    EXPECT_FALSE(array.Remove(1));
    for (int v : { 4, 5, 4, 6 })
        array.Append(v);
    EXPECT_TRUE(array.Remove(4));
    EXPECT_FALSE(array.Remove(9));
    ASSERT_EQ(array.m_Length, 3);
    EXPECT_EQ(array[0], 5);
    EXPECT_EQ(array[1], 4);
    EXPECT_EQ(array[2], 6);

    EXPECT_TRUE(array.RemoveAt(0));
    EXPECT_FALSE(array.RemoveAt(2));
    ASSERT_EQ(array.m_Length, 2);
    EXPECT_EQ(array[0], 4);
    EXPECT_EQ(array[1], 6);
}

TEST(DynamicArray, StringElementsAreCopiedAndDestroyed)
{
    TDynamicArray<CString> array;
    array.Append(CString("first"));
    // Appending an element of the array itself while it grows must not read
    // the released storage.
    array.Append(array[0]);
    for (int i = 0; i < 10; ++i)
        array.Append(CString("n%d", i));
    array.Append(array[11]);
    ASSERT_EQ(array.m_Length, 13);
    EXPECT_TRUE(array[1] == "first");
    EXPECT_TRUE(array[12] == "n9");

    TDynamicArray<CString> copy = array;
    copy[0].CopyData("changed");
    array.Clear();
    EXPECT_EQ(array.m_Capacity, 1);
    EXPECT_EQ(array.m_Length, 0);
    EXPECT_TRUE(copy[12] == "n9");
}
