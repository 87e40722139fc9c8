#include <gtest/gtest.h>

#include <string>

#include "foundation/MemoryManager.h"
#include "tests/support/LogCapture.h"

using namespace NVorn;
using namespace NVorn::NMemoryManager;

namespace
{
    // One row of the leak report or of the damage report.
    std::string Row(const char* label, long kib, long bytes, const char* tail = "")
    {
        char row[512];
        snprintf(row, sizeof row, "%-80s %10ld KiB %10ld B%s\n", label, kib, bytes, tail);
        return row;
    }
}

TEST(MemoryManager, LeakReportStatisticsAndGuards)
{
    auto Dump = [] { NTest::CLogCapture capture; DumpMemInfo(); return capture.m_Text; };
    EXPECT_EQ(Dump(), "\nLeaked memory: 0 KiB, 0 blocks\n");
    EXPECT_EQ(g_LargestBlock, 0);
    EXPECT_EQ(Allocate(-1, "negative", 1), nullptr);
    void* p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = Allocate(100 * (i + 1), "list", i);
    Free(p[1]); // middle
    Free(p[3]); // head
    Free(p[0]); // tail
    EXPECT_EQ(g_MemPeak, 1000);
    EXPECT_EQ(g_LargestBlock, 400);

    // 1836 bytes round down to 1 KiB; a small block shows 0 KiB. The newest
    // block comes first, and a site name longer than the field is cut.
    void* a = Allocate(1536, std::string(300, 's').c_str(), 7);
    void* b = Allocate(0, nullptr, 9);
    EXPECT_EQ(Dump(), "\nLeaked memory: 1 KiB, 3 blocks\nDumping blocks to logger\n" + Row("(9)", 0, 0) +
                          Row((std::string(255, 's') + "(7)").c_str(), 1, 1536) + Row("list(2)", 0, 300));
    for (void* block : { a, b, p[2] })
        Free(block);

    unsigned char* intact = (unsigned char*)Allocate(10, "intact", 1);
    unsigned char* damaged = (unsigned char*)Allocate(2000, "damaged", 2);
    NTest::CLogCapture capture;
    EXPECT_TRUE(CheckMemory(true));
    damaged[2000] = intact[-1] = 0; // the back guard of one, the front of the other
    EXPECT_FALSE(CheckMemory(false));
    EXPECT_EQ(capture.m_Text, "");
    EXPECT_FALSE(CheckMemory(true));
    EXPECT_EQ(capture.m_Text, Row("damaged(2)", 1, 2000, " MEMORY DAMAGE!") +
                              Row("intact(1)", 0, 10, " MEMORY DAMAGE!"));
    Free(damaged);
    Free(intact);
}
