// The 2D batcher's tests, written once for any render device. A test program
// instantiates them with a traits type:
//
//   struct SMyTraits
//   {
//       typedef NVorn::NTest::TDrawCapture<CMyDevice> Device;
//       static Device* Create();             // ready to draw, or null to skip
//       static void Destroy(Device* device);
//   };
//   INSTANTIATE_TYPED_TEST_SUITE_P(MyDevice, C2DUtilsTest, SMyTraits);
#ifndef NVORN_TESTS_SUPPORT_BATCHERTESTS_H
#define NVORN_TESTS_SUPPORT_BATCHERTESTS_H

#include <cstring>

#include <gtest/gtest.h>

#include "DrawCapture.h"
#include "LogCapture.h"
#include "foundation/Utils.h"
#include "render/Matrix.h"
#include "utils2d/2DUtils.h"

namespace NVorn {
namespace NTest {

template<class TTraits>
class C2DUtilsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pDevice = TTraits::Create();
        if (!m_pDevice)
            GTEST_SKIP() << "no device";
    }

    void TearDown() override
    {
        if (m_pDevice)
            TTraits::Destroy(m_pDevice);
    }

    // A batcher with a buffer of the given capacity, not blending.
    void InitUtils(long vertices)
    {
        ASSERT_TRUE(m_Utils.Init(m_pDevice, vertices));
        m_Utils.SetDefaults();
        m_Utils.SetBlend(N3D::BLENDMODE_NONE);
    }

    const std::vector<SCapturedDraw>& Draws() const { return m_pDevice->m_lDraws; }

    typename TTraits::Device* m_pDevice = nullptr;
    N3D::C2DUtils m_Utils;
};

TYPED_TEST_SUITE_P(C2DUtilsTest);

namespace NBatcherTest {

// The vertex order of a quad's two triangles, as corner numbers.
const int kCorner[6] = {0, 1, 2, 1, 3, 2};

inline void ExpectPosition(const SCapturedVertex& v, float x, float y)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_EQ(v.z, -1.0f);
}

inline bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Corner c of a w x h quad centred on (x, y), turned by angle with sine and
// cosine computed afresh.
inline void TurnedCorner(float x, float y, float w, float h, float angle, int c,
                         float& px, float& py)
{
    float left = x - 0.5f * w, top = y - 0.5f * h;
    float dx = (c & 1 ? left + w : left) - x;
    float dy = (c & 2 ? top + h : top) - y;
    float cs = NVorn::cos(angle), sn = NVorn::sin(angle);
    px = x + (cs * dx - sn * dy);
    py = y + (sn * dx + cs * dy);
}

} // namespace NBatcherTest

// Geometry, vertex order, per-corner colours and texture coordinates of a
// quad, unturned and turned a quarter clockwise: two quads, four triangles.
TYPED_TEST_P(C2DUtilsTest, QuadWritesSixVerticesInCornerOrder)
{
    using namespace NBatcherTest;
    this->InitUtils(8192);
    N3D::C2DUtils& u = this->m_Utils;
    const float colour[4][4] = {{1, 0, 0, 1}, {0, 1, 0, 0.5f}, {0, 0, 1, 0.25f}, {0.5f, 0.5f, 0.5f, 0}};
    for (int c = 0; c < 4; ++c)
        u.SetColor(c, colour[c][0], colour[c][1], colour[c][2], colour[c][3]);
    u.SetColor(4, 9.0f, 9.0f, 9.0f, 9.0f);   // no such corner: ignored
    u.SetTexCoord(0.25f, 0.0f, 0.5f, 0.125f);

    ASSERT_TRUE(u.Quad_Begin());
    u.Quad_Draw(100, 100, 20, 10);
    u.Quad_SetRotation(1.5707963267948966f);
    u.Quad_Draw(100, 100, 20, 10);
    u.Quad_End();

    ASSERT_EQ(this->Draws().size(), 1u);
    const SCapturedDraw& draw = this->Draws()[0];
    EXPECT_EQ(draw.m_Prim, N3D::PRIM_TRIANGLES);
    EXPECT_EQ(draw.m_First, 0);
    EXPECT_EQ(draw.m_Count, 4);
    ASSERT_EQ(draw.m_lVertices.size(), 12u);

    const float x[4] = {90, 110, 90, 110}, y[4] = {95, 95, 105, 105};
    const float uv[4][2] = {{0.25f, 0}, {0.5f, 0}, {0.25f, 0.125f}, {0.5f, 0.125f}};
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(i);
        const SCapturedVertex& v = draw.m_lVertices[i];
        const int c = kCorner[i];
        ExpectPosition(v, x[c], y[c]);
        EXPECT_EQ(v.r, colour[c][0]);
        EXPECT_EQ(v.g, colour[c][1]);
        EXPECT_EQ(v.b, colour[c][2]);
        EXPECT_EQ(v.a, colour[c][3]);
        EXPECT_EQ(v.u, uv[c][0]);
        EXPECT_EQ(v.v, uv[c][1]);
    }
    // A quarter turn is clockwise on the screen.
    EXPECT_NEAR(draw.m_lVertices[6].x, 105.0f, 1e-4f);    // corner 0
    EXPECT_NEAR(draw.m_lVertices[6].y, 90.0f, 1e-4f);
    EXPECT_NEAR(draw.m_lVertices[10].x, 95.0f, 1e-4f);    // corner 3
    EXPECT_NEAR(draw.m_lVertices[10].y, 110.0f, 1e-4f);
}

