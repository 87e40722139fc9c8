// The OpenGL device's initialisation and resources, in a real window.
#include "DeviceFixture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <vector>

#include "image/Image.h"
#include "render/opengl/GLExt.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::DeviceTest;
using NVorn::NTest::ExpectIntegers;
using NVorn::NTest::GetInteger;

namespace
{

const bool g_bEnvironment = NTest::InstallDeviceEnvironment();

const char kAlreadyLocked[] = "opengl: Lock() called on a buffer that is already locked\n";
const char kVertexLocked[] = "opengl: warning, LockVertexBuffer called on a buffer that is locked\n";

} // namespace

TEST_F(DeviceTest, InitResolvesExtensionsAndPushesTheDefaultState)
{
    EXPECT_TRUE(m_pDevice->m_bMultitexture);
    EXPECT_TRUE(m_pDevice->m_bVertexProgram);
    ASSERT_EQ(m_pDevice->m_aShaderProfiles.m_Length, 1);
    EXPECT_TRUE(m_pDevice->m_aShaderProfiles[0] == "ARBvp1_0");
    // The whole extension list, however long, on a line of its own.
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    ASSERT_NE(extensions, nullptr);
    std::string log;
    for (const std::string& piece : m_Log.m_lLines)
        log += piece;
    EXPECT_NE(log.find(std::string("\nExtentions: ") + extensions + "\n"), std::string::npos);
    EXPECT_FALSE(m_Log.Has("opengl: ERROR!"));

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
    // The default push walks the units upwards, so the last one stays active.
    ExpectIntegers({ { GL_BLEND_SRC, GL_SRC_COLOR }, { GL_BLEND_DST, GL_ZERO }, { GL_FRONT_FACE, GL_CW },
                     { GL_STENCIL_FUNC, GL_EQUAL }, { GL_STENCIL_WRITEMASK, 0 },
                     { GL_ACTIVE_TEXTURE_ARB, GL_TEXTURE0_ARB + 7 } });
    ExpectNoGLError("state queries");
}

TEST_F(DeviceTest, TexturesHoldTheImageBytesForEveryWidth)
{
    struct SCase { long bits; long format; GLenum glFormat; };
    const SCase aCases[] = { { 8, 3, GL_LUMINANCE }, { 24, 0, GL_RGB }, { 32, 1, GL_RGBA } };
    for (const SCase& c : aCases)
    {
        for (long width : { 1L, 3L, 5L, 7L, 64L })
        {
            SCOPED_TRACE(testing::Message() << c.bits << " bits, width " << width);
            CImage image;
            ASSERT_TRUE(image.Create(TVector2<long>(width, 3), c.bits));
            long bytes = width * 3 * (c.bits / 8);
            for (long i = 0; i < bytes; ++i)
                image.m_pData[i] = static_cast<unsigned char>(i * 37 + 11);
            long handle = m_pDevice->CreateTexture(image);
            ASSERT_GE(handle, 0);

            STextureInfo info = m_pDevice->GetTextureInfo(handle);
            EXPECT_EQ(info.handle, handle);
            EXPECT_EQ(info.width, width);
            EXPECT_EQ(info.height, 3);
            EXPECT_EQ(info.format, c.format);

            std::vector<unsigned char> texels(bytes);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glGetTexImage(GL_TEXTURE_2D, 0, c.glFormat, GL_UNSIGNED_BYTE, texels.data());
            EXPECT_EQ(std::memcmp(texels.data(), image.m_pData, bytes), 0);
            ExpectNoGLError("upload and read-back");
            EXPECT_TRUE(m_pDevice->DestroyTexture(handle));
        }
    }
}

