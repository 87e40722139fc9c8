// The OpenGL device on SDL in a real window: state read back from OpenGL,
// drawing from the pixels, the 2D batcher's quads and lines as pixels, the
// display modes, the window and the per-frame event handling, with events
// pushed into SDL's queue.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "core/Core.h"
#include "core/Message.h"
#include "image/Image.h"
#include "render/Matrix.h"
#include "render/opengl/GLExt.h"
#include "render/opengl/OpenGLTables.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;
using namespace NVorn::N3D;

extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; } // huge requests fail

namespace
{

// SDL's video subsystem and one core for the program; per test a fresh
// device with a 640 x 480 window and its context current.
class DeviceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Held, SDL's D-Bus library stays mapped until exit, so that the leak
        // report can still name it (see tests/lsan.supp); so does Mesa's
        // software driver: each device unloads it, and the blocks it keeps
        // would then show as leaks of an unknown module.
        dlopen("libdbus-1.so.3", RTLD_NOW);
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        new NCore::CCore;
    }

    static void TearDownTestSuite()
    {
        delete NCore::m_pCore;
        SDL_Quit();
    }

    void SetUp() override
    {
        // Messages and quit requests left by an earlier test are not this one's.
        while (NCore::m_pCore->GotMessages())
            NCore::m_pCore->DiscardCurrentMessage();
        g_QuitRequest = 0;
        m_pDevice = new COpenGLDevice_SDL;
        ASSERT_TRUE(m_pDevice->Init(CMode(640, 480, false, 0)));
    }

    void TearDown() override
    {
        m_pDevice->ClearAllAllocatedIndexes(), m_pDevice->Shutdown(), delete m_pDevice;
    }

    // One pixel of the back buffer as RGBA bytes, y counted from the top.
    std::vector<unsigned char> Pixel(int x, int y)
    {
        std::vector<unsigned char> rgba(4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, 479 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    // Streams 20-pixel squares at (x, 100) on a 640 x 480 target, top-left
    // origin, and clears the log.
    void StreamSquares(std::initializer_list<float> lefts)
    {
        m_pDevice->Flag_Set(FLAG_CULL, false), m_pDevice->Flag_Set(FLAG_DEPTHTEST, false);
        m_pDevice->Matrix_Projection(NMatrix::Ortho(0, 640, 0, 480, 2, 0));
        m_pDevice->Clear(CLEAR_COLOR);
        m_Log.m_Text.clear();
        long handle = m_pDevice->CreateVertexBuffer(4 * static_cast<long>(lefts.size()), STREAM_POSITION, 0);
        TVector3<float>* corner = m_pDevice->LockVertexBuffer(handle, 0)->m_pPosition;
        for (float x : lefts)
        {
            const float aCorners[4][2] = { { x, 100 }, { x + 20, 100 }, { x + 20, 120 }, { x, 120 } };
            for (const float* at : aCorners)
                *corner++ = TVector3<float>(at[0], at[1], -1);
        }
        m_pDevice->UnlockVertexBuffer(handle, 0);
        m_pDevice->Stream_Vertex(handle);
    }

    bool Lit(int x, int y) { return Pixel(x, y)[0] > 128; }

    // Pixels as "x,y=r,g,b" with each channel rounded to a multiple of 8, so
    // that a rasteriser's last bit does not count.
    std::string Pixels(std::initializer_list<std::pair<int, int>> at)
    {
        std::string text;
        for (const auto& p : at)
        {
            std::vector<unsigned char> c = Pixel(p.first, p.second);
            text += (text.empty() ? "" : " ") + std::to_string(p.first) + "," + std::to_string(p.second) + "=";
            for (int i = 0; i < 3; ++i)
                text += std::to_string((c[i] + 4) / 8 * 8) + (i < 2 ? "," : "");
        }
        return text;
    }

    NTest::CLogCapture m_Log;
    COpenGLDevice_SDL* m_pDevice = nullptr;
};

typedef std::vector<int> Ints;

// The first value of each integer state named.
Ints Read(std::initializer_list<GLenum> names)
{
    Ints values;
    for (GLenum name : names)
    {
        GLint value[4] = {};
        glGetIntegerv(name, value);
        values.push_back(value[0]);
    }
    return values;
}

const char* g_pHidden = "";

// An OpenGL library that lacks the one name in g_pHidden.
void* HidingResolver(const char* name)
{
    return std::strcmp(name, g_pHidden) == 0 ? nullptr : GLExtInit_GetProcAddress(name);
}

const char kBadIndex[] = "opengl: warning, DrawIndexed called with an index past the vertex arrays, nothing drawn\n";

typedef std::vector<std::vector<int>> Messages;

Messages TakeMessages()
{
    Messages messages;
    while (NCore::CMessage* m = NCore::m_pCore->GetCurrentMessage())
    {
        messages.push_back({ m->m_Type, m->m_aParam[0], m->m_aParam[1] });
        NCore::m_pCore->DiscardCurrentMessage();
    }
    return messages;
}

void Push(Uint32 type, Uint32 window, Uint8 windowEvent = 0)
{
    SDL_Event event = {};
    event.type = type;
    event.window.windowID = window;
    event.window.event = windowEvent;
    event.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&event);
}

