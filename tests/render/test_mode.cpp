// Display-mode requests and the choice of the best offered mode.
#include <gtest/gtest.h>

#include "LogCapture.h"
#include "RecordingDevice.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

// A concrete mode as a display offers it: every parameter exact.
CMode Offered(long width, long height, long refresh, long fullscreen, long bits, long param6 = 32, long display = 0)
{
    const long values[MODE_COUNT] = {width, height, refresh, fullscreen, bits, 8, param6, 0, display};
    CMode mode;
    for (int i = 0; i < MODE_COUNT; ++i)
        mode.m_aParameters[i] = CMode::SParameter{values[i], MATCH_EXACT};
    return mode;
}

// Only the request's kind of each parameter counts; Compare looks at values
// and kinds alike.
TEST(CMode, RequestAcceptsByKindOfEachParameter)
{
    CMode request(640, 480, false, 0), positive = request, empty, unknown;
    positive.m_aParameters[MODE_REFRESHRATE] = CMode::SParameter{0, MATCH_POSITIVE};
    unknown.m_aParameters[MODE_PARAM7].m_Match = 0;
    const struct { const CMode& request; CMode candidate; bool accepted; } cases[] = {
        {request, Offered(640, 480, -1, 0, -1, 16), true},
        {request, Offered(800, 480, 60, 0, 32), false},
        {request, Offered(640, 400, 60, 0, 32), false},
        {request, Offered(640, 480, 60, 1, 32), false},
        {request, Offered(640, 480, 60, 0, 32, 32, 1), false},
        {positive, Offered(640, 480, 1, 0, 32), true},
        {positive, Offered(640, 480, 0, 0, 32), false},
        {empty, Offered(1, 2, 3, 1, 4), true},
        {unknown, Offered(1, 2, 3, 1, 4), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.request.Acceptable(c.candidate), c.accepted);
    CMode loose = Offered(640, 480, 60, 0, 32), other = loose, cleared(1, 2, true, 0);
    loose.m_aParameters[MODE_WIDTH].m_Match = 0;
    other.m_aParameters[MODE_DISPLAY].m_Value = 1;
    cleared.Clear();
    EXPECT_TRUE(request.Acceptable(loose) && cleared.Compare(CMode()));
    EXPECT_FALSE(loose.Compare(Offered(640, 480, 60, 0, 32)) || other.Compare(Offered(640, 480, 60, 0, 32)));
}

// Refresh rate first, whatever the depth; then depth; then parameter 6. Of
// candidates equal but for the display, the one left at index 0 wins; a
// removal moves the last candidate into the removed one's slot.
TEST(CDeviceBestMode, PrefersLargerValuesByPriority)
{
    NTest::CRecordingDevice device;
    CMode any(640, 480, false, 0);
    any.m_aParameters[MODE_DISPLAY].m_Match = MATCH_ANY;
    const struct { std::vector<CMode> offered; CMode best; } cases[] = {
        {{Offered(640, 480, 60, 0, 32), Offered(640, 480, 75, 0, 16), Offered(640, 480, 75, 0, 16, 16),
          Offered(800, 600, 85, 0, 32)}, Offered(640, 480, 75, 0, 16)},
        {{Offered(640, 480, 60, 0, 16, 32), Offered(640, 480, 60, 0, 32, 16), Offered(640, 480, 60, 0, 32, 32)},
         Offered(640, 480, 60, 0, 32, 32)},
        {{Offered(640, 480, 60, 0, 32, 32, 2), Offered(640, 480, 60, 0, 32, 32, 0), Offered(640, 480, 60, 0, 32, 32, 1)},
         Offered(640, 480, 60, 0, 32, 32, 2)},
        {{Offered(640, 480, 60, 0, 32, 32, 0), Offered(640, 480, 75, 0, 32, 32, 1), Offered(640, 480, 75, 0, 32, 32, 2)},
         Offered(640, 480, 75, 0, 32, 32, 2)},
    };
    NTest::CLogCapture log;
    for (const auto& c : cases)
    {
        device.m_lOfferedModes = c.offered;
        CMode best;
        ASSERT_TRUE(device.GetBestMode(any, best));
        EXPECT_TRUE(best.Compare(c.best));
    }
    EXPECT_EQ(log.m_Text.substr(0, 67), "3ddevice: Best mode:  640  480   75    0   16    8   32    0    0 \n");

    // Nothing acceptable, or values below the -1 every pass starts from.
    CMode untouched = Offered(1, 1, 1, 1, 1), best = untouched;
    log.m_Text.clear();
    for (CMode offered : {Offered(800, 600, 60, 0, 32), Offered(640, 480, -5, 0, 32)})
    {
        device.m_lOfferedModes = {offered};
        EXPECT_FALSE(device.GetBestMode(any, best));
    }
    EXPECT_TRUE(best.Compare(untouched) && log.m_Text.empty() && device.CheckMode(untouched));
}

} // namespace
