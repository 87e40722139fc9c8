// The 2D batcher on the recording device: the calls each batch makes and the
// vertices it writes, read back from its buffer.
#include <cstring>

#include <gtest/gtest.h>

#include "LogCapture.h"
#include "RecordingDevice.h"
#include "foundation/Utils.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

class C2DUtilsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NTest::CRecordingDevice reference;
        reference.State_SetDefaults(true);
        m_Defaults = Calls(reference);
        ASSERT_TRUE(m_Utils.Init(&m_Device, 8192));
    }

    // The calls since the last look, the forced defaults shown as "defaults".
    std::string Calls(NTest::CRecordingDevice& device)
    {
        std::string text;
        for (const std::string& call : device.m_lCalls)
            text += (text.empty() ? "" : " ") + call;
        device.m_lCalls.clear();
        for (size_t at; !m_Defaults.empty() && (at = text.find(m_Defaults)) != std::string::npos;)
            text.replace(at, m_Defaults.size(), "defaults");
        return text;
    }
    std::string Calls() { return Calls(m_Device); }

    // Vertex i of the batch buffer as "x y z | r g b a | u v".
    std::string Vertex(long i)
    {
        CVertexBuffer* b = m_Device.VertexBuffer(m_Utils.m_VB);
        const float* c = b->m_pColor + 4 * i;
        char text[128];
        std::snprintf(text, sizeof text, "%g %g %g | %g %g %g %g | %g %g", b->m_pPosition[i].x, b->m_pPosition[i].y,
                      b->m_pPosition[i].z, c[0], c[1], c[2], c[3], b->m_apTexCoord[0][i].x, b->m_apTexCoord[0][i].y);
        return text;
    }

    NTest::CRecordingDevice m_Device;
    C2DUtils m_Utils;
    std::string m_Defaults;
};

// Six vertices a quad, corners 0 1 2 1 3 2, each with its colour and texture
// coordinates; a line's ends take the colours of corners 0 and 1.
TEST_F(C2DUtilsTest, QuadsAndLinesWriteTheirVertices)
{
    const float colour[4][4] = {{1, 0, 0, 1}, {0, 1, 0, 0.5f}, {0, 0, 1, 0.25f}, {0.5f, 0.5f, 0.5f, 0}};
    for (int c = 0; c < 4; ++c)
        m_Utils.SetColor(c, colour[c][0], colour[c][1], colour[c][2], colour[c][3]);
    m_Utils.SetTexCoord(0.25f, 0, 0.5f, 0.125f);
    m_Utils.SetColor(4, 9, 9, 9, 9), m_Utils.SetColor(-1, 9, 9, 9, 9), m_Utils.SetTexCoord(4L, 9, 9);
    ASSERT_TRUE(m_Utils.Quad_Begin());
    m_Utils.Quad_Draw(100, 100, 20, 10);
    m_Utils.Quad_End();
    const char* corners[4] = {"90 95 -1 | 1 0 0 1 | 0.25 0", "110 95 -1 | 0 1 0 0.5 | 0.5 0",
                              "90 105 -1 | 0 0 1 0.25 | 0.25 0.125", "110 105 -1 | 0.5 0.5 0.5 0 | 0.5 0.125"};
    const int order[6] = {0, 1, 2, 1, 3, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Vertex(i), corners[order[i]]);

    ASSERT_TRUE(m_Utils.Line_Begin());
    m_Utils.Line_Draw(1, 2, 3, 4), m_Utils.SetColor(1, 0.5f, 0.75f, 0.25f, 1);
    m_Utils.Line_Draw(5, 6, 7, 8);
    m_Utils.Line_End();
    EXPECT_EQ(Vertex(2), "5 6 -1 | 1 0 0 1 | 0.25 0.125");   // coordinates left alone
    EXPECT_EQ(Vertex(3), "7 8 -1 | 0.5 0.75 0.25 1 | 0.5 0");
    EXPECT_EQ(Calls().find("CreateVertexBuffer(8192,21,0) LockVertexBuffer(0) UnlockVertexBuffer(0) defaults"), 0u);
}