// A rotation held over many quads gives exactly the bits of one computed
// afresh for each quad.
TYPED_TEST_P(C2DUtilsTest, HeldRotationIsBitExact)
{
    using namespace NBatcherTest;
    this->InitUtils(8192);
    N3D::C2DUtils& u = this->m_Utils;
    const float angles[] = {0.3f, 0.3f, 0.3f, -2.0f, 0.3f, 0.0f, 0.0f, 7.5f, 7.5f, 1e-3f};
    const int n = sizeof angles / sizeof angles[0];
    ASSERT_TRUE(u.Quad_Begin());
    for (int q = 0; q < n; ++q)
    {
        u.Quad_SetRotation(angles[q]);
        u.Quad_Draw(123.4f + q, 56.7f - q, 33.3f, 17.1f + q);
    }
    u.Quad_End();

    ASSERT_EQ(this->Draws().size(), 1u);
    const std::vector<SCapturedVertex>& v = this->Draws()[0].m_lVertices;
    ASSERT_EQ(v.size(), 6u * n);
    for (int q = 0; q < n; ++q)
    {
        for (int i = 0; i < 6; ++i)
        {
            SCOPED_TRACE(testing::Message() << "quad " << q << " vertex " << i);
            float px, py;
            TurnedCorner(123.4f + q, 56.7f - q, 33.3f, 17.1f + q, angles[q], kCorner[i], px, py);
            EXPECT_TRUE(SameBits(v[6 * q + i].x, px));
            EXPECT_TRUE(SameBits(v[6 * q + i].y, py));
        }
    }
}

// Draw counts are primitives: three lines make three lines, an empty batch
// nothing (two quads, four triangles, above). Lines carry the colours of
// corners 0 and 1.
TYPED_TEST_P(C2DUtilsTest, BatchesDrawTheirPrimitiveCounts)
{
    using namespace NBatcherTest;
    this->InitUtils(8192);
    N3D::C2DUtils& u = this->m_Utils;
    ASSERT_TRUE(u.Quad_Begin());
    u.Quad_End();

    u.SetColor(0, 1, 0, 0, 1);
    u.SetColor(1, 0, 0, 1, 0.5f);
    ASSERT_TRUE(u.Line_Begin());
    u.Line_Draw(0, 0, 640, 480);
    u.Line_Draw(1, 2, 3, 4);
    u.Line_Draw(5, 6, 7, 8);
    u.Line_End();

    ASSERT_EQ(this->Draws().size(), 2u);
    EXPECT_EQ(this->Draws()[0].m_Prim, N3D::PRIM_TRIANGLES);
    EXPECT_EQ(this->Draws()[0].m_Count, 0);
    const SCapturedDraw& lines = this->Draws()[1];
    EXPECT_EQ(lines.m_Prim, N3D::PRIM_LINES);
    EXPECT_EQ(lines.m_First, 0);
    EXPECT_EQ(lines.m_Count, 3);
    ASSERT_EQ(lines.m_lVertices.size(), 6u);
    const float ends[6][2] = {{0, 0}, {640, 480}, {1, 2}, {3, 4}, {5, 6}, {7, 8}};
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(i);
        ExpectPosition(lines.m_lVertices[i], ends[i][0], ends[i][1]);
        EXPECT_EQ(lines.m_lVertices[i].r, i % 2 ? 0.0f : 1.0f);
        EXPECT_EQ(lines.m_lVertices[i].b, i % 2 ? 1.0f : 0.0f);
        EXPECT_EQ(lines.m_lVertices[i].a, i % 2 ? 0.5f : 1.0f);
    }
}

