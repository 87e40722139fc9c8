// Display-mode requests and the choice of the best offered mode.
#include <gtest/gtest.h>

#include "LogCapture.h"
#include "RecordingDevice.h"
#include "render/Mode.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::CLogCapture;
using NVorn::NTest::CRecordingDevice;

namespace {

// A concrete mode as a display offers it: every parameter exact.
CMode Offered(long width, long height, long refresh, long fullscreen, long bits,
              long param6 = 32, long display = 0)
{
    const long values[MODE_COUNT] = {width, height, refresh, fullscreen, bits, 8, param6, 0, display};
    CMode mode;
    for (int i = 0; i < MODE_COUNT; ++i)
        mode.m_aParameters[i] = CMode::SParameter{values[i], MATCH_EXACT};
    return mode;
}

// Only the request's kind of each parameter counts, never the candidate's.
TEST(CMode, RequestAcceptsByKindOfEachParameter)
{
    CMode request(640, 480, false, 0);
    EXPECT_TRUE(request.Acceptable(Offered(640, 480, 60, 0, 32)));
    EXPECT_TRUE(request.Acceptable(Offered(640, 480, -1, 0, -1, 16)));
    EXPECT_FALSE(request.Acceptable(Offered(800, 480, 60, 0, 32)));
    EXPECT_FALSE(request.Acceptable(Offered(640, 400, 60, 0, 32)));
    EXPECT_FALSE(request.Acceptable(Offered(640, 480, 60, 1, 32)));
    EXPECT_FALSE(request.Acceptable(Offered(640, 480, 60, 0, 32, 32, 1)));
    CMode candidate = Offered(640, 480, 60, 0, 32);
    candidate.m_aParameters[MODE_WIDTH].m_Match = 0;
    EXPECT_TRUE(request.Acceptable(candidate));

    request.m_aParameters[MODE_REFRESHRATE] = CMode::SParameter{0, MATCH_POSITIVE};
    EXPECT_TRUE(request.Acceptable(Offered(640, 480, 1, 0, 32)));
    EXPECT_FALSE(request.Acceptable(Offered(640, 480, 0, 0, 32)));
    EXPECT_FALSE(request.Acceptable(Offered(640, 480, -1, 0, 32)));

    // A parameter of kind 0, or of no defined kind, accepts nothing.
    CMode empty;
    EXPECT_TRUE(empty.Acceptable(Offered(1, 2, 3, 1, 4)));
    empty.m_aParameters[MODE_PARAM7].m_Match = 0;
    EXPECT_FALSE(empty.Acceptable(Offered(1, 2, 3, 1, 4)));
    EXPECT_FALSE(CMode::SParameter({5, 3}).Accaptable({5, MATCH_EXACT}));

    // Compare looks at values and kinds alike.
    CMode a = Offered(640, 480, 60, 0, 32), b = a;
    EXPECT_TRUE(a.Compare(b));
    b.m_aParameters[MODE_PARAM5].m_Match = MATCH_ANY;
    EXPECT_FALSE(a.Compare(b));
    b = a;
    b.m_aParameters[MODE_DISPLAY].m_Value = 1;
    EXPECT_FALSE(a.Compare(b));
    CMode cleared(1, 2, true, 0);
    cleared.Clear();
    EXPECT_TRUE(cleared.Compare(CMode()));
}

// Refresh rate first, whatever the depth; then depth; then parameter 6.
// Candidates equal but for the display: the one left at index 0 wins, and a
// removal moves the last candidate into the removed one's slot.
TEST(CDeviceBestMode, PrefersLargerValuesByPriority)
{
    CRecordingDevice device;
    CMode best, window(640, 480, false, 0);
    device.m_lOfferedModes = {
        Offered(640, 480, 60, 0, 32),
        Offered(640, 480, 75, 0, 16),
        Offered(640, 480, 75, 0, 16, 16),
        Offered(800, 600, 85, 0, 32),      // not acceptable to the request
    };
    CLogCapture log;
    ASSERT_TRUE(device.GetBestMode(window, best));
    EXPECT_TRUE(best.Compare(Offered(640, 480, 75, 0, 16)));
    EXPECT_EQ(log.m_Text, "3ddevice: Best mode:  640  480   75    0   16    8   32    0    0 \n");

    device.m_lOfferedModes = {
        Offered(640, 480, 60, 0, 16, 32),
        Offered(640, 480, 60, 0, 32, 16),
        Offered(640, 480, 60, 0, 32, 32),
    };
    ASSERT_TRUE(device.GetBestMode(window, best));
    EXPECT_TRUE(best.Compare(Offered(640, 480, 60, 0, 32, 32)));

    CMode anyDisplay = window;
    anyDisplay.m_aParameters[MODE_DISPLAY].m_Match = MATCH_ANY;
    device.m_lOfferedModes = {
        Offered(640, 480, 60, 0, 32, 32, 2),
        Offered(640, 480, 60, 0, 32, 32, 0),
        Offered(640, 480, 60, 0, 32, 32, 1),
    };
    ASSERT_TRUE(device.GetBestMode(anyDisplay, best));
    EXPECT_EQ(best.m_aParameters[MODE_DISPLAY].m_Value, 2);
    device.m_lOfferedModes = {
        Offered(640, 480, 60, 0, 32, 32, 0),
        Offered(640, 480, 75, 0, 32, 32, 1),
        Offered(640, 480, 75, 0, 32, 32, 2),
    };
    ASSERT_TRUE(device.GetBestMode(anyDisplay, best));
    EXPECT_EQ(best.m_aParameters[MODE_DISPLAY].m_Value, 2);
}

TEST(CDeviceBestMode, NoAcceptableModeFailsSilently)
{
    CRecordingDevice device;
    CMode untouched = Offered(1, 1, 1, 1, 1), best = untouched;
    CLogCapture log;
    device.m_lOfferedModes = {Offered(800, 600, 60, 0, 32)};
    EXPECT_FALSE(device.GetBestMode(CMode(640, 480, false, 0), best));
    // Values below the -1 every pass starts from remove every candidate.
    device.m_lOfferedModes = {Offered(640, 480, -5, 0, 32)};
    EXPECT_FALSE(device.GetBestMode(CMode(640, 480, false, 0), best));
    EXPECT_TRUE(best.Compare(untouched));
    EXPECT_EQ(log.m_Text, "");
    EXPECT_TRUE(device.CheckMode(untouched));
}

} // namespace
