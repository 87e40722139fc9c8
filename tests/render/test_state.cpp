// The recorded render state: which setters a transfer calls, in which order,
// with which values, and what the setters record.
#include <functional>

#include <gtest/gtest.h>

#include "RecordingDevice.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

class CStateTest : public ::testing::Test
{
protected:
    void SetUp() override { m_Device.State_SetDefaults(true); m_Defaults.State_SetDefaults(true); }

    // The calls made since the last look, space-separated; the write mask and
    // the matrices that every transfer sets are left out when asked.
    std::string Calls(bool always = true)
    {
        std::string text;
        for (const std::string& call : m_Device.m_lCalls)
            if (always || (call != "Mode_WriteMask(1,1,1,1)" && call.compare(0, 7, "Matrix_") != 0))
                text += (text.empty() ? "" : " ") + call;
        m_Device.m_lCalls.clear();
        return text;
    }

    NTest::CRecordingDevice m_Device;
    CState m_Defaults;
};

// Every field distinct: a forced transfer calls all 38 setters with them; a
// plain one back to the defaults calls only what differs, the write mask
// between the stencil operations and function; then nothing differs.
TEST_F(CStateTest, TransfersCallTheirSettersInOrder)
{
    CState s = m_Defaults;
    const unsigned char flags[FLAG_COUNT] = {1, 0, 0, 0, 0, 7, 1};
    std::copy(flags, flags + FLAG_COUNT, s.m_aFlags);
    s.Mode_BlendFunc(BLEND_ONE, BLEND_SRCALPHA), s.Mode_DepthTest(TEST_ALWAYS), s.Mode_Cull(CULL_CCW);
    s.Mode_StencilOp(STENCILOP_ZERO, STENCILOP_REPLACE, STENCILOP_INCR), s.Mode_StencilFunc(TEST_GREATER, 9, 200);
    s.Mode_PrimaryColor(0.25f, 0.5f, 0.75f, 0.125f), s.Mode_WriteMask(true, false, true, false);
    s.Stream_Vertex(1), s.Stream_Index(2), s.Stream_Normal(3), s.Stream_Color(4);
    s.Shader_Vertex(8), s.Shader_Pixel(9);
    std::string units, unitsForced;
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
    {
        s.Stream_Texture(u, 10 + u, 7 - u), s.Texture_Set(u, 20 + u);
        const std::string n = std::to_string(u);
        units += " Stream_Texture(" + n + ",-1,-1) Texture_Set(" + n + ",-1)";
        unitsForced += " Stream_Texture(" + n + "," + std::to_string(10 + u) + "," + std::to_string(7 - u) +
                       ") Texture_Set(" + n + "," + std::to_string(20 + u) + ")";
    }
    Calls();
    m_Device.State_Set(s, true);
    EXPECT_EQ(Calls(), "Flag_Set(0,1) Flag_Set(1,0) Flag_Set(2,0) Flag_Set(3,0) Flag_Set(4,0) Flag_Set(5,1) "
                       "Flag_Set(6,1) Mode_BlendFunc(1,4) Mode_DepthTest(7) Mode_Cull(1) Mode_StencilOp(1,2,3) "
                       "Mode_StencilFunc(3,9,200) Mode_PrimaryColor(0.25,0.5,0.75,0.125) Mode_WriteMask(1,0,1,0) "
                       "Stream_Vertex(1) Stream_Index(2) Stream_Normal(3) Stream_Color(4)" + unitsForced +
                       " Shader_Vertex(8) Shader_Pixel(9) Matrix_Model Matrix_Projection");
    m_Device.State_SetDefaults(false);
    EXPECT_EQ(Calls(), "Flag_Set(0,0) Flag_Set(1,1) Flag_Set(2,1) Flag_Set(3,1) Flag_Set(4,1) Flag_Set(5,0) "
                       "Flag_Set(6,0) Mode_BlendFunc(2,0) Mode_DepthTest(1) Mode_Cull(0) Mode_StencilOp(0,0,0) "
                       "Mode_WriteMask(1,1,1,1) Mode_StencilFunc(5,0,255) Mode_PrimaryColor(1,1,1,1) "
                       "Stream_Vertex(-1) Stream_Index(-1) Stream_Normal(-1) Stream_Color(-1)" + units +
                       " Shader_Vertex(-1) Shader_Pixel(-1) Matrix_Model Matrix_Projection");
    m_Device.State_Set(m_Defaults, false);
    EXPECT_EQ(Calls(), "Mode_WriteMask(1,1,1,1) Matrix_Model Matrix_Projection");
    const TVector4<float> v(1, 2, 3, 4);   // unit matrices
    EXPECT_TRUE(m_Device.m_Model * v == v && m_Device.m_Projection * v == v);
}

