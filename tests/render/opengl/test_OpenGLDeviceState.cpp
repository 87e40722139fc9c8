// The OpenGL device's render-state setters and drawing, read back from
// OpenGL and from the pixels of a real window.
#include "DeviceFixture.h"
#include "LogCapture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "render/Matrix.h"
#include "render/opengl/GLExt.h"
#include "render/opengl/OpenGLTables.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::DeviceTest;
using NVorn::NTest::ExpectIntegers;
using NVorn::NTest::GetInteger;

namespace
{

const bool g_bEnvironment = NTest::InstallDeviceEnvironment();

std::vector<GLint> GetIntegers(GLenum name, int count)
{
    std::vector<GLint> values(count);
    glGetIntegerv(name, values.data());
    return values;
}

void* GetPointer(GLenum name)
{
    void* pointer = nullptr;
    glGetPointerv(name, &pointer);
    return pointer;
}

// Draws on a 640 x 480 target with pixel coordinates, top-left origin.
class DrawTest : public DeviceTest
{
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        m_pDevice->Flag_Set(FLAG_CULL, false);
        m_pDevice->Flag_Set(FLAG_DEPTHTEST, false);
        m_pDevice->Matrix_Projection(NMatrix::Ortho(0, 640, 0, 480, 2, 0));
        m_pDevice->Clear(CLEAR_COLOR);
    }

    long MakePositions(const std::vector<TVector2<float>>& points)
    {
        long handle = m_pDevice->CreateVertexBuffer(static_cast<long>(points.size()), STREAM_POSITION, 0);
        CVertexBuffer* buffer = m_pDevice->LockVertexBuffer(handle, 0);
        for (size_t i = 0; i < points.size(); ++i)
            buffer->m_pPosition[i] = TVector3<float>(points[i].x, points[i].y, -1);
        m_pDevice->UnlockVertexBuffer(handle, 0);
        return handle;
    }

    // Twenty-pixel squares with their top-left corners at (x, 100), in quad
    // order.
    long MakeSquares(std::initializer_list<float> lefts)
    {
        std::vector<TVector2<float>> points;
        for (float x : lefts)
            points.insert(points.end(), { { x, 100 }, { x + 20, 100 }, { x + 20, 120 }, { x, 120 } });
        return MakePositions(points);
    }

    bool Lit(int x, int y) { return Pixel(x, y)[0] > 128; }
};

} // namespace

TEST_F(DeviceTest, FlagsReachOpenGLAndAreRecorded)
{
    const std::pair<long, GLenum> aCapabilities[] = {
        { FLAG_BLEND, GL_BLEND }, { FLAG_CULL, GL_CULL_FACE },
        { FLAG_DEPTHTEST, GL_DEPTH_TEST }, { FLAG_STENCILTEST, GL_STENCIL_TEST },
    };
    for (bool on : { true, false })
    {
        for (const auto& c : aCapabilities)
        {
            m_pDevice->Flag_Set(c.first, on);
            EXPECT_EQ(glIsEnabled(c.second) != 0, on) << c.first;
            EXPECT_EQ(m_pDevice->m_aFlags[c.first] != 0, on) << c.first;
        }
    }

    m_pDevice->Flag_Set(FLAG_STENCILWRITE, true);
    EXPECT_EQ(GetInteger(GL_STENCIL_WRITEMASK) & 0xFF, 0xFF);
    m_pDevice->Flag_Set(FLAG_STENCILWRITE, false);
    m_pDevice->Flag_Set(FLAG_DEPTHWRITE, false);
    ExpectIntegers({ { GL_STENCIL_WRITEMASK, 0 }, { GL_DEPTH_WRITEMASK, GL_FALSE } });
    m_pDevice->Flag_Set(FLAG_DEPTHWRITE, true);
    EXPECT_EQ(GetInteger(GL_DEPTH_WRITEMASK), GL_TRUE);

    // The colour-write flag masks all four channels but leaves the recorded
    // channel mask alone.
    m_pDevice->Mode_WriteMask(true, false, true, false);
    EXPECT_EQ(GetIntegers(GL_COLOR_WRITEMASK, 4), (std::vector<GLint>{ 1, 0, 1, 0 }));
    m_pDevice->Flag_Set(FLAG_COLORWRITE, false);
    EXPECT_EQ(GetIntegers(GL_COLOR_WRITEMASK, 4), (std::vector<GLint>{ 0, 0, 0, 0 }));
    EXPECT_TRUE(m_pDevice->m_aWriteMask[0]);
    EXPECT_FALSE(m_pDevice->m_aWriteMask[1]);
    m_pDevice->Flag_Set(FLAG_COLORWRITE, true);
    EXPECT_EQ(GetIntegers(GL_COLOR_WRITEMASK, 4), (std::vector<GLint>{ 1, 1, 1, 1 }));

    m_pDevice->Flag_Set(7, true);
    m_pDevice->Flag_Set(-1, true);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    ExpectNoGLError("flags");
}