TEST_F(DeviceTest, RefusedTexturesUseNoHandle)
{
    long first = m_pDevice->CreateTexture(4, 4, 1);
    ASSERT_GE(first, 0);
    long entries = m_pDevice->m_IndexHandler.m_aIDs.m_Length;

    CImage image16, empty;
    ASSERT_TRUE(image16.Create(TVector2<long>(4, 4), 16));
    EXPECT_EQ(m_pDevice->CreateTexture(image16), -1);
    empty.m_Format = 32;
    EXPECT_EQ(m_pDevice->CreateTexture(empty), -1);

    // Sizes OpenGL rejects, sizes that cannot be sizes, and unknown formats.
    unsigned char pixels[16] = {};
    EXPECT_EQ(m_pDevice->Internal_CreateTexture(GetInteger(GL_MAX_TEXTURE_SIZE) * 2L, 1, 1, pixels), -1);
    EXPECT_EQ(m_pDevice->CreateTexture(-4, 4, 1), -1);
    EXPECT_EQ(m_pDevice->CreateTexture(1L << 40, 1L << 40, 1), -1);
    EXPECT_EQ(m_pDevice->CreateTexture(4, 4, 4), -1);
    EXPECT_EQ(m_pDevice->CreateTexture(4, 4, -1), -1);
    EXPECT_EQ(m_pDevice->m_IndexHandler.m_aIDs.m_Length, entries);
    glGetError();

    // The next texture gets the handle a refused one would have had; a
    // destroyed texture reports no size, even once its handle names a buffer.
    long second = m_pDevice->CreateTexture(8, 8, 2);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(m_pDevice->GetTextureInfo(second).format, 2);
    EXPECT_TRUE(m_pDevice->DestroyTexture(first));
    EXPECT_FALSE(m_pDevice->DestroyTexture(first));
    EXPECT_EQ(m_pDevice->GetTextureInfo(first).height, 0);
    EXPECT_EQ(m_pDevice->GetTextureInfo(-1).width, 0);
    EXPECT_EQ(m_pDevice->GetTextureInfo(999).width, 0);
    long vb = m_pDevice->CreateVertexBuffer(1, STREAM_POSITION, 0);
    EXPECT_EQ(vb, first);
    EXPECT_EQ(m_pDevice->GetTextureInfo(vb).width, 0);
    EXPECT_FALSE(m_pDevice->DestroyTexture(vb));
    ExpectNoGLError("texture handles");
}

TEST_F(DeviceTest, BuffersAllocateTheirStreamsAndTrackTheirLock)
{
    long handle = m_pDevice->CreateVertexBuffer(4, STREAM_POSITION | STREAM_TEXTURE0, 0);
    ASSERT_GE(handle, 0);
    CVertexBuffer* buffer = m_pDevice->LockVertexBuffer(handle, 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->m_Count, 4);
    ASSERT_NE(buffer->m_pPosition, nullptr);
    ASSERT_NE(buffer->m_apTexCoord[0], nullptr);
    EXPECT_EQ(buffer->m_pNormal, nullptr);
    EXPECT_EQ(buffer->m_pColor, nullptr);
    EXPECT_EQ(buffer->m_apTexCoord[1], nullptr);
    EXPECT_EQ(buffer->m_pPosition[3], TVector3<float>(0, 0, 0));

    // A second lock fails with both messages; a second unlock logs once.
    EXPECT_EQ(m_pDevice->LockVertexBuffer(handle, 0), nullptr);
    EXPECT_EQ(m_Log.Count(kAlreadyLocked), 1);
    EXPECT_EQ(m_Log.Count(kVertexLocked), 1);
    m_pDevice->UnlockVertexBuffer(handle, 0);
    m_pDevice->UnlockVertexBuffer(handle, 0);
    EXPECT_EQ(m_Log.Count("opengl: Unlock() called on a buffer that isn't locked\n"), 1);
    EXPECT_EQ(m_pDevice->LockVertexBuffer(handle, 0), buffer);
    m_pDevice->UnlockVertexBuffer(handle, 0);

    long indices = m_pDevice->CreateIndexBuffer(6, 0);
    CIndexBuffer* index = m_pDevice->LockIndexBuffer(indices);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->m_Count, 6);
    EXPECT_EQ(m_pDevice->LockIndexBuffer(indices), nullptr);
    EXPECT_EQ(m_Log.Count(kAlreadyLocked), 2);
    EXPECT_EQ(m_Log.Count(kVertexLocked), 1);
    m_pDevice->UnlockIndexBuffer(indices);

    // Handles of the wrong kind, or of nothing, name no buffer.
    EXPECT_EQ(m_pDevice->LockVertexBuffer(indices, 0), nullptr);
    EXPECT_EQ(m_pDevice->LockIndexBuffer(handle), nullptr);
    EXPECT_EQ(m_pDevice->LockVertexBuffer(-1, 0), nullptr);
    m_pDevice->UnlockIndexBuffer(12345);
    EXPECT_FALSE(m_pDevice->DestroyIndexBuffer(handle));
    EXPECT_FALSE(m_pDevice->DestroyVertexBuffer(indices));
    EXPECT_EQ(m_pDevice->CreateVertexBuffer(-1, 1, 0), -1);
    EXPECT_EQ(m_pDevice->CreateIndexBuffer(-1, 0), -1);

    // A locked buffer is destroyed all the same.
    ASSERT_NE(m_pDevice->LockVertexBuffer(handle, 0), nullptr);
    EXPECT_TRUE(m_pDevice->DestroyVertexBuffer(handle));
    EXPECT_TRUE(m_pDevice->DestroyIndexBuffer(indices));
    EXPECT_FALSE(m_pDevice->DestroyIndexBuffer(indices));
    EXPECT_EQ(m_pDevice->CreatePixelShader("anything"), -1);
    EXPECT_FALSE(m_pDevice->DestroyPixelShader(0));
}