// A rotation turns quads clockwise about their centre, with exactly the bits
// of a sine and cosine computed afresh, however long it is held; the defaults
// bring back white, the whole texture, no rotation and no texture.
TEST_F(C2DUtilsTest, RotationAndDefaults)
{
    const float angles[] = {1.5707963f, 0.3f, 0.3f, -2.0f, 0.0f, 7.5f};
    ASSERT_TRUE(m_Utils.Quad_Begin());
    for (float angle : angles)
    {
        m_Utils.Quad_SetRotation(angle);
        m_Utils.Quad_Draw(123.5f, 56.25f, 33.0f, 17.0f);
    }
    m_Utils.SetTexture(5);
    m_Utils.SetDefaults();
    m_Utils.Quad_Draw(10, 10, 2, 2);
    m_Utils.Quad_End();
    CVertexBuffer* b = m_Device.VertexBuffer(m_Utils.m_VB);
    for (int q = 0; q < 6; ++q)
    {
        float cs = NVorn::cos(angles[q]), sn = NVorn::sin(angles[q]);
        float x = 123.5f + (cs * -16.5f - sn * -8.5f), y = 56.25f + (sn * -16.5f + cs * -8.5f);
        EXPECT_TRUE(b->m_pPosition[6 * q].x == x && b->m_pPosition[6 * q].y == y) << q;
    }
    EXPECT_EQ(Vertex(4) + " / " + Vertex(0), "115 72.75 -1 | 1 1 1 1 | 1 1 / 132 39.75 -1 | 1 1 1 1 | 0 0");
    EXPECT_EQ(Vertex(40), "11 11 -1 | 1 1 1 1 | 1 1");
    EXPECT_NE(Calls().find("Texture_Set(0,-1) Matrix_Model"), std::string::npos);
}

// Each batch: a lock at Begin, then at End the unlock, the forced defaults,
// the 2D settings with the texture and blend mode current at End, and one
// draw of its primitives.
TEST_F(C2DUtilsTest, EachBatchSetsTheWhole2DStateAndDrawsOnce)
{
    const std::string streams = "Stream_Vertex(0) Stream_Normal(0) Stream_Color(0) Stream_Texture(0,0,0) "
        "Stream_Texture(1,0,1) Stream_Texture(2,0,2) Stream_Texture(3,0,3) Stream_Texture(4,0,4) Stream_Texture(5,0,5)";
    const std::pair<long, const char*> blends[] = {{BLENDMODE_ALPHA, "Flag_Set(0,1) Mode_BlendFunc(4,5)"},
        {BLENDMODE_ADD, "Flag_Set(0,1) Mode_BlendFunc(1,1)"}, {BLENDMODE_NONE, "Flag_Set(0,0)"}, {7, "Flag_Set(0,1)"}};
    Calls();
    for (const auto& blend : blends)
    {
        m_Utils.SetBlend(BLENDMODE_ALPHA), m_Utils.SetTexture(-1);
        ASSERT_TRUE(m_Utils.Quad_Begin());
        m_Utils.Quad_Draw(1, 1, 1, 1), m_Utils.Quad_Draw(1, 1, 1, 1);
        m_Utils.SetTexture(3), m_Utils.SetBlend(blend.first);
        m_Utils.Quad_End();
        EXPECT_EQ(Calls(), "LockVertexBuffer(0) UnlockVertexBuffer(0) defaults Flag_Set(3,0) Flag_Set(1,0) " + streams +
                  " Matrix_Projection Texture_Set(0,3) Matrix_Model " + blend.second + " Draw(3,0,4)");
    }
    const TMatrix4<float> ortho = NMatrix::Ortho(0, 640, 0, 480, 2, 0);
    EXPECT_EQ(std::memcmp(m_Device.m_Projection.m, ortho.m, sizeof ortho.m), 0);
    EXPECT_EQ(m_Device.m_Model.m[0] + m_Device.m_Model.m[5] + m_Device.m_Model.m[15] + m_Device.m_Model.m[1], 3.0f);

    ASSERT_TRUE(m_Utils.Line_Begin());
    for (int l = 0; l < 3; ++l)
        m_Utils.Line_Draw(0, 0, 1, 1);
    m_Utils.Line_End();
    std::string calls = Calls();
    EXPECT_EQ(calls.substr(calls.rfind("Matrix_Model")), "Matrix_Model Flag_Set(0,1) Draw(1,0,3)");
}