// One field changed: only its group is set, whichever of the group's values
// it is. The forced defaults set the stencil function first and every
// unit's coordinates before any texture.
TEST_F(CStateTest, OneChangedFieldSetsItsGroup)
{
    typedef std::function<void(CState&)> FChange;
    const std::pair<FChange, const char*> cases[] = {
        {[](CState& s) { s.m_BlendSrc = BLEND_ONE; }, "Mode_BlendFunc(1,0)"},
        {[](CState& s) { s.m_BlendDst = BLEND_ONE; }, "Mode_BlendFunc(2,1)"},
        {[](CState& s) { s.m_StencilFail = STENCILOP_DECR; }, "Mode_StencilOp(4,0,0)"},
        {[](CState& s) { s.m_StencilPass = STENCILOP_INCR; }, "Mode_StencilOp(0,0,3)"},
        {[](CState& s) { s.m_StencilFunc = TEST_NOTEQUAL; }, "Mode_StencilFunc(6,0,255)"},
        {[](CState& s) { s.m_StencilMask = 15; }, "Mode_StencilFunc(5,0,15)"},
        {[](CState& s) { s.m_aPrimaryColor[0] = 0; }, "Mode_PrimaryColor(0,1,1,1)"},
        {[](CState& s) { s.m_aPrimaryColor[1] = 0; }, "Mode_PrimaryColor(1,0,1,1)"},
        {[](CState& s) { s.m_aPrimaryColor[3] = 0; }, "Mode_PrimaryColor(1,1,1,0)"},
        {[](CState& s) { s.m_aTextureSet[7] = 2; }, "Stream_Texture(7,-1,2)"},
        {[](CState& s) { s.m_aFlags[FLAG_CULL] = 2; }, "Flag_Set(1,1)"},
    };
    for (const auto& c : cases)
    {
        CState s = m_Defaults;
        c.first(s);
        Calls();
        m_Device.State_Set(s, false);
        EXPECT_EQ(Calls(false), c.second);
        m_Device.State_SetDefaults(true);
    }
    const std::string forced = Calls();
    EXPECT_NE(forced.find("Mode_StencilFunc(5,0,255) Mode_StencilOp(0,0,0)"), std::string::npos);
    EXPECT_NE(forced.find("Stream_Texture(7,-1,-1) Texture_Set(0,-1)"), std::string::npos);
}

// Values keep their field widths; flags and units out of range change
// nothing, so a transfer to the defaults afterwards finds nothing to set.
// Stream_Set binds exactly the streams of its mask, Stream_Clear them all.
TEST_F(CStateTest, SettersAndStreamHelpers)
{
    CState s = m_Defaults;
    s.Mode_StencilFunc(TEST_ALWAYS, 300, 511), s.Mode_BlendFunc(0x13, 0x25), s.Mode_Cull(6), s.Mode_DepthTest(0x12);
    EXPECT_EQ(std::vector<unsigned>({s.m_StencilRef, s.m_StencilMask, s.m_BlendSrc, s.m_BlendDst, s.m_Cull, s.m_DepthTest}),
              std::vector<unsigned>({44, 255, 3, 5, 2, 2}));
    for (long bad : {-1L, 8L, 100L})
        m_Device.Flag_Set(bad - 1, true), m_Device.Stream_Texture(bad, 3, 3), m_Device.Texture_Set(int(bad), 3);
    m_Device.Stream_Set(12, 8);              // component 3 has no stream
    Calls();
    m_Device.State_Set(m_Defaults, false);
    EXPECT_EQ(Calls(false), "");

    m_Device.Stream_Set(12, STREAM_ALL & ~STREAM_TEXTURE2);
    m_Device.Stream_Set(13, STREAM_COLOR | STREAM_TEXTURE7);
    m_Device.Stream_Clear();
    std::string expected = "Stream_Vertex(12) Stream_Normal(12) Stream_Color(12) Stream_Texture(0,12,0) "
        "Stream_Texture(1,12,1) Stream_Texture(3,12,3) Stream_Texture(4,12,4) Stream_Texture(5,12,5) Stream_Color(13) "
        "Stream_Texture(7,13,7) Stream_Vertex(-1) Stream_Index(-1) Stream_Normal(-1) Stream_Color(-1)";
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
        expected += " Stream_Texture(" + std::to_string(u) + ",-1,-1)";
    EXPECT_EQ(Calls(), expected);
}

} // namespace
