// The recorded render state: what each transfer calls, in which order, and
// what the setters record.
#include <gtest/gtest.h>

#include "RecordingDevice.h"
#include "render/State.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::CRecordingDevice;

namespace {

typedef std::vector<std::string> Calls;

// A device whose recorded state is the default one, with an empty call log.
class CStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Device.State_SetDefaults(true);
        m_Device.m_lCalls.clear();
        m_Defaults.State_SetDefaults(true);
    }

    // The calls a transfer of s makes.
    const Calls& Transfer(const CState& s, bool force)
    {
        m_Device.m_lCalls.clear();
        m_Device.State_Set(s, force);
        return m_Device.m_lCalls;
    }

    CRecordingDevice m_Device;
    CState m_Defaults;
};

// With nothing to change, a non-forced transfer still sets the write mask
// and both matrices, and nothing else.
TEST_F(CStateTest, TransferOfAnEqualStateCallsOnlyTheAlwaysSetGroups)
{
    const Calls always = {"Mode_WriteMask(1,1,1,1)", "Matrix_Model", "Matrix_Projection"};
    CState s = m_Defaults;
    s.Mode_PrimaryColor(0.25f, 0.5f, 0.75f, 1.0f);
    s.Stream_Texture(3, 9, 2);
    Transfer(s, true);
    EXPECT_EQ(Transfer(s, false), always);

    m_Device.State_SetDefaults(true);
    m_Device.m_lCalls.clear();
    m_Device.State_SetDefaults(false);
    EXPECT_EQ(m_Device.m_lCalls, always);
}

// Every group changed at once: the non-forced order, with the write mask
// between the stencil operations and the stencil function.
TEST_F(CStateTest, TransferOfDifferencesCallsEachChangedGroupInOrder)
{
    CState s = m_Defaults;
    s.m_aFlags[FLAG_BLEND] = 2;              // any non-zero byte is on
    s.Flag_Set(FLAG_DEPTHWRITE, false);
    s.Mode_BlendFunc(BLEND_ONE, BLEND_ONE);
    s.Mode_DepthTest(TEST_ALWAYS);
    s.Mode_Cull(CULL_CCW);
    s.Mode_StencilOp(STENCILOP_KEEP, STENCILOP_INCR, STENCILOP_KEEP);
    s.Mode_WriteMask(true, false, true, false);
    s.Mode_StencilFunc(TEST_EQUAL, 1, 255);
    s.Mode_PrimaryColor(1.0f, 1.0f, 1.0f, 0.5f);   // alpha alone
    s.Stream_Vertex(1);
    s.Stream_Index(2);
    s.Stream_Normal(3);
    s.Stream_Color(4);
    s.Stream_Texture(2, -1, 5);                    // the set alone
    s.Texture_Set(6, 7);
    s.Shader_Vertex(8);
    s.Shader_Pixel(9);

    const Calls expected = {
        "Flag_Set(0,1)", "Flag_Set(4,0)", "Mode_BlendFunc(1,1)", "Mode_DepthTest(7)",
        "Mode_Cull(1)", "Mode_StencilOp(0,3,0)", "Mode_WriteMask(1,0,1,0)",
        "Mode_StencilFunc(5,1,255)", "Mode_PrimaryColor(1,1,1,0.5)",
        "Stream_Vertex(1)", "Stream_Index(2)", "Stream_Normal(3)", "Stream_Color(4)",
        "Stream_Texture(2,-1,5)", "Texture_Set(6,7)", "Shader_Vertex(8)", "Shader_Pixel(9)",
        "Matrix_Model", "Matrix_Projection",
    };
    EXPECT_EQ(Transfer(s, false), expected);
    EXPECT_EQ(m_Device.m_aFlags[FLAG_BLEND], 1);

    // The device stores the flag as 1, which still differs from the byte 2.
    EXPECT_EQ(Transfer(s, false),
              (Calls{"Flag_Set(0,1)", "Mode_WriteMask(1,0,1,0)", "Matrix_Model", "Matrix_Projection"}));
}

