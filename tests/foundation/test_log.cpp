#include <gtest/gtest.h>

#include <string>

#include "foundation/Log.h"
#include "foundation/StdOutLogger.h"
#include "CaptureLogger.h"

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
    CTagLogger a(trace, 'a'), b(trace, 'b'), c(trace, 'c'), stranger(trace, 's');
    NLog::Attach(&a);
    NLog::Attach(&b);
    NLog::Attach(&c);
    NLog::Write("x");
    EXPECT_EQ(trace, "cba");

    NLog::Detach(&stranger);
    NLog::Detach(&b); // middle
    trace.clear();
    NLog::Write("x");
    EXPECT_EQ(trace, "ca");

    NLog::Detach(&c); // head
    NLog::Attach(&b);
    NLog::Detach(&a); // tail
    trace.clear();
    NLog::Write("x");
    EXPECT_EQ(trace, "b");

    // Attaching an attached sink leaves the list as it is (no loop).
    NLog::Attach(&a);
    NLog::Attach(&b);
    trace.clear();
    NLog::Write("x");
    EXPECT_EQ(trace, "ab");

    NLog::Detach(&a);
    NLog::Detach(&b);
    EXPECT_EQ(NLog::m_pFirst, nullptr);
}

TEST(Log, WriteFFormatsOnceAndTruncates)
{
    CCaptureLogger capture;
    NLog::WriteF("%d%% done\n", 50);
    EXPECT_EQ(capture.m_Text, "50% done\n");

    capture.m_Text.clear();
    std::string longText(5000, 'q');
    NLog::WriteF("%s", longText.c_str());
    EXPECT_EQ(capture.m_Text, std::string(4095, 'q'));
}

TEST(Log, StdOutLoggerAnnouncesItselfAndPrintsTextUnchanged)
{
    CCaptureLogger capture;
    testing::internal::CaptureStdout();
    {
        CStdOutLogger logger;
        NLog::WriteF("100%% sure, %s\n", "%d stays");
    }
    std::string printed = testing::internal::GetCapturedStdout();
    const char* expected =
        "CStdOutLogger attached\n"
        "100% sure, %d stays\n"
        "CStdOutLogger deattching\n";
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(capture.m_Text, expected);
    EXPECT_EQ(NLog::m_pFirst, &capture);
}
