#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "foundation/File.h"
#include "foundation/Memory.h"

using namespace NVorn;

// One file written, reread and reopened: strings, formatted text, sizes and
// the position stack.
TEST(Storage, FileStreams)
{
    const std::string path = testing::TempDir() + "nvorn_storage" + std::to_string(getpid());
    CFile file(path.c_str(), 1);
    EXPECT_EQ(file.GetCurrentAccess(), 0);
    EXPECT_EQ(file.Write_sz("abc"), 4);
    EXPECT_EQ(file.Write_fmt("%d", 42), 2);
    file.Write_fmt("%s", std::string(5000, 'w').c_str());
    // Reopening closes, and so flushes, the old stream first.
    ASSERT_TRUE(file.Open(path.c_str(), 5));
    EXPECT_STREQ(file.m_pName, path.c_str());
    EXPECT_EQ(file.GetCurrentAccess(), 1);
    EXPECT_EQ(file.GetSize(), 4 + 2 + 4095);
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    EXPECT_EQ(file.Tell(), 0);
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
    ASSERT_TRUE(file.Open(path.c_str(), 1));
    file.Write_sz("abc");
    ASSERT_TRUE(file.Open(path.c_str(), 5));
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    CMemory memory((void*)"abc", 4);
    EXPECT_EQ(memory.Read_Get_sz_Size(), 0);
    EXPECT_EQ(memory.Tell(), 0);

    EXPECT_FALSE(file.Open(path.c_str(), 10));
    EXPECT_FALSE(file.IsReady());
    EXPECT_EQ(file.Close(), 0);
    std::remove(path.c_str());
    EXPECT_FALSE(CFile(path.c_str(), 5).IsReady());
}

TEST(Memory, ReadsWritesAndSeeksStayInsideTheBlock)
{
    unsigned char block[10] = {};
    CMemory memory(block, 8);
    unsigned char source[16];
    for (int i = 0; i < 16; ++i)
        source[i] = (unsigned char)(i + 1);
    memory.Seek(5, 0);
    EXPECT_EQ(memory.Write(source, 16), 3);
    EXPECT_EQ(memory.GetWrittenSize(), 8);
    EXPECT_TRUE(memory.EndOfStream());
    EXPECT_EQ(block[7], 3);
    EXPECT_EQ(block[8], 0);
    memory.Seek(6, 0);
    EXPECT_EQ(memory.Read(source, 16), 2);
    EXPECT_EQ(source[1], 3);
    EXPECT_EQ(memory.Read(source, 16), 0);

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
        EXPECT_EQ(memory.Write(source, 1), s.at < 8 ? 1 : 0);
        EXPECT_EQ(memory.Read(source, 1), s.at < 7 ? 1 : 0);
    }
    EXPECT_EQ(block[8], 0);
    EXPECT_EQ(CMemory().Seek(0, 0), 0);
}

// Blocks beyond the 2 GiB an int count can describe still move every byte.
// Too heavy for the sanitizer build's shadow memory.
#if !defined(__SANITIZE_ADDRESS__)
TEST(Memory, ReadsBlocksLargerThanTwoGiB)
{
    // Untouched anonymous pages read as zero without being backed by memory.
    const size_t size = (1UL << 31) + 4096;
    unsigned char* pages = (unsigned char*)mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE,
                                                MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    pages[size - 1] = 2;
    pages[size] = 9;
    CMemory memory(pages, (long)size);
    EXPECT_EQ(memory.Read(pages + size, (long)size), (long)size);
    EXPECT_EQ(pages[size], 0);
    EXPECT_EQ(pages[2 * size - 1], 2);
    munmap(pages, 2 * size);
}
#endif

TEST(Memory, BlockOwnership)
{
    unsigned char caller[4] = { 1, 2, 3, 4 };
    CMemory memory(16);
    EXPECT_TRUE(memory.IsReady());
    EXPECT_EQ(memory.GetSize(), 16);
    memory.Set(caller, 4); // releases the owned block (the leak check sees it)
    memory.Clear();
    EXPECT_EQ(memory.GetData(), caller);
    EXPECT_EQ(caller[3], 4);

    memory.Copy(caller, 4);
    EXPECT_NE(memory.GetData(), caller);
    EXPECT_EQ(memory.GetWrittenSize(), 4);
    // Copying from the stream's own block keeps the bytes.
    memory.Copy((unsigned char*)memory.GetData() + 1, 3);
    unsigned char out[3] = {};
    EXPECT_EQ(memory.Read(out, 3), 3);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[2], 4);

    void* block = memory.GetData();
    memory.Reset();
    EXPECT_EQ(memory.GetSize(), 0);
    EXPECT_FALSE(memory.IsReady());
    EXPECT_TRUE(memory.EndOfStream());
    EXPECT_EQ(memory.GetData(), block);
    memory.Clear();
    EXPECT_EQ(memory.GetData(), nullptr);
}