TEST_F(DeviceTest, ModesTranslateThroughTheirTables)
{
    // The engine orders some values differently from OpenGL: destination
    // colour before destination alpha, less-or-equal before greater.
    m_pDevice->Mode_BlendFunc(BLEND_DSTCOLOR, BLEND_INVDSTALPHA);
    ExpectIntegers({ { GL_BLEND_SRC, GL_DST_COLOR }, { GL_BLEND_DST, GL_ONE_MINUS_DST_ALPHA } });
    m_pDevice->Mode_DepthTest(TEST_LESSEQUAL);
    EXPECT_EQ(GetInteger(GL_DEPTH_FUNC), GL_LEQUAL);

    // Reference and mask reach OpenGL whole; the record keeps 8 bits.
    m_pDevice->Mode_StencilFunc(TEST_NOTEQUAL, 300, 511);
    ExpectIntegers({ { GL_STENCIL_FUNC, GL_NOTEQUAL }, { GL_STENCIL_VALUE_MASK, 511 } });
    EXPECT_EQ(m_pDevice->m_StencilRef, 44u);
    EXPECT_EQ(m_pDevice->m_StencilMask, 255u);

    m_pDevice->Mode_BlendFunc(BLEND_DSTALPHA, BLEND_INVSRCCOLOR);
    m_pDevice->Mode_DepthTest(TEST_GREATEREQUAL);
    m_pDevice->Mode_StencilFunc(TEST_ALWAYS, 0, 255);
    m_pDevice->Mode_StencilOp(STENCILOP_INVERT, STENCILOP_REPLACE, STENCILOP_DECR);
    m_pDevice->Mode_Cull(CULL_CCW);
    EXPECT_EQ(GetInteger(GL_FRONT_FACE), GL_CCW);
    m_pDevice->Mode_Cull(CULL_CW);
    m_pDevice->Mode_PrimaryColor(0.25f, 0.5f, 0.75f, 1.0f);
    const std::initializer_list<std::pair<GLenum, GLint>> last = {
        { GL_BLEND_SRC, GL_DST_ALPHA }, { GL_BLEND_DST, GL_ONE_MINUS_SRC_COLOR },
        { GL_DEPTH_FUNC, GL_GEQUAL }, { GL_STENCIL_FUNC, GL_ALWAYS },
        { GL_STENCIL_FAIL, GL_INVERT }, { GL_STENCIL_PASS_DEPTH_FAIL, GL_REPLACE },
        { GL_STENCIL_PASS_DEPTH_PASS, GL_DECR }, { GL_FRONT_FACE, GL_CW },
        { GL_CULL_FACE_MODE, GL_BACK },
    };
    ExpectIntegers(last);
    GLfloat color[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 0.5f);
    ExpectNoGLError("modes");

    // Values outside a table are refused: OpenGL and the record keep the
    // last good value.
    m_pDevice->Mode_BlendFunc(BLEND_COUNT, 0);
    m_pDevice->Mode_BlendFunc(0, -1);
    m_pDevice->Mode_DepthTest(TEST_COUNT);
    m_pDevice->Mode_Cull(2);
    m_pDevice->Mode_StencilFunc(-3, 0, 0);
    m_pDevice->Mode_StencilOp(0, 6, 0);
    ExpectIntegers(last);
    EXPECT_EQ(m_pDevice->m_BlendSrc, BLEND_DSTALPHA);
    EXPECT_EQ(m_pDevice->m_DepthTest, static_cast<uint32_t>(TEST_GREATEREQUAL));
    EXPECT_EQ(NOpenGL::PrimToOGL(PRIM_COUNT, 5), 0);
    ExpectNoGLError("refused values");
}

