#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <unistd.h>

#include "foundation/File.h"
#include "foundation/Memory.h"

using namespace NVorn;

// One file written, reread and reopened: strings, text, size, saved positions.
// The memory stream is checked by its fuzz target's kept inputs against a
// plain model of a block, a cursor and saved positions.
TEST(Storage, FileStreams)
{
    const std::string path = testing::TempDir() + "nvorn_storage" + std::to_string(getpid());
    CFile file(path.c_str(), 1);
    EXPECT_EQ(file.Write_sz("abc") + file.Write_sz(nullptr) + file.Write(nullptr, 1) + file.Write((void*)"x", -1) + CFile().Write((void*)"x", 1), 4);
    EXPECT_EQ(file.Write_fmt("%d", 4) + file.Write_fmt("%d", 2), 2); // one byte at a time
    file.Write_fmt("%s", std::string(5000, 'w').c_str());
    ASSERT_TRUE(file.Open(path.c_str(), 5)); // closes, and so flushes, the old stream
    EXPECT_TRUE(file.GetCurrentAccess() == 1 && file.m_pName == path);
    EXPECT_EQ(file.GetSize(), 4 + 2 + 4095);
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    char text[8] = "xxxxxxx";
    file.Read_sz(text);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(file.Read_Get_sz_Size(), 0); // no terminator before the end
    file.Push(), file.Seek(10, 1), file.Push(), file.Seek(30, 0), file.Pop(); // back to the second save
    EXPECT_EQ(file.Tell(), 14);
    file.Pop();
    EXPECT_EQ(file.Read(text, 2) + file.Read(text, 0) + file.Read(nullptr, 1), 2);
    EXPECT_EQ(std::string(text, 3), "42c");
    file.Push(), file.Seek(-3, 1), file.Drop(), file.Drop(), file.Pop(); // nothing saved: stays put
    EXPECT_EQ(file.Seek(5, 7), 0);
    EXPECT_EQ(file.Tell(), 3);

    // A zero byte as the very last byte: the file has not hit its end yet,
    // a memory stream has.
    EXPECT_EQ(CFile(path.c_str(), 6).GetCurrentAccess() + CMemory().GetCurrentAccess() + CFile().GetSize(), 0);
    ASSERT_TRUE(file.Open(path.c_str(), 0));
    file.Write_sz("abc");
    ASSERT_TRUE(file.Open(path.c_str(), 5));
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    EXPECT_EQ(CMemory((void*)"abc", 4).Read_Get_sz_Size() + (CMemory().Read_sz(text), text[0]), 0); // nothing reads as ""
    EXPECT_FALSE(file.Open(path.c_str(), 10) || file.Open(path.c_str(), -1));
    EXPECT_TRUE(file.Close() == 0 && !file.m_pName);
    std::remove(path.c_str());
    EXPECT_FALSE(CFile(path.c_str(), 5).IsReady() || CFile().Tell() != 0 || CFile().Seek(0, 0) != -1);
}