// Hands the input focus to window and waits until SDL has seen it arrive at
// device, or leave it.
bool Focus(SDL_Window* window, SDL_Window* device)
{
    SDL_SetWindowInputFocus(window);
    for (int i = 0; i < 100; ++i)
    {
        SDL_PumpEvents();
        if (((SDL_GetWindowFlags(device) & SDL_WINDOW_INPUT_FOCUS) != 0) == (window == device))
            return true;
        SDL_Delay(10);
    }
    return false;
}

} // namespace

// The engine library is linked in statically, so this takes the place of
// SDL's function for the device: a call to it would be a cap of its own.
int g_SwapIntervalCalls = 0;
extern "C" int SDL_GL_SetSwapInterval(int)
{
    ++g_SwapIntervalCalls;
    return 0;
}

TEST_F(DeviceTest, InitPushesTheDefaultStateAndDoesWithoutMissingExtensions)
{
    EXPECT_TRUE(m_pDevice->m_aShaderProfiles.m_Length == 1 && m_pDevice->m_aShaderProfiles[0] == "ARBvp1_0");
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    EXPECT_NE(m_Log.m_Text.find(std::string("\nExtentions: ") + extensions + "\n"), std::string::npos);
    EXPECT_EQ(Read({ GL_CULL_FACE, GL_BLEND_SRC, GL_STENCIL_FUNC, GL_ACTIVE_TEXTURE_ARB }),
              (Ints{ 1, GL_SRC_COLOR, GL_EQUAL, GL_TEXTURE0_ARB + 7 }));

    GLExtInit_SetResolver(HidingResolver);
    g_pHidden = "glVertexAttrib1sARB";
    m_pDevice->m_aShaderProfiles.Clear();
    EXPECT_TRUE(m_pDevice->COpenGLDevice::Init(CMode()));
    EXPECT_TRUE(!m_pDevice->m_bVertexProgram && m_pDevice->m_bMultitexture && !m_pDevice->m_aShaderProfiles.m_Length);
    EXPECT_EQ(m_pDevice->CreateVertexShader("!!ARBvp1.0\nEND\n"), -1);
    EXPECT_FALSE(m_Log.Count("opengl: ERROR!") || GLExtInit_GetProcAddress("glNoSuchFunctionARB"));
    g_pHidden = "glActiveTextureARB";
    m_pDevice->COpenGLDevice::Init(CMode());
    EXPECT_TRUE(!m_pDevice->m_bMultitexture && m_pDevice->m_bVertexProgram && glextMultiTexCoord4svARB);
    EXPECT_EQ(m_Log.Count("opengl: ERROR! ARB_multitexture extentions isn't present. "
                          "The device will not work without it.\n"), 1);
    // Unit 7 stays active, out of the device's reach now.
    glActiveTexture(GL_TEXTURE0);
    m_pDevice->Texture_Set(0, m_pDevice->CreateTexture(2, 2, 1));
    m_pDevice->Texture_Set(1, -1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && m_pDevice->m_aTexture[1] == -1);
    GLExtInit_SetResolver(nullptr);
}

TEST_F(DeviceTest, TexturesHoldTheirBytesAndRefusedOnesUseNoHandle)
{
    CImage image, image16, empty;
    ASSERT_TRUE(image.Create(TVector2<long>(3, 2), 8) && image16.Create(TVector2<long>(4, 4), 16));
    for (long i = 0; i < 6; ++i)
        image.m_pData[i] = static_cast<unsigned char>(i * 37 + 11);
    STextureInfo info = m_pDevice->GetTextureInfo(m_pDevice->CreateTexture(image));
    EXPECT_EQ(Ints({ info.handle, info.width, info.height, info.format }), Ints({ 0, 3, 2, 3 }));
    unsigned char texels[6] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(std::memcmp(texels, image.m_pData, 6), 0);
    EXPECT_TRUE(m_pDevice->DestroyTexture(0) && !m_pDevice->DestroyTexture(0) && !Read({ GL_TEXTURE_BINDING_2D })[0]);
    empty.m_Format = 32;
    unsigned char pixels[16] = {};
    for (long refused : { m_pDevice->CreateTexture(image16), m_pDevice->CreateTexture(empty),
                          m_pDevice->Internal_CreateTexture(Read({ GL_MAX_TEXTURE_SIZE })[0] * 2L, 1, 1, pixels),
                          m_pDevice->Internal_CreateTexture((1L << 32) + 1, 1, 1, pixels),
                          m_pDevice->CreateTexture(-4, 4, 1), m_pDevice->CreateTexture(4, -4, 1),
                          m_pDevice->CreateTexture(1L << 40, 1L << 40, 1), m_pDevice->CreateTexture(4, 4, 4),
                          m_pDevice->CreateTexture(4, 4, -1) })
        EXPECT_EQ(refused - glIsTexture(1) - glIsTexture(2), -1);   // names of refused textures are given back
    glEnable(0);   // an error left from before does not refuse the next texture
    EXPECT_EQ(m_pDevice->CreateTexture(8, 8, 2), 0);
    EXPECT_EQ(Ints({ m_pDevice->GetTextureInfo(0).format, int(m_pDevice->CreateTexture(2, 0, 1)) }), Ints({ 2, 1 }));
    EXPECT_EQ(m_pDevice->GetTextureInfo(2).width + m_pDevice->GetTextureInfo(2).height, 0);
    m_pDevice->Texture_Set(0, 0), m_pDevice->Texture_Set(8, 1);   // texture 0, not the last; no unit 8
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(Ints({ int(glGetError()), width, int(m_pDevice->m_aTexture[0]) }), Ints({ GL_NO_ERROR, 8, 0 }));
}