TEST_F(DeviceTest, StreamsPointIntoTheBuffersAndUnbindWhenTheyGo)
{
    long full = m_pDevice->CreateVertexBuffer(4, STREAM_POSITION | STREAM_NORMAL | STREAM_COLOR |
                                                     STREAM_TEXTURE0 | STREAM_TEXTURE3, 0);
    long bare = m_pDevice->CreateVertexBuffer(4, STREAM_TEXTURE0, 0);
    long indices = m_pDevice->CreateIndexBuffer(12, 0);
    CVertexBuffer* buffer = m_pDevice->LockVertexBuffer(full, 0);
    m_pDevice->UnlockVertexBuffer(full, 0);

    m_pDevice->Stream_Set(full, STREAM_POSITION | STREAM_NORMAL | STREAM_COLOR);
    EXPECT_EQ(GetPointer(GL_VERTEX_ARRAY_POINTER), buffer->m_pPosition);
    EXPECT_EQ(GetPointer(GL_NORMAL_ARRAY_POINTER), buffer->m_pNormal);
    EXPECT_EQ(GetPointer(GL_COLOR_ARRAY_POINTER), buffer->m_pColor);
    EXPECT_EQ(GetInteger(GL_COLOR_ARRAY_SIZE), 4);
    // A buffer without positions disables the array but is still recorded.
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    m_pDevice->Stream_Vertex(bare);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_EQ(m_pDevice->m_VertexStream, bare);

    // Unit 1 reads set 3; a set the buffer lacks disables the array.
    m_pDevice->Stream_Texture(1, full, 3);
    ExpectIntegers({ { GL_ACTIVE_TEXTURE_ARB, GL_TEXTURE1_ARB }, { GL_CLIENT_ACTIVE_TEXTURE_ARB, GL_TEXTURE1_ARB } });
    EXPECT_EQ(GetPointer(GL_TEXTURE_COORD_ARRAY_POINTER), buffer->m_apTexCoord[3]);
    m_pDevice->Stream_Texture(2, full, 5);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    m_pDevice->Stream_Texture(8, full, 0);   // no such unit
    EXPECT_EQ(GetInteger(GL_CLIENT_ACTIVE_TEXTURE_ARB), GL_TEXTURE2_ARB);
    long texture = m_pDevice->CreateTexture(4, 4, 0);
    m_pDevice->Texture_Set(2, texture);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    m_pDevice->Texture_Set(0, -1);
    EXPECT_EQ(GetInteger(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Destroying buffers that streams read leaves no array pointing at
    // freed memory.
    m_pDevice->Stream_Index(indices);
    EXPECT_NE(m_pDevice->m_pIndexData, nullptr);
    EXPECT_TRUE(m_pDevice->DestroyVertexBuffer(full));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(m_pDevice->m_NormalStream, -1);
    EXPECT_EQ(m_pDevice->m_aTextureStream[1], -1);
    EXPECT_EQ(m_pDevice->m_VertexStream, bare);
    glextClientActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_TRUE(m_pDevice->DestroyIndexBuffer(indices));
    EXPECT_EQ(m_pDevice->m_pIndexData, nullptr);
    EXPECT_EQ(m_pDevice->m_IndexStream, -1);
    ExpectNoGLError("streams");
}

TEST_F(DeviceTest, ClearViewportAndMatrices)
{
    const float aClear[4] = { 1.0f, 0.5f, 0.0f, 1.0f };
    std::copy(aClear, aClear + 4, m_pDevice->m_aClearColor);
    m_pDevice->m_ClearDepth = 0.25f;
    m_pDevice->m_ClearStencil = 7;
    m_pDevice->Clear(0);
    EXPECT_NE(Pixel(10, 10)[0], 255);
    m_pDevice->Clear(CLEAR_COLOR | CLEAR_DEPTH | CLEAR_STENCIL);
    EXPECT_EQ(GetInteger(GL_STENCIL_CLEAR_VALUE), 7);
    EXPECT_EQ(Pixel(10, 10), (std::vector<unsigned char>{ 255, 128, 0, 255 }));
    GLfloat stored = 0;
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &stored);
    EXPECT_NEAR(stored, 0.25f, 1e-3);

    // y counts from the top of the 480-pixel target.
    m_pDevice->SetViewport(10, 20, 100, 50);
    EXPECT_EQ(GetIntegers(GL_VIEWPORT, 4), (std::vector<GLint>{ 10, 410, 100, 50 }));

    m_pDevice->Matrix_Model(NMatrix::Translation(1, 2, 3));
    m_pDevice->Matrix_Projection(NMatrix::Scale(2, 3, 4));
    GLfloat model[16] = {}, projection[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(model[13], 2.0f);
    EXPECT_EQ(projection[5], 3.0f);
    ExpectNoGLError("clear and viewport");
}

TEST_F(DrawTest, DrawUsesTheVertexCountOfItsPrimitives)
{
    // Six squares in a row; quads 2 to 4 are vertices 8 to 19.
    long quads = MakeSquares({ 10, 50, 90, 130, 170, 210 });
    m_pDevice->Stream_Vertex(quads);
    m_pDevice->Draw(PRIM_QUADS, 8, 3);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Lit(40 * i + 20, 110), i >= 2 && i <= 4) << "quad " << i;

    // A strip of two triangles takes four vertices: the fifth would add a
    // third triangle to the right.
    m_pDevice->Clear(CLEAR_COLOR);
    long strip = MakePositions({ { 10, 200 }, { 10, 240 }, { 50, 200 }, { 50, 240 }, { 90, 200 } });
    m_pDevice->Stream_Vertex(strip);
    m_pDevice->Draw(PRIM_TRIANGLESTRIP, 0, 2);
    EXPECT_TRUE(Lit(20, 230));
    EXPECT_TRUE(Lit(40, 205));
    EXPECT_FALSE(Lit(60, 205));
    m_pDevice->Draw(PRIM_LINESTRIP, 0, 0);

    // Ranges past the enabled arrays, negative ranges and unknown types
    // draw nothing.
    m_pDevice->Clear(CLEAR_COLOR);
    m_pDevice->Draw(PRIM_TRIANGLESTRIP, 0, 4);
    m_pDevice->Draw(PRIM_TRIANGLES, -1, 1);
    m_pDevice->Draw(PRIM_COUNT, 0, 1);
    m_pDevice->Stream_Vertex(quads);
    m_pDevice->Draw(PRIM_QUADS, 4, 6);
    EXPECT_FALSE(Lit(20, 230));
    EXPECT_FALSE(Lit(60, 110));
    EXPECT_FALSE(m_Log.Has("opengl: "));
    ExpectNoGLError("draws");
}

TEST_F(DrawTest, DrawIndexedStartsAtItsFirstIndex)
{
    long vertices = MakeSquares({ 10, 100 });
    long handle = m_pDevice->CreateIndexBuffer(12, 0);
    CIndexBuffer* indices = m_pDevice->LockIndexBuffer(handle);
    const uint16_t aIndices[12] = { 0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7 };
    std::copy(aIndices, aIndices + 12, indices->m_pIndices);
    m_pDevice->UnlockIndexBuffer(handle);

    // Without an index stream nothing is drawn and nothing logged.
    m_pDevice->Stream_Vertex(vertices);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 6, 2);
    EXPECT_FALSE(Lit(105, 115));

    m_pDevice->Stream_Index(handle);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 6, 2);
    EXPECT_FALSE(Lit(20, 110));
    EXPECT_TRUE(Lit(105, 115));
    EXPECT_TRUE(Lit(115, 105));

    // Past either end of the indices nothing is drawn.
    m_pDevice->Clear(CLEAR_COLOR);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 6, 3);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, -3, 1);
    m_pDevice->Stream_Index(-1);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 0, 2);
    EXPECT_FALSE(Lit(20, 110));
    EXPECT_FALSE(Lit(105, 115));
    EXPECT_FALSE(m_Log.Has("opengl: "));
    ExpectNoGLError("indexed draws");
}

