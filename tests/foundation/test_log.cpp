// The log with its sinks, and the memory manager's reports written to it.
#include <gtest/gtest.h>

#include <string>

#include "foundation/Log.h"
#include "foundation/MemoryManager.h"
#include "foundation/StdOutLogger.h"
#include "tests/support/LogCapture.h"

using namespace NVorn;

namespace
{
    // Appends its tag to a shared trace, so tests can see the fan-out order.
    struct STagLogger : NLog::CLogger
    {
        STagLogger(std::string& trace, char tag) : m_Trace(trace), m_Tag(tag) {}
        void Write(const char*) override { m_Trace += m_Tag; }
        std::string& m_Trace;
        char m_Tag;
    };

    // One row of the leak report or of the damage report.
    std::string Row(const char* label, long kib, long bytes, const char* tail = "")
    {
        char row[512];
        snprintf(row, sizeof row, "%-80s %10ld KiB %10ld B%s\n", label, kib, bytes, tail);
        return row;
    }
}

TEST(Log, FanOutFormattingAndStdOut)
{
    std::string trace;
    STagLogger a(trace, 'a'), b(trace, 'b'), c(trace, 'c'), stranger(trace, 's');
    // Each step, then the sinks a write reaches.
    const struct { void (*step)(NLog::CLogger*); NLog::CLogger* logger; const char* reached; } steps[] = {
        { NLog::Attach, &a, "a" },   { NLog::Attach, &b, "ba" },   { NLog::Attach, &c, "cba" },
        { NLog::Detach, &stranger, "cba" }, { NLog::Detach, &b, "ca" }, { NLog::Detach, &c, "a" },
        { NLog::Attach, &b, "ba" },  { NLog::Attach, &a, "ba" },   { NLog::Detach, &a, "b" },
        { NLog::Detach, &b, "" },
    };
    for (const auto& s : steps)
    {
        s.step(s.logger);
        trace.clear();
        NLog::Write("x");
        EXPECT_EQ(trace, s.reached);
    }

    NTest::CLogCapture capture;
    NLog::WriteF("%s", std::string(5000, 'q').c_str());
    testing::internal::CaptureStdout();
    {
        CStdOutLogger logger;
        NLog::WriteF("100%% sure, %s\n", "%d stays");
    }
    const char* expected = "CStdOutLogger attached\n100% sure, %d stays\nCStdOutLogger deattching\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(capture.m_Text, std::string(4095, 'q') + expected);
}

TEST(MemoryManager, LeakReportStatisticsAndGuards)
{
    using namespace NMemoryManager;
    auto Dump = [] { NTest::CLogCapture capture; DumpMemInfo(); return capture.m_Text; };
    EXPECT_EQ(Dump(), "\nLeaked memory: 0 KiB, 0 blocks\n");
    EXPECT_EQ(g_LargestBlock, 0);
    EXPECT_EQ(Allocate(-1, "negative", 1), nullptr);
    void* p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = Allocate(100 * i, "list", i); // the first one empty
    EXPECT_EQ(g_AllocatedBlocks, 4);
    Free(p[1]); // middle
    Free(p[3]); // head
    Free(p[0]); // tail
    EXPECT_TRUE(g_MemPeak == 600 && g_LargestBlock == 300);

    // 3072 bytes in all make 3 KiB, a block of 2048 makes 2, a small one 0.
    // The newest block comes first, and a site name longer than the field is cut.
    void* a = Allocate(2048, std::string(300, 's').c_str(), 7);
    void* b = Allocate(824, nullptr, 9);
    EXPECT_EQ(Dump(), "\nLeaked memory: 3 KiB, 3 blocks\nDumping blocks to logger\n" + Row("(9)", 0, 824) +
                          Row((std::string(255, 's') + "(7)").c_str(), 2, 2048) + Row("list(2)", 0, 200));
    for (void* block : { a, b, p[2] })
        Free(block);

    unsigned char* intact = (unsigned char*)Allocate(10, "intact", 1);
    unsigned char* damaged = (unsigned char*)Allocate(524799, "damaged", 2);   // 512 KiB, not 511 or 513
    NTest::CLogCapture capture;
    EXPECT_TRUE(CheckMemory(true));
    damaged[524799] = intact[-1] = 0; // the back guard of one, the front of the other
    EXPECT_FALSE(CheckMemory(false));
    EXPECT_EQ(capture.m_Text, "");
    EXPECT_FALSE(CheckMemory(true));
    EXPECT_EQ(capture.m_Text, Row("damaged(2)", 512, 524799, " MEMORY DAMAGE!") +
                              Row("intact(1)", 0, 10, " MEMORY DAMAGE!"));
    Free(damaged), Free(intact);
    EXPECT_EQ(Dump(), "\nLeaked memory: 0 KiB, 0 blocks\n");   // every block returned its size
}