TEST_F(DeviceTest, BuffersAndProgramsTrackTheirLockAndTheirOwnHandles)
{
    m_Log.m_Text.clear();
    long vertices = m_pDevice->CreateVertexBuffer(4, STREAM_NORMAL | STREAM_TEXTURE7, 0);
    CVertexBuffer* buffer = m_pDevice->LockVertexBuffer(vertices, 0);
    EXPECT_EQ(Ints({ int(buffer->m_Count), int(buffer->What()) }), Ints({ 4, STREAM_NORMAL | STREAM_TEXTURE7 }));
    EXPECT_EQ(m_pDevice->LockVertexBuffer(vertices, 0), nullptr);
    m_pDevice->UnlockVertexBuffer(vertices, 0), m_pDevice->UnlockVertexBuffer(vertices, 0);   // the second only logs
    EXPECT_EQ(m_pDevice->LockVertexBuffer(vertices, 0), buffer);
    long indices = m_pDevice->CreateIndexBuffer(6, 0);
    EXPECT_EQ(m_pDevice->LockIndexBuffer(indices)->m_Count, 6);
    EXPECT_EQ(m_pDevice->LockIndexBuffer(indices), nullptr);
    EXPECT_EQ(m_Log.m_Text, "opengl: Lock() called on a buffer that is already locked\n"
                            "opengl: warning, LockVertexBuffer called on a buffer that is locked\n"
                            "opengl: Unlock() called on a buffer that isn't locked\n"
                            "opengl: Lock() called on a buffer that is already locked\n");
    m_pDevice->UnlockIndexBuffer(indices);
    EXPECT_NE(m_pDevice->LockIndexBuffer(indices), nullptr);
    EXPECT_FALSE(m_pDevice->LockVertexBuffer(indices, 0) || m_pDevice->LockIndexBuffer(vertices));
    EXPECT_FALSE(m_pDevice->DestroyIndexBuffer(vertices) || m_pDevice->DestroyVertexBuffer(indices));
    long refused = m_pDevice->CreateVertexBuffer(-1, 1, 0) + m_pDevice->CreateIndexBuffer(-1, 0) +
                   m_pDevice->CreateVertexBuffer(LONG_MAX, STREAM_COLOR, 0) + m_pDevice->CreateIndexBuffer(LONG_MAX, 0);
    for (long format : { STREAM_TEXTURE3, STREAM_POSITION, STREAM_NORMAL, STREAM_COLOR }) // more than memory holds
        refused += m_pDevice->CreateVertexBuffer(LONG_MAX / 16, format, 0) + m_pDevice->CreateIndexBuffer(LONG_MAX / 16, 0);
    EXPECT_EQ(Ints({ int(refused), m_pDevice->CreateVertexBuffer(long(0), -1, 0) >= 0 }), Ints({ -12, 1 })); // an empty one is one
    EXPECT_TRUE(m_pDevice->DestroyVertexBuffer(vertices) && m_pDevice->DestroyIndexBuffer(indices));
    EXPECT_FALSE(m_pDevice->DestroyVertexBuffer(vertices) || m_pDevice->DestroyIndexBuffer(indices));
    EXPECT_FALSE(m_pDevice->CreatePixelShader("anything") != -1 || m_pDevice->DestroyPixelShader(0));

    const char* kProgram = "!!ARBvp1.0\nPARAM offset = program.local[2];\nADD result.position, vertex.position, offset;\nEND\n";
    long shader = (glEnable(0xFFFF), m_pDevice->CreateVertexShader(kProgram));   // an error left by an earlier call does not fail it
    EXPECT_EQ(m_pDevice->CreateVertexShader("!!ARBvp1.0\nMOV result.position, vertex.position;\n"), -1);
    EXPECT_TRUE(m_Log.Count("opengl: Error creating vertex shader, ") == 1 &&
                m_Log.m_Text.find("shader, -1") == std::string::npos) << "with the driver's error position";
    EXPECT_TRUE(m_pDevice->CreateVertexShader(nullptr) == -1 && m_pDevice->m_IndexHandler.m_aFree.m_Length == 1);
    m_pDevice->Shader_Vertex(shader), m_pDevice->Shader_Pixel(3);
    const TVector4<float> aValues[2] = { TVector4<float>(1, 2, 3, 4), TVector4<float>(5, 6, 7, 8) };
    m_pDevice->Shader_VertexParamFloat(2, aValues, 2), m_pDevice->Shader_VertexParamFloat(3, nullptr, 1);
    GLint bound = 0, length = 0;
    GLfloat read[8] = {};
    glextGetProgramivARB(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_BINDING_ARB, &bound);
    glextGetProgramivARB(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_LENGTH_ARB, &length);
    glextGetProgramLocalParameterfvARB(GL_VERTEX_PROGRAM_ARB, 2, read), glextGetProgramLocalParameterfvARB(GL_VERTEX_PROGRAM_ARB, 3, read + 4);
    EXPECT_EQ(std::vector<float>({ read[0], read[3], read[4], read[7], float(glIsEnabled(GL_VERTEX_PROGRAM_ARB)) }),
              std::vector<float>({ 1, 4, 5, 8, 1 }));
    const GLuint program = static_cast<NOpenGL::SVertexShader*>(m_pDevice->m_IndexHandler.m_aIDs[shader].m_pData)->glProgram;
    EXPECT_TRUE(GLuint(bound) == program && size_t(length) == strlen(kProgram) && m_pDevice->m_VertexShader == shader &&
                m_pDevice->m_PixelShader == 3 && glextIsProgramARB(program));
    EXPECT_FALSE(glextIsProgramARB(program + 1)); // the refused program's name is given back
    EXPECT_FALSE((m_pDevice->Shader_Vertex(-1), glIsEnabled(GL_VERTEX_PROGRAM_ARB))); // unbound
    EXPECT_TRUE(m_pDevice->DestroyVertexShader(shader) && !m_pDevice->DestroyVertexShader(shader));
    EXPECT_FALSE(glextIsProgramARB(program));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The engine orders destination colour before destination alpha and
// less-or-equal before greater; values outside a table are refused, and
// OpenGL and the record keep the last good value.
TEST_F(DeviceTest, ModesReachOpenGLThroughTheirTables)
{
    m_pDevice->Mode_WriteMask(true, false, true, false);
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_EQ(Ints({ mask[0], mask[1], m_pDevice->m_aWriteMask[0], m_pDevice->m_aWriteMask[1] }), Ints({ 1, 0, 1, 0 }));
    m_pDevice->Mode_BlendFunc(BLEND_DSTCOLOR, BLEND_INVDSTALPHA);
    m_pDevice->Mode_DepthTest(TEST_LESSEQUAL);
    m_pDevice->Mode_StencilFunc(TEST_NOTEQUAL, 300, 511);
    m_pDevice->Mode_StencilOp(STENCILOP_INVERT, STENCILOP_REPLACE, STENCILOP_DECR);
    m_pDevice->Mode_Cull(CULL_CCW), m_pDevice->Mode_PrimaryColor(0, 1, 0, 1);
    for (int refused = 0; refused < 2; ++refused)
    {
        EXPECT_EQ(Read({ GL_BLEND_SRC, GL_BLEND_DST, GL_DEPTH_FUNC, GL_STENCIL_FUNC, GL_STENCIL_VALUE_MASK,
                         GL_STENCIL_FAIL, GL_STENCIL_PASS_DEPTH_FAIL, GL_STENCIL_PASS_DEPTH_PASS, GL_FRONT_FACE, GL_CURRENT_COLOR }),
                  Ints({ GL_DST_COLOR, GL_ONE_MINUS_DST_ALPHA, GL_LEQUAL, GL_NOTEQUAL, 511,
                         GL_INVERT, GL_REPLACE, GL_DECR, GL_CCW, 0 }));
        EXPECT_EQ(Ints({ int(m_pDevice->m_StencilRef), int(m_pDevice->m_StencilMask), int(m_pDevice->m_BlendSrc),
                         int(m_pDevice->m_StencilFail), int(m_pDevice->m_Cull), int(m_pDevice->m_DepthTest),
                         int(m_pDevice->m_aPrimaryColor[1]) }),
                  Ints({ 44, 255, BLEND_DSTCOLOR, STENCILOP_INVERT, CULL_CCW, TEST_LESSEQUAL, 1 }));
        m_pDevice->Mode_BlendFunc(BLEND_COUNT, 0), m_pDevice->Mode_BlendFunc(0, -1);
        m_pDevice->Mode_DepthTest(TEST_COUNT);
        m_pDevice->Mode_Cull(2);
        m_pDevice->Mode_StencilFunc(-3, 0, 0);
        for (Ints op : { Ints{ 6, 0, 0 }, Ints{ 0, 6, 0 }, Ints{ 0, 0, -1 } })
            m_pDevice->Mode_StencilOp(op[0], op[1], op[2]);
    }
    m_pDevice->Mode_Cull(CULL_CW), m_pDevice->Flag_Set(FLAG_BLEND, true);
    EXPECT_EQ(Ints({ int(m_pDevice->m_Cull), int(NOpenGL::PrimToOGL(PRIM_COUNT, 5)), m_pDevice->m_aFlags[FLAG_BLEND], glIsEnabled(GL_BLEND) }),
              Ints({ CULL_CW, 0, 1, 1 }));
}

// A buffer without the component disables the array but is recorded;
// destroying a buffer unbinds the streams that read it.
TEST_F(DeviceTest, StreamsPointIntoTheirBuffersAndClearAndViewportMapToOpenGL)
{
    long full = m_pDevice->CreateVertexBuffer(4, STREAM_POSITION | STREAM_NORMAL | STREAM_TEXTURE3, 0);
    long bare = m_pDevice->CreateVertexBuffer(4, STREAM_TEXTURE0, 0);
    CVertexBuffer* buffer = m_pDevice->LockVertexBuffer(full, 0);
    m_pDevice->Stream_Normal(full);
    m_pDevice->Stream_Color(full), m_pDevice->Stream_Texture(0, full, 0);
    m_pDevice->Stream_Texture(1, full, 3);
    void* aPointers[2] = {};
    glGetPointerv(GL_NORMAL_ARRAY_POINTER, &aPointers[0]);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &aPointers[1]);
    EXPECT_TRUE(aPointers[0] == buffer->m_pNormal && aPointers[1] == buffer->m_apTexCoord[3]);
    EXPECT_EQ(Read({ GL_ACTIVE_TEXTURE_ARB, GL_CLIENT_ACTIVE_TEXTURE_ARB, GL_NORMAL_ARRAY_STRIDE }), Ints({ GL_TEXTURE1_ARB, GL_TEXTURE1_ARB, 0 }));
    m_pDevice->Stream_Vertex(bare);
    m_pDevice->Stream_Texture(2, full, 5);
    m_pDevice->Stream_Texture(8, full, 0);
    m_pDevice->Texture_Set(0, -1);
    EXPECT_EQ(Ints({ glIsEnabled(GL_VERTEX_ARRAY), glIsEnabled(GL_TEXTURE_COORD_ARRAY), glIsEnabled(GL_TEXTURE_2D),
                     int(m_pDevice->m_VertexStream), int(m_pDevice->m_aTextureSet[2]) }),
              Ints({ 0, 0, 0, int(bare), 5 }));
    EXPECT_EQ(Read({ GL_ACTIVE_TEXTURE_ARB, GL_CLIENT_ACTIVE_TEXTURE_ARB }), Ints({ GL_TEXTURE0_ARB, GL_TEXTURE2_ARB }));
    long indices = m_pDevice->CreateIndexBuffer(12, 0);
    m_pDevice->Stream_Index(indices);
    EXPECT_TRUE(m_pDevice->DestroyVertexBuffer(full) && m_pDevice->DestroyIndexBuffer(indices));
    glextClientActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY) || m_pDevice->m_pIndexData);
    EXPECT_EQ(Ints({ int(m_pDevice->m_NormalStream), int(m_pDevice->m_ColorStream), int(m_pDevice->m_aTextureStream[0] + m_pDevice->m_aTextureStream[1]),
                     int(m_pDevice->m_VertexStream) }), Ints({ -1, -1, -2, int(bare) }));

    const float aClear[4] = { 1.0f, 0.5f, 0.0f, 1.0f };
    std::copy(aClear, aClear + 4, m_pDevice->m_aClearColor);
    m_pDevice->m_ClearDepth = 0.25f;
    m_pDevice->m_ClearStencil = 7;
    m_pDevice->Clear(CLEAR_COLOR | CLEAR_DEPTH | CLEAR_STENCIL);
    GLfloat depth = 0;
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(Ints({ Pixel(10, 10)[0], Pixel(10, 10)[1], int(depth * 1000 + 0.5f), Read({ GL_STENCIL_CLEAR_VALUE })[0] }),
              Ints({ 255, 128, 250, 7 }));
    m_pDevice->SetViewport(10, 20, 100, 50);
    m_pDevice->Matrix_Model(NMatrix::Translation(1, 2, 3));
    m_pDevice->Matrix_Projection(NMatrix::Scale(2, 3, 4));
    GLint viewport[4] = {};
    GLfloat model[16] = {}, projection[16] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_MODELVIEW_MATRIX, model), glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(Ints({ viewport[1], viewport[3], int(model[13]), int(projection[5]), int(m_pDevice->m_Model.m[13]),
                     int(m_pDevice->m_Projection.m[5]) }), Ints({ 410, 50, 2, 3, 2, 3 }));
    // All five arrays are off here; each is reported while it alone is enabled with a null pointer.
    glColorPointer(4, GL_FLOAT, 0, nullptr), glIndexPointer(GL_FLOAT, 0, nullptr), glNormalPointer(GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr), glVertexPointer(3, GL_FLOAT, 0, nullptr), m_Log.m_Text.clear();
    for (GLenum array : { GL_COLOR_ARRAY, GL_INDEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_VERTEX_ARRAY })
        glEnableClientState(array), NOpenGL::CheckPointers(), glDisableClientState(array);
    EXPECT_EQ(m_Log.Count("opengl: warning, "), 5) << m_Log.m_Text;
}