TEST_F(DrawTest, GrabCopiesTheTopLeftCorner)
{
    // A white square at pixels (0..9, 0..9) from the top left, the rest
    // black; the texture's row 0 is OpenGL's bottom row of the copied area.
    m_pDevice->Stream_Vertex(MakePositions({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }));
    m_pDevice->Draw(PRIM_QUADS, 0, 1);

    long texture = m_pDevice->CreateTexture(256, 256, 1);
    ASSERT_TRUE(m_pDevice->Grab(texture, GRAB_COLOR));
    std::vector<unsigned char> texels(256 * 256 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto at = [&](int x, int row) { return texels[(row * 256 + x) * 4]; };
    EXPECT_EQ(at(0, 255), 255);
    EXPECT_EQ(at(9, 246), 255);
    EXPECT_EQ(at(10, 255), 0);
    EXPECT_EQ(at(0, 245), 0);
    EXPECT_EQ(at(0, 0), 0);

    long tall = m_pDevice->CreateTexture(16, 512, 1);
    EXPECT_TRUE(m_pDevice->Grab(tall, GRAB_COLOR));
    EXPECT_FALSE(m_pDevice->Grab(tall, 3));
    EXPECT_FALSE(m_pDevice->Grab(-1, GRAB_COLOR));
    // An error left by an earlier call makes the grab fail.
    glEnable(0xFFFF);
    EXPECT_FALSE(m_pDevice->Grab(texture, GRAB_COLOR));
    ExpectNoGLError("grab");
}

TEST_F(DeviceTest, CheckPointerWarnsOfEnabledNullArrays)
{
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    NTest::CLogCapture log;
    NOpenGL::CheckPointer(GL_NORMAL_ARRAY_POINTER, GL_NORMAL_ARRAY, "normal array");
    NOpenGL::CheckPointer(GL_COLOR_ARRAY_POINTER, GL_COLOR_ARRAY, "color array");
    EXPECT_EQ(log.m_Text, "opengl: warning, normal array is enabled and has a null pointer\n");
    glDisableClientState(GL_NORMAL_ARRAY);
}