TEST_F(DeviceTest, VertexProgramsCompileBindAndTakeParameters)
{
    long shader = m_pDevice->CreateVertexShader("!!ARBvp1.0\n"
                                                "PARAM offset = program.local[2];\n"
                                                "ADD result.position, vertex.position, offset;\n"
                                                "MOV result.color, vertex.color;\n"
                                                "END\n");
    ASSERT_GE(shader, 0);
    ExpectNoGLError("valid program");

    long entries = m_pDevice->m_IndexHandler.m_aIDs.m_Length;
    EXPECT_EQ(m_pDevice->CreateVertexShader("!!ARBvp1.0\nMOV result.position, vertex.position;\n"), -1);
    EXPECT_TRUE(m_Log.Has("opengl: Error creating vertex shader, "));
    EXPECT_EQ(m_pDevice->m_IndexHandler.m_aIDs.m_Length, entries);
    EXPECT_EQ(m_pDevice->CreateVertexShader(nullptr), -1);
    ExpectNoGLError("broken program");

    m_pDevice->Shader_Vertex(shader);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
    const TVector4<float> aValues[2] = { TVector4<float>(1, 2, 3, 4), TVector4<float>(5, 6, 7, 8) };
    m_pDevice->Shader_VertexParamFloat(2, aValues, 2);
    GLfloat read[4] = {};
    glextGetProgramLocalParameterfvARB(GL_VERTEX_PROGRAM_ARB, 3, read);
    EXPECT_EQ(read[0], 5.0f);
    EXPECT_EQ(read[3], 8.0f);

    m_pDevice->Shader_Vertex(-1);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
    EXPECT_TRUE(m_pDevice->DestroyVertexShader(shader));
    EXPECT_FALSE(m_pDevice->DestroyVertexShader(shader));
    ExpectNoGLError("binding");
}

namespace
{

const char* g_pHidden = nullptr;

void* HidingResolver(const char* name)
{
    return std::strcmp(name, g_pHidden) == 0 ? nullptr : GLExtInit_GetProcAddress(name);
}

// A device initialised again while one entry point is hidden from the lookup.
class IncompleteExtensionTest : public DeviceTest
{
protected:
    void Reinit(const char* hidden)
    {
        g_pHidden = hidden;
        GLExtInit_SetResolver(HidingResolver);
        m_pDevice->m_aShaderProfiles.Clear();
        m_pDevice->COpenGLDevice::Init(CMode());
    }

    void TearDown() override
    {
        GLExtInit_SetResolver(nullptr);
        GLExtInit_arb_multitexture();
        GLExtInit_arb_vertex_program();
        DeviceTest::TearDown();
    }
};

} // namespace

TEST_F(IncompleteExtensionTest, WithoutMultitextureOnlyUnitZeroIsUsed)
{
    Reinit("glActiveTextureARB");
    EXPECT_FALSE(m_pDevice->m_bMultitexture);
    EXPECT_EQ(glextActiveTextureARB, nullptr);
    EXPECT_TRUE(m_Log.Has("opengl: ERROR! ARB_multitexture extentions isn't present. "
                          "The device will not work without it.\n"));
    // Unit 7 was active before and the device can no longer move away from
    // it; select unit 0 as an application without the extension runs.
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);

    long texture = m_pDevice->CreateTexture(2, 2, 1);
    long buffer = m_pDevice->CreateVertexBuffer(3, STREAM_TEXTURE0 | STREAM_TEXTURE1, 0);
    m_pDevice->Texture_Set(0, texture);
    m_pDevice->Stream_Texture(0, buffer, 1);
    EXPECT_EQ(m_pDevice->m_aTextureSet[0], 1);

    // Other units are ignored: nothing recorded, unit 0 untouched.
    m_pDevice->Texture_Set(1, -1);
    m_pDevice->Stream_Texture(1, -1, -1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    m_pDevice->Texture_Set(3, texture);
    EXPECT_EQ(m_pDevice->m_aTexture[3], -1);
    m_pDevice->State_SetDefaults(true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GetInteger(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    ExpectNoGLError("unit 0 only");
}

TEST_F(IncompleteExtensionTest, WithoutVertexProgramsNoShaderIsMade)
{
    Reinit("glIsProgramARB");
    EXPECT_FALSE(m_pDevice->m_bVertexProgram);
    EXPECT_TRUE(m_pDevice->m_bMultitexture);
    EXPECT_EQ(m_pDevice->m_aShaderProfiles.m_Length, 0);
    EXPECT_FALSE(m_Log.Has("opengl: ERROR!"));
    EXPECT_EQ(m_pDevice->CreateVertexShader("!!ARBvp1.0\nEND\n"), -1);
    m_pDevice->Shader_Vertex(-1);
    ExpectNoGLError("no vertex programs");
}
