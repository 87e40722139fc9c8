#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "foundation/File.h"
#include "foundation/Memory.h"

using namespace NVorn;

// One file written, reread and reopened: strings, text, size, saved positions.
TEST(Storage, FileStreams)
{
    const std::string path = testing::TempDir() + "nvorn_storage" + std::to_string(getpid());
    CFile file(path.c_str(), 1);
    EXPECT_EQ(file.Write_sz("abc"), 4);
    EXPECT_EQ(file.Write_fmt("%d", 42), 2);
    file.Write_fmt("%s", std::string(5000, 'w').c_str());
    ASSERT_TRUE(file.Open(path.c_str(), 5)); // closes, and so flushes, the old stream
    EXPECT_EQ(file.GetCurrentAccess(), 1);
    EXPECT_STREQ(file.m_pName, path.c_str());
    EXPECT_EQ(file.GetSize(), 4 + 2 + 4095);
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    char text[8] = "xxxxxxx";
    file.Read_sz(text);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(file.Read_Get_sz_Size(), 0); // no terminator before the end
    file.Push();
    file.Seek(10, 1);
    file.Push();
    file.Seek(30, 0);
    file.Pop();
    EXPECT_EQ(file.Tell(), 14);
    file.Pop();
    EXPECT_EQ(file.Read(text, 2), 2);
    EXPECT_EQ(std::string(text, 3), "42c");
    file.Push();
    file.Drop();
    file.Pop(); // nothing saved: stays put
    EXPECT_EQ(file.Seek(5, 7), 0);
    EXPECT_EQ(file.Tell(), 6);

    // A zero byte as the very last byte: the file has not hit its end yet,
    // a memory stream has.
    EXPECT_EQ(CFile(path.c_str(), 6).GetCurrentAccess(), 0);
    ASSERT_TRUE(file.Open(path.c_str(), 1));
    file.Write_sz("abc");
    ASSERT_TRUE(file.Open(path.c_str(), 5));
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    EXPECT_EQ(CMemory((void*)"abc", 4).Read_Get_sz_Size(), 0);
    EXPECT_FALSE(file.Open(path.c_str(), 10));
    EXPECT_EQ(file.Close(), 0);
    std::remove(path.c_str());
    EXPECT_FALSE(CFile(path.c_str(), 5).IsReady());
}

TEST(Memory, SeeksReadsWritesAndOwnership)
{
    unsigned char block[10] = {}, bytes[4] = { 1, 2, 3, 4 };
    CMemory memory(16);
    EXPECT_TRUE(memory.IsReady());
    memory.Set(block, 8); // releases the owned block (the leak check sees it)
    // Targets past the end are kept and move nothing; targets before the
    // start or beyond a long fail and leave the cursor where it was.
    const struct { long from, offset, origin, result, at; } seeks[] = {
        { 3, -2, 2, 1, 6 },       { 3, 0, 7, 0, 3 },        { 3, 100, 0, 1, 100 },
        { 3, -4, 1, 0, 3 },       { 3, -9, 2, 0, 3 },       { 3, LONG_MIN, 0, 0, 3 },
        { 3, LONG_MAX, 1, 0, 3 }, { 3, LONG_MAX, 2, 0, 3 }, { LONG_MAX, 1, 1, 0, LONG_MAX },
        { LONG_MAX, LONG_MIN, 1, 0, LONG_MAX },   { LONG_MAX, -LONG_MAX, 1, 1, 0 },
    };
    for (const auto& s : seeks)
    {
        SCOPED_TRACE(testing::Message() << s.from << " " << s.offset << " " << s.origin);
        ASSERT_EQ(memory.Seek(s.from, 0), 1);
        EXPECT_EQ(memory.Seek(s.offset, s.origin), s.result);
        EXPECT_EQ(memory.Tell(), s.at);
        EXPECT_EQ(memory.EndOfStream(), s.at >= 8);
        EXPECT_EQ(memory.Write(bytes, 1), s.at < 8 ? 1 : 0);
        EXPECT_EQ(memory.Read(bytes, 2), s.at < 6 ? 2 : s.at == 6 ? 1 : 0);
    }
    memory.Seek(5, 0);
    EXPECT_EQ(memory.Write(bytes, 4), 3);
    EXPECT_EQ(memory.GetWrittenSize(), 8);
    CMemory none, one(block, 1);
    EXPECT_EQ(none.Seek(0, 0) + none.Tell() + none.GetSize(), 0);
    EXPECT_EQ(one.GetSize(), 1);
    memory.Push(); // a saved position comes back, once
    memory.Seek(2, 0);
    memory.Pop();
    EXPECT_EQ(memory.Tell(), 8);
    memory.Seek(1, 0);
    memory.Pop();
    EXPECT_EQ(memory.Tell(), 1);

    memory.Copy(block, 8);
    memory.Copy((unsigned char*)memory.GetData() + 5, 3); // from its own block
    EXPECT_EQ(memory.GetWrittenSize(), 3);
    EXPECT_EQ(memory.Read(bytes, 4), 3);
    EXPECT_EQ(std::string((char*)bytes, 3), std::string((char*)block + 5, 3));
    memory.Reset();
    EXPECT_FALSE(memory.IsReady());
    memory.Clear();
    EXPECT_EQ(memory.GetData(), nullptr);
}
