#include <gtest/gtest.h>

#include <string>

#include "foundation/String.h"

using namespace NVorn;

namespace
{
    // The text and the size invariant: m_Size is the text's length plus one.
    std::string Text(const CString& s)
    {
        EXPECT_EQ((long)std::string(s.m_pData).size(), s.m_Size - 1);
        return s.m_pData;
    }
}

TEST(String, DeleteRanges)
{
    CString s("abcdef");
    EXPECT_EQ(Text(s.Delete(2, 2)), "abef");
    EXPECT_EQ(Text(s.Delete(0, 3)), "def");
    EXPECT_EQ(Text(s.Delete(4, 10)), "abcd");
    EXPECT_EQ(Text(s.Delete(6, 1)), "abcdef");
    EXPECT_EQ(Text(s.Delete(7, 1)), "");
    EXPECT_EQ(Text(s.Delete(-1, 2)), "");
    EXPECT_EQ(Text(s.Delete(0, 0)), "");
    EXPECT_EQ(Text(s.Delete(0, 6)), "");
    EXPECT_EQ(Text(s), "abcdef");
}

TEST(String, TrimWhitespacesRemovesLeadingBlanksOnly)
{
    for (const char* text : { "\t  x ", " \t ", "" })
    {
        CString s(text);
        s.TrimWhitespaces();
        EXPECT_EQ(Text(s), text[0] == '\t' ? "x " : "") << '"' << text << '"';
    }
}

TEST(String, GetStrSepSplitsLines)
{
    CString s("a\n\nb");
    EXPECT_EQ(Text(s.GetStrSep("\n")), "a");
    EXPECT_EQ(Text(s.GetStrSep("\n")), "");
    EXPECT_EQ(Text(s.GetStrSep("\n")), "b");
    EXPECT_EQ(s.m_Size, 1);

    // Appending to the remainder gives exactly the concatenated characters.
    CString t("%s", "key=50%=rest");
    EXPECT_EQ(Text(t.GetStrSep("%=")), "key=50");
    t += CString("!");
    EXPECT_EQ(Text(t), "rest!");

    // An empty separator splits nothing off and loses nothing.
    CString u("whole");
    EXPECT_EQ(Text(u.GetStrSep("")), "whole");
    EXPECT_EQ(u.m_Size, 1);
}

TEST(String, FindPos)
{
    CString s("abcabc");
    EXPECT_EQ(s.FindPos("abcabcd"), -1);
    EXPECT_EQ(s.FindPos(""), 0);
    EXPECT_EQ(s.FindPos("abcabc"), 0);
    EXPECT_EQ(s.FindPos("ca"), 2);
    EXPECT_EQ(s.FindPos("%c%c", 'b', 'c'), 1);
    EXPECT_EQ(s.FindPos("cb"), -1);
    EXPECT_TRUE(s.Find("%s", "cab"));
    EXPECT_FALSE(s.Find("x"));
}

TEST(String, AppendingComparingAndCopyingFromItsOwnText)
{
    CString s("%d-%s", 7, "x");
    s += CString();
    s += CString("yz");
    EXPECT_EQ(Text(s), "7-xyz");
    EXPECT_TRUE(s == "7-xyz");
    EXPECT_FALSE(s == "7-x");
    EXPECT_FALSE(s == "7-xyz!");
    s.CopyData("0.1");
    EXPECT_EQ(s.GetFloat(), 0.1);

    s.CopyData("hello world");
    CString& alias = s;
    s = alias;
    EXPECT_EQ(Text(s), "hello world");
    s.CopyData(s.m_pData + 6);
    EXPECT_EQ(Text(s), "world");
    s.CopyData(s.m_pData, 3);
    EXPECT_EQ(Text(s), "wor");
    s.AppendData(s.m_pData, 3);
    EXPECT_EQ(Text(s), "worwor");
}

TEST(String, FormattingIsBoundedAndSetSizeIsSafe)
{
    CString s("%s", std::string(50000, 'h').c_str());
    EXPECT_GT(s.m_Size, 40000);
    EXPECT_LT(s.m_Size, 41000);
    EXPECT_EQ(std::string(s.m_pData), std::string(s.m_Size - 1, 'h'));

    s.SetSize(8);
    EXPECT_EQ(s.m_Size, 8);
    EXPECT_EQ(s.m_pData[0], 0);
    s.SetSize(0);
    EXPECT_EQ(Text(s), "");
}
