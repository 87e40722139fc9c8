// The string and the dynamic array: edits, growth, copies, removal.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "foundation/DynamicArray.h"
#include "foundation/String.h"

using namespace NVorn;

namespace
{
    // The text, checking the size invariant: m_Size is the length plus one.
    std::string Text(const CString& s)
    {
        EXPECT_EQ((long)std::string(s.m_pData).size(), s.m_Size - 1);
        return s.m_pData;
    }
}

// Search and trimming are checked by the fuzz target's replay of its kept inputs.
TEST(String, Delete)
{
    const CString s("abcdef");
    const struct { long pos, count; const char* text; } deletes[] = {
        { 2, 2, "abef" }, { 0, 3, "def" }, { 4, 10, "abcd" }, { 6, 1, "abcdef" },
        { 7, 1, "" },     { -1, 2, "" },   { 0, 0, "" },      { 0, 6, "" },      { 1, LONG_MAX, "a" },
    };
    for (const auto& d : deletes)
        EXPECT_EQ(Text(s.Delete(d.pos, d.count)), d.text) << d.pos << " " << d.count;
}

TEST(String, AppendCompareAndCopyFromItsOwnText)
{
    CString s("%d-%s", 7, "x");
    s += CString();
    s += CString("yz");
    EXPECT_TRUE(s == "7-xyz");
    EXPECT_FALSE(s == "7-x" || s == "7-xyz!");
    EXPECT_TRUE(CString("0.1").GetFloat() == 0.1 && CString("-12").GetInt() == -12);
    s.CopyData("hello world");
    s.CopyData(s.m_pData + 6);
    s.CopyData(s.m_pData, 3);
    s.AppendData(s.m_pData, 3);
    EXPECT_EQ(Text(s), "worwor");

    // Formatting is bounded to about 40 KB.
    s.Set("%s", std::string(50000, 'h').c_str());
    EXPECT_TRUE(s.m_Size > 40000 && s.m_Size < 41000) << s.m_Size;
    EXPECT_EQ(Text(s), std::string(s.m_Size - 1, 'h'));
    s.SetSize(8);
    EXPECT_TRUE(s.m_Size == 8 && s.m_pData[0] == 0);
}

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
    TDynamicArray<CString> copy = strings, assigned;
    assigned = strings;
    assigned = assigned;
    strings.Clear();
    EXPECT_EQ(strings.m_Capacity, 1);
    EXPECT_EQ(strings.m_Length, 0);
    EXPECT_TRUE(copy[1] == "first" && assigned.m_Length == 2 && assigned[1] == "first");
}