// Quads 2 to 4 are vertices 8 to 19, a strip of two triangles four; bad
// ranges draw nothing. Grab copies the top-left corner, bottom row first.
TEST_F(DeviceTest, DrawsTakeTheVerticesOfTheirPrimitivesAndGrabCopiesThem)
{
    StreamSquares({ 10, 50, 90, 130, 170, 210 });
    for (Ints range : { Ints{ PRIM_QUADS, 8, 3 }, { PRIM_QUADS, 4, 6 }, { PRIM_TRIANGLES, -1, 1 },
                        { PRIM_TRIANGLES, 0, -1 }, { PRIM_COUNT, 0, 1 } })
        m_pDevice->Draw(range[0], range[1], range[2]);
    m_pDevice->Draw(PRIM_QUADS, 0, LONG_MAX), m_pDevice->Draw(PRIM_QUADS, LONG_MAX, 1);   // counts past any array's
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Lit(40 * i + 20, 110), i >= 2 && i <= 4) << "quad " << i;
    m_pDevice->Clear(CLEAR_COLOR);
    m_pDevice->Draw(PRIM_TRIANGLESTRIP, 0, 2);
    EXPECT_EQ(std::vector<bool>({ Lit(25, 105), Lit(35, 112) }), std::vector<bool>({ true, false }));

    m_pDevice->Draw(PRIM_QUADS, 0, 1);
    long texture = m_pDevice->CreateTexture(256, 256, 1), tall = m_pDevice->CreateTexture(16, 512, 1);
    ASSERT_TRUE(m_pDevice->Grab(texture, GRAB_COLOR));
    std::vector<unsigned char> texels(256 * 256 * 4);
    m_pDevice->Texture_Set(0, texture), glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto at = [&](int x, int y) { return int(texels[((255 - y) * 256 + x) * 4]); };
    EXPECT_EQ(Ints({ at(10, 100), at(29, 119), at(9, 100), at(10, 120), at(10, 99) }), Ints({ 255, 255, 0, 0, 0 }));
    EXPECT_TRUE(m_pDevice->Grab(tall, GRAB_COLOR));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());   // 16 x 512 fits
    EXPECT_EQ(int(texels[(369 * 16 + 12) * 4]), 255) << "the window's bottom row is the texture's first";
    EXPECT_FALSE(m_pDevice->Grab(tall, 3) || m_pDevice->Grab(-1, GRAB_COLOR));
    glEnable(0xFFFF);   // an error left by an earlier call fails the grab
    EXPECT_FALSE(m_pDevice->Grab(texture, GRAB_COLOR));
}