// Draw calls outside a batch of their own kind, End calls without their
// Begin, and Begin calls while a batch is open change nothing.
TYPED_TEST_P(C2DUtilsTest, CallsOutsideTheirBatchChangeNothing)
{
    this->InitUtils(8192);
    N3D::C2DUtils& u = this->m_Utils;
    u.Quad_Draw(1, 1, 1, 1);
    u.Line_Draw(1, 1, 2, 2);
    u.Quad_End();
    u.Line_End();
    EXPECT_EQ(u.m_Mode, N3D::UTILS_READY);
    EXPECT_TRUE(this->Draws().empty());

    ASSERT_TRUE(u.Quad_Begin());
    EXPECT_FALSE(u.Quad_Begin());
    EXPECT_FALSE(u.Line_Begin());
    u.Line_Draw(1, 1, 2, 2);
    u.Line_End();
    EXPECT_EQ(u.m_Vertices, 0);
    u.Quad_Draw(50, 50, 2, 2);
    u.Quad_End();

    ASSERT_TRUE(u.Line_Begin());
    u.Quad_Draw(1, 1, 1, 1);
    u.Quad_End();
    EXPECT_EQ(u.m_Mode, N3D::UTILS_LINES);
    u.Line_End();

    ASSERT_EQ(this->Draws().size(), 2u);
    EXPECT_EQ(this->Draws()[0].m_Count, 2);
    EXPECT_EQ(this->Draws()[1].m_Prim, N3D::PRIM_LINES);
    EXPECT_EQ(this->Draws()[1].m_Count, 0);
}

// Every batch re-establishes the whole 2D state, whatever the device was left
// in, with the texture and blend mode current at End.
TYPED_TEST_P(C2DUtilsTest, EachBatchSetsTheWhole2DState)
{
    this->InitUtils(8192);
    N3D::C2DUtils& u = this->m_Utils;
    N3D::CDevice& device = *this->m_pDevice;
    const TMatrix4<float> ortho = N3D::NMatrix::Ortho(0, 640, 0, 480, 2, 0);
    const TMatrix4<float> unit = N3D::NMatrix::Unit();

    // Blend mode, then the source and destination factors it sets.
    const long modes[][3] = {
        {N3D::BLENDMODE_ALPHA, N3D::BLEND_SRCALPHA, N3D::BLEND_INVSRCALPHA},
        {N3D::BLENDMODE_ADD, N3D::BLEND_ONE, N3D::BLEND_ONE},
        {N3D::BLENDMODE_NONE, N3D::BLEND_SRCCOLOR, N3D::BLEND_ZERO},
        {7, N3D::BLEND_SRCCOLOR, N3D::BLEND_ZERO},
    };
    for (const auto& mode : modes)
    {
        SCOPED_TRACE(mode[0]);
        device.Flag_Set(N3D::FLAG_DEPTHTEST, true);
        device.Mode_PrimaryColor(0.5f, 0.5f, 0.5f, 0.5f);
        device.Stream_Texture(7, u.m_VB, 7);

        u.SetBlend(N3D::BLENDMODE_ALPHA);
        u.SetTexture(-1);
        ASSERT_TRUE(u.Quad_Begin());
        u.Quad_Draw(320, 240, 64, 64);
        u.SetBlend(mode[0]);
        u.Quad_End();

        const N3D::CState& s = this->Draws().back().m_State;
        EXPECT_EQ(s.m_aFlags[N3D::FLAG_DEPTHTEST], 0);
        EXPECT_EQ(s.m_aFlags[N3D::FLAG_CULL], 0);
        EXPECT_NE(s.m_aFlags[N3D::FLAG_COLORWRITE], 0);
        EXPECT_EQ(s.m_aPrimaryColor[3], 1.0f);
        EXPECT_EQ(s.m_VertexStream, u.m_VB);
        EXPECT_EQ(s.m_ColorStream, u.m_VB);
        EXPECT_EQ(s.m_NormalStream, u.m_VB);
        EXPECT_EQ(s.m_IndexStream, -1);
        for (int unit = 0; unit < 6; ++unit)
        {
            EXPECT_EQ(s.m_aTextureStream[unit], u.m_VB);
            EXPECT_EQ(s.m_aTextureSet[unit], unit);
        }
        EXPECT_EQ(s.m_aTextureStream[7], -1);
        EXPECT_EQ(s.m_aTexture[0], -1);
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_EQ(s.m_Projection.m[i], ortho.m[i]);
            EXPECT_EQ(s.m_Model.m[i], unit.m[i]);
        }
        EXPECT_EQ(s.m_aFlags[N3D::FLAG_BLEND] != 0, mode[0] != N3D::BLENDMODE_NONE);
        EXPECT_EQ((long)s.m_BlendSrc, mode[1]);
        EXPECT_EQ((long)s.m_BlendDst, mode[2]);
    }
}