// Draws outside a batch of their kind, Ends without their Begin and Begins
// inside a batch change nothing; a full batch is drawn and continued in a
// fresh one; a quad larger than the buffer is dropped.
TEST_F(C2DUtilsTest, CallsOutsideTheirBatchAndFullBatches)
{
    m_Utils.Quad_Draw(1, 1, 1, 1), m_Utils.Line_Draw(1, 1, 2, 2);
    m_Utils.Quad_End(), m_Utils.Line_End(), m_Utils.UnlockVB();
    ASSERT_TRUE(m_Utils.Quad_Begin());
    EXPECT_FALSE(m_Utils.Quad_Begin() || m_Utils.Line_Begin());
    m_Utils.Line_Draw(1, 1, 2, 2), m_Utils.Line_End(), m_Utils.Quad_End();
    ASSERT_TRUE(m_Utils.Line_Begin());
    m_Utils.Quad_Draw(1, 1, 1, 1), m_Utils.Quad_End(), m_Utils.Line_End();
    std::string calls = Calls();
    EXPECT_EQ(calls.substr(calls.rfind("Matrix_Model")), "Matrix_Model Flag_Set(0,0) Draw(1,0,0)");
    EXPECT_NE(calls.find("Flag_Set(0,0) Draw(3,0,0) LockVertexBuffer(0)"), std::string::npos);

    C2DUtils small;
    ASSERT_TRUE(small.Init(&m_Device, 12));   // two quads or six lines
    ASSERT_TRUE(small.Quad_Begin());
    for (int q = 0; q < 5; ++q)
        small.Quad_Draw(10.0f * q, 20, 2, 2);
    small.Quad_End();
    ASSERT_TRUE(small.Line_Begin());
    for (int l = 0; l < 8; ++l)
        small.Line_Draw(l, 0, l, 1);
    small.Line_End();
    C2DUtils tiny;
    ASSERT_TRUE(tiny.Init(&m_Device, 4) && tiny.Quad_Begin());
    tiny.Quad_Draw(10, 10, 2, 2);
    tiny.Quad_End();
    calls = Calls();
    std::string draws;
    for (size_t at = 0; (at = calls.find("Draw(", at)) != std::string::npos; ++at)
        draws += calls.substr(at, calls.find(')', at) - at + 1);
    EXPECT_EQ(draws, "Draw(3,0,4)Draw(3,0,4)Draw(3,0,2)Draw(1,0,6)Draw(1,0,2)Draw(3,0,0)");
    EXPECT_EQ(m_Device.VertexBuffer(small.m_VB)->m_pPosition[2].x, 7.0f);
    EXPECT_EQ(m_Device.VertexBuffer(small.m_VB)->m_pPosition[11].x, 5.0f);
}

// Init succeeds once and fails on a null device or without a buffer; a lock
// that fails leaves the batcher ready with its draws ignored; LockVB logs a
// wrong mode.
TEST_F(C2DUtilsTest, InitOnceAndFailedLocks)
{
    EXPECT_EQ(std::vector<long>({UTILS_NONE, UTILS_READY, UTILS_QUADS, UTILS_LINES, BLENDMODE_NONE, BLENDMODE_ALPHA,
                                 BLENDMODE_ADD}), std::vector<long>({0, 1, 2, 3, 0, 1, 2}));
    C2DUtils unbound, failing;
    EXPECT_FALSE(unbound.Init(nullptr, 100));
    m_Device.m_bFailCreate = true;
    EXPECT_FALSE(failing.Init(&m_Device, 100));
    m_Device.m_bFailCreate = false;
    EXPECT_FALSE(m_Utils.Init(&m_Device, 60));
    EXPECT_EQ(m_Utils.m_VB + unbound.m_Mode + failing.m_Mode + m_Device.VertexBuffer(0)->m_Count, 8192);

    NTest::CLogCapture log;
    EXPECT_FALSE(unbound.LockVB(UTILS_QUADS) || m_Utils.LockVB(UTILS_READY));
    EXPECT_EQ(log.m_Text, "C2DUtils::LockVB: Errors mode\nC2DUtils::LockVB: Errors mode\n");
    m_Device.m_bFailLock = true;
    EXPECT_FALSE(m_Utils.Quad_Begin() || m_Utils.LockVB(UTILS_LINES));
    m_Utils.Quad_Draw(1, 1, 1, 1), m_Utils.Quad_End();
    m_Device.m_bFailLock = false;
    ASSERT_TRUE(m_Utils.LockVB(UTILS_LINES));
    EXPECT_FALSE(m_Utils.LockVB(UTILS_LINES));
    m_Utils.Line_Draw(0, 0, 1, 1);
    m_Utils.UnlockVB();
    EXPECT_EQ(m_Utils.m_Mode, UTILS_READY);
    // A buffer without the arrays a batch writes fails like a lock, unlocked.
    for (long format : {STREAM_POSITION | STREAM_COLOR, STREAM_COLOR | STREAM_TEXTURE0})
    {
        m_Utils.m_VB = m_Device.CreateVertexBuffer(6, format, 0);
        EXPECT_FALSE(m_Utils.Quad_Begin());
        EXPECT_NE(m_Device.LockVertexBuffer(m_Utils.m_VB, STREAM_ALL), nullptr);
    }
    EXPECT_EQ(Calls().find("Draw"), std::string::npos);
}

} // namespace
