#include <gtest/gtest.h>

#include <string>

#include "foundation/MemoryManager.h"
#include "tests/support/LogCapture.h"

using namespace NVorn;

// Lets the sanitizer build hand back null for an impossible request, the way
// the C library does, instead of stopping the test.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1";
}

namespace
{
    std::string Row(const char* label, long kib, long bytes, const char* tail = "")
    {
        char row[256];
        snprintf(row, sizeof row, "%-80s %10ld KiB %10ld B%s\n", label, kib, bytes, tail);
        return row;
    }

    std::string Dump()
    {
        NTest::CLogCapture capture;
        NMemoryManager::DumpMemInfo();
        return capture.m_Text;
    }
}

TEST(MemoryManager, LeakReportListsBlocksNewestFirst)
{
    EXPECT_EQ(Dump(), "\nLeaked memory: 0 KiB, 0 blocks\n");
    void* a = NMemoryManager::Allocate(1536, "main", 7);
    EXPECT_EQ(Dump(), "\nLeaked memory: 1 KiB, 1 blocks\nDumping blocks to logger\n"
                      "main(7)" + std::string(73, ' ') + "          1 KiB       1536 B\n");

    // 1636 bytes round down to 1 KiB; a small block shows 0 KiB.
    void* b = NMemoryManager::Allocate(100, nullptr, 9);
    EXPECT_EQ(Dump(), "\nLeaked memory: 1 KiB, 2 blocks\nDumping blocks to logger\n" +
                      Row("(9)", 0, 100) + Row("main(7)", 1, 1536));
    NMemoryManager::Free(b);
    NMemoryManager::Free(a);
    EXPECT_EQ(NMemoryManager::g_AllocatedBlocks, 0);
    EXPECT_EQ(NMemoryManager::m_pFirst, nullptr);
}

TEST(MemoryManager, FreeingAnyBlockKeepsListAndStatisticsConsistent)
{
    NMemoryManager::g_MemPeak = 0;
    NMemoryManager::g_LargestBlock = 0;
    void* p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = NMemoryManager::Allocate(100 * (i + 1), "list", i);
    NMemoryManager::Free(p[1]); // middle
    NMemoryManager::Free(p[3]); // head
    NMemoryManager::Free(p[0]); // tail

    NMemoryManager::SBlockHeader* head = NMemoryManager::m_pFirst;
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->m_Line, 2);
    EXPECT_EQ(head->m_pPrev, nullptr);
    EXPECT_EQ(head->m_pNext, nullptr);
    EXPECT_EQ(NMemoryManager::g_AllocatedBlocks, 1);
    EXPECT_EQ(NMemoryManager::g_AllocatedSize, 300);
    EXPECT_EQ(NMemoryManager::g_MemPeak, 1000);
    EXPECT_EQ(NMemoryManager::g_LargestBlock, 400);
    NMemoryManager::Free(p[2]);
    EXPECT_EQ(NMemoryManager::m_pFirst, nullptr);
}

TEST(MemoryManager, BadRequestsFailCleanlyAndLongSitesAreTruncated)
{
    long blocks = NMemoryManager::g_AllocatedBlocks;
    long largest = NMemoryManager::g_LargestBlock;
    EXPECT_EQ(NMemoryManager::Allocate(-1, "negative", 1), nullptr);
    EXPECT_EQ(NMemoryManager::Allocate(1L << 62, "huge", 2), nullptr);
    EXPECT_EQ(NMemoryManager::g_AllocatedBlocks, blocks);
    EXPECT_EQ(NMemoryManager::g_LargestBlock, largest);

    std::string site(300, 's');
    void* p = NMemoryManager::Allocate(16, site.c_str(), 3);
    EXPECT_EQ(std::string(NMemoryManager::m_pFirst->m_aFile), std::string(255, 's'));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
    NMemoryManager::Free(p);
}

TEST(MemoryManager, CheckMemoryFindsOverwrittenGuards)
{
    unsigned char* intact = (unsigned char*)NMemoryManager::Allocate(10, "intact", 1);
    unsigned char* damaged = (unsigned char*)NMemoryManager::Allocate(2000, "damaged", 2);
    NTest::CLogCapture capture;
    EXPECT_TRUE(NMemoryManager::CheckMemory(true));
    EXPECT_TRUE(NMemoryManager::CheckMemory(false));

    damaged[2000] = 0; // one byte past the block, into the back guard
    EXPECT_FALSE(NMemoryManager::CheckMemory(false));
    EXPECT_EQ(capture.m_Text, "");
    EXPECT_FALSE(NMemoryManager::CheckMemory(true));
    EXPECT_EQ(capture.m_Text, Row("damaged(2)", 1, 2000, " MEMORY DAMAGE!"));

    capture.m_Text.clear();
    damaged[2000] = 0xFE;
    intact[-1] = 0; // the front guard
    EXPECT_FALSE(NMemoryManager::CheckMemory(true));
    EXPECT_EQ(capture.m_Text, Row("intact(1)", 0, 10, " MEMORY DAMAGE!"));
    intact[-1] = 0xFE;

    NMemoryManager::Free(damaged);
    NMemoryManager::Free(intact);
}
