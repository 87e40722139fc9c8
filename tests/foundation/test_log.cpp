#include <gtest/gtest.h>

#include <string>

#include "foundation/Log.h"
#include "foundation/StdOutLogger.h"
#include "tests/support/LogCapture.h"

using namespace NVorn;

namespace
{
    // Appends its tag to a shared trace, so tests can see the fan-out order.
    class CTagLogger : public NLog::CLogger
    {
    public:
        CTagLogger(std::string& trace, char tag) : m_Trace(trace), m_Tag(tag) {}
        void Write(const char*) override { m_Trace += m_Tag; }

        std::string& m_Trace;
        char m_Tag;
    };
}

TEST(Log, FanOutOrderAndDetach)
{
    std::string trace;
    auto written = [&trace]() { trace.clear(); NLog::Write("x"); return trace; };
    CTagLogger a(trace, 'a'), b(trace, 'b'), c(trace, 'c'), stranger(trace, 's');
    NLog::Attach(&a);
    NLog::Attach(&b);
    NLog::Attach(&c);
    EXPECT_EQ(written(), "cba");
    NLog::Detach(&stranger);
    NLog::Detach(&b); // middle
    EXPECT_EQ(written(), "ca");
    NLog::Detach(&c); // head
    NLog::Attach(&b);
    NLog::Detach(&a); // tail
    EXPECT_EQ(written(), "b");
    // Attaching an attached sink leaves the list as it is (no loop).
    NLog::Attach(&a);
    NLog::Attach(&b);
    EXPECT_EQ(written(), "ab");
    NLog::Detach(&a);
    NLog::Detach(&b);
    EXPECT_EQ(NLog::m_pFirst, nullptr);
}

TEST(Log, WriteFTruncatesAndStdOutLoggerPrintsTextUnchanged)
{
    NTest::CLogCapture capture;
    NLog::WriteF("%s", std::string(5000, 'q').c_str());
    EXPECT_EQ(capture.m_Text, std::string(4095, 'q'));
    capture.m_Text.clear();
    testing::internal::CaptureStdout();
    {
        CStdOutLogger logger;
        NLog::WriteF("100%% sure, %s\n", "%d stays");
    }
    const char* expected = "CStdOutLogger attached\n100% sure, %d stays\nCStdOutLogger deattching\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(capture.m_Text, expected);
    EXPECT_EQ(NLog::m_pFirst, &capture);
}
