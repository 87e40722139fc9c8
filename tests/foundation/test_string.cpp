// The string's edits, appends, comparisons and formatting. The fuzz targets'
// kept inputs check search, splitting and trimming, and the dynamic array
// against a plain model.
#include <gtest/gtest.h>

#include <climits>
#include <string>

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
    EXPECT_TRUE(s == "7-xyz" && !(s == "7-x" || s == "7-xyz!" || s == static_cast<const char*>(nullptr)));
    EXPECT_TRUE(CString("0.1").GetFloat() == 0.1 && CString("-12").GetInt() == -12);
    s.CopyData("hello world"), s.CopyData(s.m_pData + 6);
    s.CopyData(s.m_pData, 3), s.AppendData(s.m_pData, 3);
    CString none("x"), negative("x");   // no text, or a negative length, copies nothing
    none.CopyData(nullptr, 3), negative.CopyData("abc", -4);
    EXPECT_EQ(Text(s) + Text(none) + Text(negative), "worwor");

    // Formatting is bounded to about 40 KB.
    s.Set("%s", std::string(50000, 'h').c_str());
    EXPECT_TRUE(s.m_Size > 40000 && s.m_Size < 41000) << s.m_Size;
    EXPECT_EQ(Text(s), std::string(s.m_Size - 1, 'h'));
    s.SetSize(8);
    EXPECT_TRUE(s.m_Size == 8 && s.m_pData[0] == 0);
}
