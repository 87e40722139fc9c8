#include <gtest/gtest.h>

#include <string>

#include "foundation/Log.h"
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