// Indices 0 to 2 name a vertex past the four, 3 to 5 draw the square's
// lower-left half, 6 to 8 its upper-right one. Indices written under a lock
// are checked, and the shortest enabled stream decides.
TEST_F(DeviceTest, DrawIndexedDrawsOnlyIndicesThatNameVertices)
{
    StreamSquares({ 10 });
    long handle = m_pDevice->CreateIndexBuffer(9, 0);
    uint16_t* indices = m_pDevice->LockIndexBuffer(handle)->m_pIndices;
    const uint16_t aIndices[9] = { 0, 1, 65535, 0, 2, 3, 0, 1, 2 };
    std::copy(aIndices, aIndices + 9, indices);
    m_pDevice->UnlockIndexBuffer(handle);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 3, 1);   // no index stream yet
    m_pDevice->Stream_Index(handle), m_pDevice->DrawIndexed(PRIM_TRIANGLES, 0, LONG_MAX);
    for (Ints range : { Ints{ PRIM_TRIANGLES, 6, 2 }, { PRIM_TRIANGLES, -3, 1 }, { PRIM_TRIANGLES, 0, -1 },
                        { PRIM_COUNT, 0, 1 }, { PRIM_POINTS, 10, 0 }, { PRIM_POINTS, 0, 10 } })
        m_pDevice->DrawIndexed(range[0], range[1], range[2]);
    EXPECT_FALSE(Lit(15, 115) || Lit(25, 105) || !m_Log.m_Text.empty());
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 3, 1);
    m_pDevice->DrawIndexed(PRIM_POINTS, 0, 9);   // every index, one of them bad
    EXPECT_EQ(std::vector<bool>({ Lit(15, 115), Lit(25, 105) }), std::vector<bool>({ true, false }));
    EXPECT_EQ(m_Log.m_Text, kBadIndex);
    m_pDevice->LockIndexBuffer(handle), indices[2] = 2, m_pDevice->UnlockIndexBuffer(handle);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 0, 1);
    EXPECT_TRUE(Lit(25, 105));
    m_pDevice->Clear(CLEAR_COLOR);
    m_pDevice->LockIndexBuffer(handle);
    indices[2] = 4;
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 0, 1);
    m_pDevice->UnlockIndexBuffer(handle);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 0, 1);
    EXPECT_FALSE(Lit(25, 105));
    long shorter = m_pDevice->CreateVertexBuffer(3, STREAM_NORMAL | STREAM_COLOR | STREAM_TEXTURE0, 0);
    for (long stream : { STREAM_NORMAL, STREAM_COLOR, STREAM_TEXTURE0 })
    {
        m_pDevice->Stream_Set(shorter, stream);
        m_pDevice->DrawIndexed(PRIM_TRIANGLES, 3, 1);
        m_pDevice->Stream_Set(-1, stream);
    }
    m_pDevice->Stream_Texture(0, shorter, 0);
    m_pDevice->DrawIndexed(PRIM_TRIANGLES, 6, 1);
    m_pDevice->Stream_Texture(0, shorter, 8), m_pDevice->DrawIndexed(PRIM_TRIANGLES, 6, 1);   // there is no set 8
    EXPECT_EQ(m_Log.Count(kBadIndex), 6);
    EXPECT_TRUE(Lit(25, 105));
    // Empty buffers: no index to scan, and no vertex any index could name.
    long noVertices = m_pDevice->CreateVertexBuffer(0L, STREAM_POSITION, 0), noIndices = m_pDevice->CreateIndexBuffer(0L, 0);
    m_pDevice->LockIndexBuffer(noIndices), m_pDevice->UnlockIndexBuffer(noIndices);
    m_pDevice->Stream_Vertex(noVertices), m_pDevice->DrawIndexed(PRIM_TRIANGLES, 6, 1);
    EXPECT_EQ(m_Log.Count(kBadIndex), 7);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Corner colours blend across the quad; a 2 x 2 texture (red, green above
// blue, white) is sampled at texel centres; a line covers the row it runs
// along between its ends; the blend modes mix with the background or replace it.
TEST_F(DeviceTest, BatcherColoursTexturesLinesAndBlendModes)
{
    C2DUtils utils;
    ASSERT_TRUE(utils.Init(m_pDevice, 8192));
    utils.SetBlend(BLENDMODE_NONE);
    m_pDevice->Clear(CLEAR_COLOR);
    auto Quad = [&](float x, float y, float width, float height) {
        utils.Quad_Begin();
        utils.Quad_Draw(x, y, width, height);
        utils.Quad_End();
    };
    const float colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (int c = 0; c < 4; ++c)
        utils.SetColor(c, colours[c][0], colours[c][1], colours[c][2], 1);
    Quad(200, 200, 100, 100);
    EXPECT_EQ(Pixels({{150, 150}, {249, 150}, {150, 249}, {249, 249}, {200, 150}}),
              "150,150=256,0,0 249,150=0,256,0 150,249=0,0,256 249,249=256,256,256 200,150=128,128,0");

    CImage image;
    ASSERT_TRUE(image.Create(TVector2<long>(2, 2), 32));
    const unsigned char texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    std::copy(texels, texels + 16, image.m_pData);
    utils.SetDefaults();
    utils.SetTexture(m_pDevice->CreateTexture(image));
    Quad(400, 200, 200, 200);
    EXPECT_EQ(Pixels({{350, 150}, {450, 150}, {350, 250}, {450, 250}}),
              "350,150=256,0,0 450,150=0,256,0 350,250=0,0,256 450,250=256,256,256");

    utils.SetTexture(-1);
    utils.SetColor(1, 1, 0, 1);
    ASSERT_TRUE(utils.Line_Begin());
    utils.Line_Draw(10, 300.5f, 200, 300.5f);
    utils.Line_End();
    EXPECT_EQ(Pixels({{100, 300}, {100, 299}, {250, 300}}), "100,300=256,256,0 100,299=0,0,0 250,300=0,0,0");

    std::fill(m_pDevice->m_aClearColor, m_pDevice->m_aClearColor + 3, 0.25f);
    m_pDevice->Clear(CLEAR_COLOR);
    utils.SetColor(1, 1, 1, 0.5f);
    utils.SetBlend(BLENDMODE_ALPHA);
    Quad(100, 100, 20, 20);
    utils.SetColor(0.5f, 0.25f, 0, 0.1f);
    utils.SetBlend(BLENDMODE_ADD);
    Quad(200, 100, 20, 20);
    utils.SetBlend(BLENDMODE_NONE);
    Quad(300, 100, 20, 20);
    EXPECT_EQ(Pixels({{100, 100}, {200, 100}, {300, 100}}), "100,100=160,160,160 200,100=192,128,64 300,100=128,64,0");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The empty request takes every mode of display 0, each once, in pairs of
// parameter 6 at 16 and 32, windowed modes first: the display's, then the
// standard sizes that fit its desktop. Full screen exists for the display's
// modes only.
TEST_F(DeviceTest, InitOpensTheRequestedWindowOfTheDisplayModes)
{
    NTest::CLogCapture log;
    COpenGLDevice_SDL device;
    ASSERT_TRUE(device.Init(CMode(640, 480, false, 0)));
    EXPECT_EQ(g_SwapIntervalCalls, 0);
    const std::string steps = "COpenGLDevice_SDL::Init(): Initing display, 640x480x0 fullscreen=0\n"
                              "COpenGLDevice_SDL::Init(): Creating window\n"
                              "COpenGLDevice_SDL::Init(): Choosing pixel format\n"
                              "COpenGLDevice_SDL::Init(): Creating render context\n"
                              "COpenGLDevice_SDL::Init(): Final report, rendercontext=";
    EXPECT_EQ(log.m_Text.substr(log.m_Text.find('\n') + 1, steps.size()), steps);
    int x = 0, y = 0, w = 0, h = 0, depth = 0, alpha = 0;
    SDL_GetWindowPosition(device.m_Window, &x, &y);
    SDL_GL_GetDrawableSize(device.m_Window, &w, &h);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &alpha);
    EXPECT_EQ(std::vector<int>({ x, y, w, h, depth >= 24, alpha, device.m_bInitialized }),
              std::vector<int>({ 50, 50, 640, 480, 1, 8, 1 }));
    const Uint32 first = SDL_GetWindowID(device.m_Window);   // a second Init replaces the window
    ASSERT_TRUE(device.Init(CMode(640, 480, false, 0)) && SDL_GetWindowFromID(first) == nullptr);
    EXPECT_TRUE(SDL_GL_GetCurrentContext() == device.m_Context && device.Shutdown());
    log.m_Text.clear();
    COpenGLDevice_SDL none;
    EXPECT_FALSE(none.Init(CMode(4000, 3000, false, 0)) || none.m_Window || none.m_bInitialized);
    EXPECT_TRUE(none.m_VertexShader == -1 && none.m_PixelShader == -1 && none.m_aTexture[0] == -1 &&
                none.m_aTextureStream[0] == -1) << "nothing is bound before a window opens";
    EXPECT_EQ(log.m_Text, "COpenGLDevice_SDL::Init(): Couldn't find a displaymode that fits\n");
    EXPECT_TRUE(none.Update() && TakeMessages().empty());
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 9);   // a context no driver makes
    EXPECT_FALSE(device.Init(CMode(640, 480, false, 0)) || device.m_Window || device.m_bInitialized);
    SDL_GL_ResetAttributes();
    SDL_GL_MakeCurrent(m_pDevice->m_Window, m_pDevice->m_Context);

    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    TDynamicArray<CMode> modes, windows, fullscreen;
    m_pDevice->EnumDisplayModes(modes, CMode());
    std::vector<long> sizes;
    for (long i = 0; i < modes.m_Length; ++i)
    {
        const CMode::SParameter* p = modes[i].m_aParameters;
        EXPECT_EQ(std::vector<long>({ p[MODE_DISPLAY].m_Value, p[MODE_PARAM5].m_Value, p[MODE_PARAM6].m_Value,
                                      p[MODE_PARAM7].m_Value, p[MODE_BITSPERPIXEL].m_Value, p[MODE_REFRESHRATE].m_Value != 0,
                                      p[MODE_WIDTH].m_Match }),
                  std::vector<long>({ 0, 8, i % 2 ? 32 : 16, 0, SDL_BITSPERPIXEL(desktop.format), 1, MATCH_EXACT }));
        if (p[MODE_FULLSCREEN].m_Value == 0)
            sizes.push_back(p[MODE_WIDTH].m_Value * 10000 + p[MODE_HEIGHT].m_Value);
    }
    EXPECT_EQ(modes[modes.m_Length - 1].m_aParameters[MODE_FULLSCREEN].m_Value, 1);
    for (long size : { 6400480L, 8000600L, 10240768L, 12800720L, 12801024L, 19201080L, desktop.w * 10000L + desktop.h })
        EXPECT_EQ(std::count(sizes.begin(), sizes.end(), size), size / 10000 > desktop.w || size % 10000 > desktop.h ? 0 : 2);
    m_pDevice->EnumDisplayModes(windows, CMode(640, 480, false, 0)), m_pDevice->EnumDisplayModes(windows, CMode(640, 480, false, 0));
    m_pDevice->EnumDisplayModes(fullscreen, CMode(desktop.w, desktop.h, true, 0));
    EXPECT_EQ(std::vector<long>({ windows.m_Length, fullscreen.m_Length }), std::vector<long>({ 2, 2 }));
}