// A forced transfer calls all 38 setters, the stencil operations before the
// stencil function and each unit's coordinates right before its texture;
// the forced defaults order the stencil calls and the units the other way.
TEST_F(CStateTest, ForcedTransferCallsEverySetter)
{
    CState s = m_Defaults;
    s.m_aFlags[FLAG_STENCILTEST] = 7;        // passed on as true
    const Calls& c = Transfer(s, true);
    ASSERT_EQ(c.size(), 38u);
    EXPECT_EQ(Calls(c.begin(), c.begin() + 17),
              (Calls{"Flag_Set(0,0)", "Flag_Set(1,1)", "Flag_Set(2,1)", "Flag_Set(3,1)",
                     "Flag_Set(4,1)", "Flag_Set(5,1)", "Flag_Set(6,0)",
                     "Mode_BlendFunc(2,0)", "Mode_DepthTest(1)", "Mode_Cull(0)",
                     "Mode_StencilOp(0,0,0)", "Mode_StencilFunc(5,0,255)",
                     "Mode_PrimaryColor(1,1,1,1)", "Mode_WriteMask(1,1,1,1)",
                     "Stream_Vertex(-1)", "Stream_Index(-1)", "Stream_Normal(-1)"}));
    EXPECT_EQ(c[18], "Stream_Texture(0,-1,-1)");
    EXPECT_EQ(c[19], "Texture_Set(0,-1)");
    EXPECT_EQ(c[33], "Texture_Set(7,-1)");
    EXPECT_EQ(Calls(c.end() - 4, c.end()),
              (Calls{"Shader_Vertex(-1)", "Shader_Pixel(-1)", "Matrix_Model", "Matrix_Projection"}));

    m_Device.m_lCalls.clear();
    m_Device.State_SetDefaults(true);
    ASSERT_EQ(c.size(), 38u);
    EXPECT_EQ(c[10], "Mode_StencilFunc(5,0,255)");
    EXPECT_EQ(c[11], "Mode_StencilOp(0,0,0)");
    EXPECT_EQ(c[19], "Stream_Texture(1,-1,-1)");
    EXPECT_EQ(c[26], "Texture_Set(0,-1)");
}

TEST_F(CStateTest, StreamSetBindsOnlyTheNamedStreams)
{
    m_Device.Stream_Texture(6, 40, 1);
    m_Device.Stream_Index(41);
    m_Device.m_lCalls.clear();

    m_Device.Stream_Set(12, 0);
    m_Device.Stream_Set(12, 8);              // component 3 has no stream
    EXPECT_TRUE(m_Device.m_lCalls.empty());

    m_Device.Stream_Set(12, STREAM_ALL);
    EXPECT_EQ(m_Device.m_lCalls, (Calls{"Stream_Vertex(12)", "Stream_Normal(12)", "Stream_Color(12)",
                                        "Stream_Texture(0,12,0)", "Stream_Texture(1,12,1)",
                                        "Stream_Texture(2,12,2)", "Stream_Texture(3,12,3)",
                                        "Stream_Texture(4,12,4)", "Stream_Texture(5,12,5)"}));
    EXPECT_EQ(m_Device.m_aTextureStream[6], 40);
    EXPECT_EQ(m_Device.m_IndexStream, 41);

    m_Device.m_lCalls.clear();
    m_Device.Stream_Set(13, STREAM_COLOR | STREAM_TEXTURE7);
    EXPECT_EQ(m_Device.m_lCalls, (Calls{"Stream_Color(13)", "Stream_Texture(7,13,7)"}));

    m_Device.m_lCalls.clear();
    m_Device.Stream_Clear();
    ASSERT_EQ(m_Device.m_lCalls.size(), 12u);
    EXPECT_EQ(m_Device.m_lCalls[1], "Stream_Index(-1)");
    EXPECT_EQ(m_Device.m_aTextureStream[7], -1);
}

// Values are recorded in their field widths; flags and units outside their
// ranges change nothing.
TEST_F(CStateTest, SettersRecordInFieldWidthAndIgnoreOutOfRange)
{
    CState s = m_Defaults;
    s.Mode_StencilFunc(TEST_ALWAYS, 300, 511);
    EXPECT_EQ((int)s.m_StencilRef, 44);
    EXPECT_EQ((int)s.m_StencilMask, 255);
    s.Mode_BlendFunc(0x13, 0x25);
    EXPECT_EQ((int)s.m_BlendSrc, 3);
    EXPECT_EQ((int)s.m_BlendDst, 5);
    s.Mode_Cull(6);
    EXPECT_EQ((int)s.m_Cull, 2);

    s.Flag_Set(FLAG_COUNT, true);
    s.Flag_Set(-1, true);
    s.Stream_Texture(TEXTURE_UNIT_COUNT, 3, 3);
    s.Stream_Texture(-1, 3, 3);
    s.Texture_Set(TEXTURE_UNIT_COUNT, 3);
    s.Texture_Set(-8, 3);
    for (int i = 0; i < FLAG_COUNT; ++i)
        EXPECT_EQ(s.m_aFlags[i], m_Defaults.m_aFlags[i]);
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
    {
        EXPECT_EQ(s.m_aTextureStream[u], -1);
        EXPECT_EQ(s.m_aTexture[u], -1);
    }
    EXPECT_TRUE(IsInEnumeration(BLEND_INVDSTALPHA, BLEND_COUNT));
    EXPECT_FALSE(IsInEnumeration(BLEND_COUNT, BLEND_COUNT));
    EXPECT_FALSE(IsInEnumeration(-1, PRIM_COUNT));
}

} // namespace
