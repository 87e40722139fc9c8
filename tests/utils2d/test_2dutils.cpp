// The 2D batcher on the recording device: the shared drawing tests, plus the
// exact calls it makes, which only a recording device can show.
#include <gtest/gtest.h>

#include "BatcherTests.h"
#include "RecordingDevice.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::CRecordingDevice;

namespace {

struct SRecordingTraits
{
    typedef NTest::TDrawCapture<CRecordingDevice> Device;

    static Device* Create()
    {
        Device* device = new Device;
        device->State_SetDefaults(true);
        return device;
    }

    static void Destroy(Device* device) { delete device; }
};

} // namespace

namespace NVorn {
namespace NTest {
INSTANTIATE_TYPED_TEST_SUITE_P(Recording, C2DUtilsTest, SRecordingTraits);
} // namespace NTest
} // namespace NVorn

namespace {

// One batch: a lock at Begin, nothing at Draw, then unlock, the 38 calls of
// the forced defaults, the 2D settings in their order, and the draw last.
TEST(C2DUtilsCalls, BatchMakesItsCallsInOrder)
{
    CRecordingDevice device;
    C2DUtils utils;
    device.State_SetDefaults(true);
    device.m_lCalls.clear();
    ASSERT_TRUE(utils.Init(&device, 8192));
    EXPECT_EQ(device.m_lCalls, std::vector<std::string>{"CreateVertexBuffer(8192,21)"});

    utils.SetTexture(5);
    utils.SetBlend(BLENDMODE_ALPHA);
    device.m_lCalls.clear();
    ASSERT_TRUE(utils.Quad_Begin());
    utils.Quad_Draw(1, 2, 3, 4);
    utils.Quad_End();

    const std::vector<std::string>& calls = device.m_lCalls;
    const std::string h = std::to_string(utils.m_VB);
    ASSERT_EQ(calls.size(), 2u + 38u + 17u);
    EXPECT_EQ(calls[0], "LockVertexBuffer(" + h + ")");
    EXPECT_EQ(calls[1], "UnlockVertexBuffer(" + h + ")");
    EXPECT_EQ(calls[2], "Flag_Set(0,0)");
    EXPECT_EQ(calls[39], "Matrix_Projection");
    const std::vector<std::string> expected = {
        "Flag_Set(3,0)", "Flag_Set(1,0)",
        "Stream_Vertex(" + h + ")", "Stream_Normal(" + h + ")", "Stream_Color(" + h + ")",
        "Stream_Texture(0," + h + ",0)", "Stream_Texture(1," + h + ",1)",
        "Stream_Texture(2," + h + ",2)", "Stream_Texture(3," + h + ",3)",
        "Stream_Texture(4," + h + ",4)", "Stream_Texture(5," + h + ",5)",
        "Matrix_Projection", "Texture_Set(0,5)", "Matrix_Model", "Flag_Set(0,1)",
        "Mode_BlendFunc(4,5)", "Draw(3,0,2)",
    };
    EXPECT_EQ(std::vector<std::string>(calls.begin() + 40, calls.end()), expected);
}

// A failed creation leaves the batcher uninitialised; the draw is a batch's
// last call whatever comes before End.
TEST(C2DUtilsCalls, FailedInitAndTheLastCall)
{
    CRecordingDevice device;
    C2DUtils utils;
    device.m_bFailCreate = true;
    EXPECT_FALSE(utils.Init(&device, 8192));
    EXPECT_EQ(utils.m_Mode, UTILS_NONE);
    device.m_bFailCreate = false;

    ASSERT_TRUE(utils.Init(&device, 8192));
    ASSERT_TRUE(utils.Line_Begin());
    utils.Line_Draw(0, 0, 1, 1);
    utils.SetBlend(BLENDMODE_NONE);
    utils.Line_End();
    EXPECT_EQ(device.m_lCalls.back(), "Draw(1,0,1)");
}

} // namespace
