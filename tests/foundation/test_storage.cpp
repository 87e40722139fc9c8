#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/mman.h>

#include "foundation/File.h"
#include "foundation/Memory.h"

using namespace NVorn;
namespace fs = std::filesystem;

namespace
{
    // A fresh temporary folder per test, removed with its files afterwards.
    class StorageTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            char pattern[] = "/tmp/nvorn_storage_XXXXXX";
            ASSERT_NE(mkdtemp(pattern), nullptr);
            m_Dir = pattern;
        }
        void TearDown() override { fs::remove_all(m_Dir); }

        std::string Path(const char* name) { return (m_Dir / name).string(); }
        std::string MakeFile(const char* name, const std::string& bytes)
        {
            std::ofstream(Path(name), std::ios::binary) << bytes;
            return Path(name);
        }
        std::string ReadFile(const std::string& path)
        {
            std::ifstream in(path, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }

        fs::path m_Dir;
    };
}

TEST_F(StorageTest, StringsOnFileAndMemoryStreams)
{
    CFile file(MakeFile("sz.bin", std::string("abc\0def", 7)).c_str(), 5);
    ASSERT_TRUE(file.IsReady());
    EXPECT_EQ(file.Read_Get_sz_Size(), 3);
    EXPECT_EQ(file.Tell(), 0);
    char buffer[8] = "xxxxxxx";
    file.Read_sz(buffer);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(file.Tell(), 4);
    // "def" has no terminator before the end.
    EXPECT_EQ(file.Read_Get_sz_Size(), 0);
    EXPECT_EQ(file.Tell(), 4);

    // A zero byte as the very last byte: the file has not hit its end yet,
    // the memory stream has.
    std::string tail("abc\0", 4);
    CFile tailFile(MakeFile("tail.bin", tail).c_str(), 5);
    EXPECT_EQ(tailFile.Read_Get_sz_Size(), 3);
    CMemory tailMemory((void*)tail.data(), 4);
    EXPECT_EQ(tailMemory.Read_Get_sz_Size(), 0);
    EXPECT_EQ(tailMemory.Tell(), 0);
}

TEST_F(StorageTest, FileSizePositionsAndSeeks)
{
    CFile file(MakeFile("k.bin", std::string(1000, 'k')).c_str(), 5);
    ASSERT_TRUE(file.IsReady());
    file.Seek(10, 0);
    EXPECT_EQ(file.GetSize(), 1000);
    EXPECT_EQ(file.Tell(), 10);

    file.Push();
    file.Seek(10, 1);
    file.Push();
    file.Seek(30, 0);
    file.Pop();
    EXPECT_EQ(file.Tell(), 20);
    file.Pop();
    EXPECT_EQ(file.Tell(), 10);
    file.Push();
    file.Seek(5, 1);
    file.Drop();
    EXPECT_EQ(file.Tell(), 15);
    file.Pop(); // nothing saved: stays put
    EXPECT_EQ(file.Tell(), 15);

    EXPECT_EQ(file.Seek(5, 7), 0);
    EXPECT_EQ(file.Tell(), 15);
}

TEST_F(StorageTest, FileWritingAndOpening)
{
    std::string path = Path("out.bin");
    CFile file(path.c_str(), 1);
    ASSERT_TRUE(file.IsReady());
    EXPECT_EQ(file.Write_sz("abc"), 4);
    EXPECT_EQ(file.Write_fmt("%d", 42), 2);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadFile(path), std::string("abc\0" "42", 6));
    EXPECT_EQ(file.Close(), 0);

    // Opening an open file closes (and so flushes) the old stream first.
    std::string first = Path("first.bin");
    ASSERT_TRUE(file.Open(first.c_str(), 0));
    file.Write_fmt("%s", std::string(5000, 'w').c_str());
    ASSERT_TRUE(file.Open(path.c_str(), 4));
    EXPECT_EQ(ReadFile(first), std::string(4095, 'w'));
    EXPECT_STREQ(file.m_pName, path.c_str());

    EXPECT_FALSE(file.Open(path.c_str(), 10));
    EXPECT_FALSE(file.IsReady());
    CFile missing(Path("missing.bin").c_str(), 5);
    EXPECT_FALSE(missing.IsReady());
    EXPECT_EQ(missing.Close(), 0);
}

TEST(Memory, ReadsAndWritesStopAtTheEndOfTheBlock)
{
    unsigned char block[10] = {};
    CMemory memory(block, 8);
    unsigned char source[16];
    for (int i = 0; i < 16; ++i)
        source[i] = (unsigned char)(i + 1);

    memory.Seek(5, 0);
    EXPECT_EQ(memory.Write(source, 16), 3);
    EXPECT_EQ(memory.Tell(), 8);
    EXPECT_EQ(memory.GetWrittenSize(), 8);
    EXPECT_TRUE(memory.EndOfStream());
    EXPECT_EQ(block[7], 3);
    EXPECT_EQ(block[8], 0);

    unsigned char target[16] = {};
    memory.Seek(6, 0);
    EXPECT_EQ(memory.Read(target, 16), 2);
    EXPECT_EQ(memory.Read(target, 16), 0);
    memory.Seek(100, 0);
    EXPECT_EQ(memory.Write(source, 1), 0);
    EXPECT_EQ(block[9], 0);
    EXPECT_EQ(memory.Seek(-2, 2), 1);
    EXPECT_EQ(memory.Tell(), 6);

    // Rewriting the start leaves the written size at the last write's end.
    memory.Seek(0, 0);
    EXPECT_EQ(memory.Write_sz("hi"), 3);
    EXPECT_EQ(memory.GetWrittenSize(), 3);
    memory.Seek(0, 0);
    EXPECT_EQ(memory.Read_Get_sz_Size(), 2);
    char text[4] = "???";
    memory.Read_sz(text);
    EXPECT_STREQ(text, "hi");
}

// Blocks beyond the 2 GiB an int count can describe still move every byte.
// Too heavy for the sanitizer build's shadow memory.
#if !defined(__SANITIZE_ADDRESS__)
TEST(Memory, ReadsBlocksLargerThanTwoGiB)
{
    // Untouched anonymous pages read as zero without being backed by memory.
    const long size = (1L << 31) + 4096;
    auto map = [](long bytes) {
        return (unsigned char*)mmap(nullptr, (size_t)bytes, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    };
    unsigned char* source = map(size);
    unsigned char* target = map(size);
    ASSERT_NE(source, MAP_FAILED);
    ASSERT_NE(target, MAP_FAILED);
    source[size - 1] = 2;
    target[0] = 9;

    CMemory memory(source, size);
    EXPECT_EQ(memory.Read(target, size), size);
    EXPECT_EQ(target[0], 0);
    EXPECT_EQ(target[size - 1], 2);
    EXPECT_TRUE(memory.EndOfStream());
    munmap(source, (size_t)size);
    munmap(target, (size_t)size);
}
#endif

TEST(Memory, BlockOwnership)
{
    unsigned char caller[4] = { 1, 2, 3, 4 };
    CMemory memory(16);
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
    EXPECT_EQ(memory.GetData(), block);
    memory.Clear();
    EXPECT_EQ(memory.GetData(), nullptr);
}