// A batch never writes past its buffer: what does not fit is drawn in a
// fresh batch with the same settings, and every quad and line arrives once,
// in order. A quad larger than the whole buffer is dropped.
TYPED_TEST_P(C2DUtilsTest, FullBatchIsDrawnAndContinuedInAFreshOne)
{
    using namespace NBatcherTest;
    this->InitUtils(14);   // two quads or seven lines per batch
    N3D::C2DUtils& u = this->m_Utils;
    u.SetTexture(-1);
    u.SetBlend(N3D::BLENDMODE_ADD);

    ASSERT_TRUE(u.Quad_Begin());
    for (int q = 0; q < 5; ++q)
        u.Quad_Draw(10.0f * (q + 1), 20, 2, 2);
    u.Quad_End();

    ASSERT_EQ(this->Draws().size(), 3u);
    const long counts[3] = {4, 4, 2};
    int quad = 0;
    for (int d = 0; d < 3; ++d)
    {
        const SCapturedDraw& draw = this->Draws()[d];
        EXPECT_EQ(draw.m_Prim, N3D::PRIM_TRIANGLES);
        EXPECT_EQ(draw.m_Count, counts[d]);
        EXPECT_EQ(draw.m_State.m_BlendSrc, N3D::BLEND_ONE);
        for (size_t i = 0; i < draw.m_lVertices.size(); i += 6, ++quad)
            ExpectPosition(draw.m_lVertices[i], 10.0f * (quad + 1) - 1, 19);
    }
    EXPECT_EQ(quad, 5);
    EXPECT_EQ(u.m_Mode, N3D::UTILS_READY);

    ASSERT_TRUE(u.Line_Begin());
    for (int l = 0; l < 8; ++l)
        u.Line_Draw(l, 0, l, 1);
    u.Line_End();
    ASSERT_EQ(this->Draws().size(), 5u);
    EXPECT_EQ(this->Draws()[3].m_Count, 7);
    EXPECT_EQ(this->Draws()[4].m_Count, 1);
    ExpectPosition(this->Draws()[4].m_lVertices[0], 7, 0);

    N3D::C2DUtils small;
    ASSERT_TRUE(small.Init(this->m_pDevice, 4));
    ASSERT_TRUE(small.Quad_Begin());
    small.Quad_Draw(10, 10, 2, 2);
    EXPECT_EQ(small.m_Vertices, 0);
    small.Quad_End();
    ASSERT_EQ(this->Draws().size(), 6u);
    EXPECT_EQ(this->Draws()[5].m_Count, 0);
}

// Init succeeds once; a lock that fails leaves the batcher ready, its draws
// ignored; LockVB reports a wrong mode in the log.
TYPED_TEST_P(C2DUtilsTest, InitOnceAndFailedLocks)
{
    N3D::C2DUtils& u = this->m_Utils;
    N3D::C2DUtils unbound;
    EXPECT_FALSE(unbound.Init(nullptr, 100));
    EXPECT_EQ(unbound.m_Mode, N3D::UTILS_NONE);

    this->InitUtils(60);
    long first = u.m_VB;
    EXPECT_FALSE(u.Init(this->m_pDevice, 60));
    EXPECT_EQ(u.m_VB, first);

    CLogCapture log;
    EXPECT_FALSE(unbound.LockVB(N3D::UTILS_QUADS));
    EXPECT_FALSE(u.LockVB(N3D::UTILS_READY));
    EXPECT_EQ(log.m_Text, "C2DUtils::LockVB: Errors mode\nC2DUtils::LockVB: Errors mode\n");
    EXPECT_EQ(u.m_Mode, N3D::UTILS_READY);

    // Someone else holds the buffer locked.
    ASSERT_NE(this->m_pDevice->LockVertexBuffer(u.m_VB, N3D::STREAM_ALL), nullptr);
    EXPECT_FALSE(u.Quad_Begin());
    EXPECT_EQ(u.m_Mode, N3D::UTILS_READY);
    u.Quad_Draw(1, 1, 1, 1);
    u.Quad_End();
    EXPECT_TRUE(this->Draws().empty());
    this->m_pDevice->UnlockVertexBuffer(u.m_VB, N3D::STREAM_ALL);

    ASSERT_TRUE(u.LockVB(N3D::UTILS_LINES));
    EXPECT_FALSE(u.LockVB(N3D::UTILS_LINES));
    u.Line_Draw(0, 0, 1, 1);
    u.UnlockVB();
    EXPECT_EQ(u.m_Mode, N3D::UTILS_READY);
    EXPECT_TRUE(this->Draws().empty());
}

REGISTER_TYPED_TEST_SUITE_P(C2DUtilsTest,
                            QuadWritesSixVerticesInCornerOrder,
                            HeldRotationIsBitExact,
                            BatchesDrawTheirPrimitiveCounts,
                            CallsOutsideTheirBatchChangeNothing,
                            EachBatchSetsTheWhole2DState,
                            FullBatchIsDrawnAndContinuedInAFreshOne,
                            InitOnceAndFailedLocks);

} // namespace NTest
} // namespace NVorn

#endif
