#include <gtest/gtest.h>

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

TEST(String, DeleteTrimAndFind)
{
    const CString s("abcdef");
    const struct { long pos, count; const char* text; } deletes[] = {
        { 2, 2, "abef" }, { 0, 3, "def" }, { 4, 10, "abcd" }, { 6, 1, "abcdef" },
        { 7, 1, "" },     { -1, 2, "" },   { 0, 0, "" },      { 0, 6, "" },
    };
    for (const auto& d : deletes)
        EXPECT_EQ(Text(s.Delete(d.pos, d.count)), d.text) << d.pos << " " << d.count;
    EXPECT_EQ(Text(s), "abcdef");

    for (const char* text : { "\t  x ", " \t ", "" })
    {
        CString t("%s", text);
        t.TrimWhitespaces();
        EXPECT_EQ(Text(t), text[0] == '\t' ? "x " : "") << '"' << text << '"';
    }

    CString abc("abcabc");
    const struct { const char* needle; long pos; } finds[] = {
        { "abcabcd", -1 }, { "", 0 }, { "abcabc", 0 }, { "ca", 2 }, { "cb", -1 }, { "c", 2 },
    };
    for (const auto& f : finds)
    {
        EXPECT_EQ(abc.FindPos("%s", f.needle), f.pos) << f.needle;
        EXPECT_EQ(abc.Find("%s", f.needle), f.pos >= 0) << f.needle;
    }
    EXPECT_EQ(abc.FindPos("%c%c", 'b', 'c'), 1);
}

TEST(String, GetStrSepSplitsOffTheFront)
{
    CString s("a\n\nb");
    for (const char* line : { "a", "", "b" })
        EXPECT_EQ(Text(s.GetStrSep("\n")), line);
    EXPECT_EQ(s.m_Size, 1);

    // The separator is plain text; appending to the remainder gives exactly
    // the concatenated characters.
    CString t("%s", "key=50%=rest");
    EXPECT_EQ(Text(t.GetStrSep("%=")), "key=50");
    t += CString("!");
    EXPECT_EQ(Text(t), "rest!");

    // An empty separator splits nothing off and loses nothing.
    CString u("whole");
    EXPECT_EQ(Text(u.GetStrSep("")), "whole");
    EXPECT_EQ(u.m_Size, 1);
}

TEST(String, AppendCompareAndCopyFromItsOwnText)
{
    CString s("%d-%s", 7, "x");
    s += CString();
    s += CString("yz");
    EXPECT_TRUE(s == "7-xyz");
    EXPECT_FALSE(s == "7-x");
    EXPECT_FALSE(s == "7-xyz!");
    s.Set("%.1f", 0.1);
    EXPECT_EQ(s.GetFloat(), 0.1);
    s.Set("%d", -12);
    EXPECT_EQ(s.GetInt(), -12);

    s.CopyData("hello world");
    CString& alias = s;
    s = alias;
    s.CopyData(s.m_pData + 6);
    EXPECT_EQ(Text(s), "world");
    s.CopyData(s.m_pData, 3);
    s.AppendData(s.m_pData, 3);
    EXPECT_EQ(Text(s), "worwor");
    CString copy(s);
    s.Clear();
    EXPECT_EQ(Text(copy), "worwor");
    EXPECT_EQ(Text(s), "");
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