// Buttons of this window become messages, keys stay for the core's pump, a
// quit or the close of this window requests a quit, and the mouse is
// captured while the window has the focus.
TEST_F(DeviceTest, UpdateTurnsEventsIntoMessagesAndCapturesTheMouse)
{
    SDL_Window* other = SDL_CreateWindow("Other", 700, 50, 32, 32, SDL_WINDOW_SHOWN);
    ASSERT_TRUE(Focus(other, m_pDevice->m_Window));
    m_pDevice->Update();
    TakeMessages();
    const Uint32 window = SDL_GetWindowID(m_pDevice->m_Window);
    for (Uint32 type : { SDL_KEYDOWN, SDL_MOUSEBUTTONDOWN, SDL_KEYUP })
        Push(type, window);
    Push(SDL_MOUSEBUTTONDOWN, window + 100);
    for (int i = 0; i < 33; ++i)   // more than one fetch takes
    {
        Push(SDL_MOUSEBUTTONUP, window + 100);
        Push(SDL_WINDOWEVENT, window + 100, SDL_WINDOWEVENT_CLOSE);
    }
    EXPECT_TRUE(m_pDevice->Update());
    Messages expected(34, { NCore::MSG_MOUSEUP, 0, 0 });
    expected[0][0] = NCore::MSG_MOUSEDOWN;
    EXPECT_EQ(TakeMessages(), expected);
    EXPECT_FALSE(g_QuitRequest || m_pDevice->m_bCursorHidden || SDL_GetRelativeMouseMode());
    NCore::m_pCore->OSPreUpdate();
    EXPECT_EQ(TakeMessages(), (Messages{ { NCore::MSG_KEYDOWN, 32, 32 }, { NCore::MSG_KEYUP, 32, 32 } }));
    for (Uint32 type : { SDL_WINDOWEVENT, SDL_QUIT })
    {
        g_QuitRequest = 0;
        Push(type, window, SDL_WINDOWEVENT_CLOSE);
        m_pDevice->Update();
        EXPECT_EQ(g_QuitRequest, 1) << type;
    }
    // Other test programs may take the focus meanwhile; such a round is
    // tried again.
    bool captured = false;
    for (int attempt = 0; attempt < 5 && !captured; ++attempt)
    {
        if (!Focus(m_pDevice->m_Window, m_pDevice->m_Window))
            continue;
        TakeMessages();
        m_pDevice->Update();
        m_pDevice->Update();
        captured = m_pDevice->m_bCursorHidden && SDL_GetRelativeMouseMode() &&
                   TakeMessages() == Messages{ { NCore::MSG_MOUSEMOVE, 0, 0 }, { NCore::MSG_MOUSEMOVE, 0, 0 } };
    }
    ASSERT_TRUE(captured && m_pDevice->Init(CMode(640, 480, false, 0)) && !m_pDevice->m_bCursorHidden); // the old window's capture ends with it
    ASSERT_TRUE(Focus(other, m_pDevice->m_Window));
    m_pDevice->Update();
    EXPECT_FALSE(m_pDevice->m_bCursorHidden || SDL_GetRelativeMouseMode() || !TakeMessages().empty());
    SDL_DestroyWindow(other);
}
