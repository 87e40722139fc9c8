// The 2D batcher on the recording device: the shared drawing tests, plus the
// exact calls it makes, which only a recording device can show.
#include <gtest/gtest.h>

#include "BatcherTests.h"
#include "RecordingDevice.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::CRecordingDevice;
using NVorn::NTest::TDrawCapture;

namespace {

struct SRecordingTraits
{
    typedef TDrawCapture<CRecordingDevice> Device;

    static Device* Create()
    {
        Device* device = new Device;
        device->State_SetDefaults(true);
        device->m_lCalls.clear();
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

class C2DUtilsCallsTest : public ::testing::Test
{
protected:
    void SetUp() override { m_Device.State_SetDefaults(true); }

    // The calls recorded from index first on.
    std::vector<std::string> CallsFrom(size_t first) const
    {
        return std::vector<std::string>(m_Device.m_lCalls.begin() + first, m_Device.m_lCalls.end());
    }

    CRecordingDevice m_Device;
    C2DUtils m_Utils;
};

// One batch: a lock at Begin, nothing at Draw, then unlock, the forced
// defaults, the 2D settings in their order, and the draw last.
TEST_F(C2DUtilsCallsTest, BatchMakesItsCallsInOrder)
{
    m_Device.m_lCalls.clear();
    ASSERT_TRUE(m_Utils.Init(&m_Device, 8192));
    EXPECT_EQ(m_Device.m_lCalls, std::vector<std::string>{"CreateVertexBuffer(8192,21)"});
    long vb = m_Utils.m_VB;

    m_Utils.SetTexture(5);
    m_Utils.SetBlend(BLENDMODE_ALPHA);
    size_t begin = m_Device.m_lCalls.size();
    ASSERT_TRUE(m_Utils.Quad_Begin());
    m_Utils.Quad_Draw(1, 2, 3, 4);
    m_Utils.Quad_End();

    std::vector<std::string> calls = CallsFrom(begin);
    ASSERT_GT(calls.size(), 4u);
    EXPECT_EQ(calls[0], "LockVertexBuffer(" + std::to_string(vb) + ")");
    EXPECT_EQ(calls[1], "UnlockVertexBuffer(" + std::to_string(vb) + ")");

    // The forced defaults are the 38 setter calls of a full reset.
    const size_t defaults = 38;
    ASSERT_EQ(calls.size(), 2 + defaults + 17);
    EXPECT_EQ(calls[2], "Flag_Set(0,0)");
    EXPECT_EQ(calls[2 + defaults - 1], "Matrix_Projection");

    std::string h = std::to_string(vb);
    std::vector<std::string> tail(calls.begin() + 2 + defaults, calls.end());
    std::vector<std::string> expected = {
        "Flag_Set(3,0)", "Flag_Set(1,0)",
        "Stream_Vertex(" + h + ")", "Stream_Normal(" + h + ")", "Stream_Color(" + h + ")",
        "Stream_Texture(0," + h + ",0)", "Stream_Texture(1," + h + ",1)",
        "Stream_Texture(2," + h + ",2)", "Stream_Texture(3," + h + ",3)",
        "Stream_Texture(4," + h + ",4)", "Stream_Texture(5," + h + ",5)",
        "Matrix_Projection", "Texture_Set(0,5)", "Matrix_Model", "Flag_Set(0,1)",
        "Mode_BlendFunc(4,5)", "Draw(3,0,2)",
    };
    EXPECT_EQ(tail, expected);
}

TEST_F(C2DUtilsCallsTest, DrawIsTheLastCallAndInitFailureLeavesNoBuffer)
{
    m_Device.m_bFailCreate = true;
    EXPECT_FALSE(m_Utils.Init(&m_Device, 8192));
    EXPECT_EQ(m_Utils.m_Mode, UTILS_NONE);
    m_Device.m_bFailCreate = false;

    ASSERT_TRUE(m_Utils.Init(&m_Device, 8192));
    m_Device.m_bFailLock = true;
    EXPECT_FALSE(m_Utils.Line_Begin());
    EXPECT_EQ(m_Utils.m_Mode, UTILS_READY);
    m_Device.m_bFailLock = false;

    ASSERT_TRUE(m_Utils.Line_Begin());
    m_Utils.Line_Draw(0, 0, 1, 1);
    m_Utils.SetBlend(BLENDMODE_NONE);
    m_Utils.Line_End();
    EXPECT_EQ(m_Device.m_lCalls.back(), "Draw(1,0,1)");
}

} // namespace
