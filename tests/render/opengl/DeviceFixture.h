// The OpenGL device tests' set-up: SDL's video subsystem and one core per
// test program, and per test a fresh device with a 640 x 480 window and its
// context current, a capture of the log, and ways to draw and read pixels.
#ifndef NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H
#define NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H

#include <gtest/gtest.h>

#include <SDL.h>

#include <dlfcn.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "core/Core.h"
#include "render/Matrix.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"

namespace NVorn {
namespace NTest {

class CDeviceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        // Held, SDL's D-Bus library stays mapped until exit, so that the
        // leak report can still name it (see tests/lsan.supp).
        dlopen("libdbus-1.so.3", RTLD_NOW);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        new NCore::CCore;
    }

    void TearDown() override
    {
        delete NCore::m_pCore;
        SDL_Quit();
    }
};

// Registered once per test program that includes this header.
inline ::testing::Environment* const g_pDeviceEnvironment = ::testing::AddGlobalTestEnvironment(new CDeviceEnvironment);

class DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Messages and quit requests left by an earlier test are not this one's.
        while (NCore::m_pCore->GotMessages())
            NCore::m_pCore->DiscardCurrentMessage();
        g_QuitRequest = 0;
        m_pDevice = new COpenGLDevice_SDL;
        ASSERT_TRUE(m_pDevice->Init(N3D::CMode(640, 480, false, 0)));
    }

    void TearDown() override
    {
        m_pDevice->ClearAllAllocatedIndexes();
        m_pDevice->Shutdown();
        delete m_pDevice;
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
        m_pDevice->Flag_Set(N3D::FLAG_CULL, false);
        m_pDevice->Flag_Set(N3D::FLAG_DEPTHTEST, false);
        m_pDevice->Matrix_Projection(N3D::NMatrix::Ortho(0, 640, 0, 480, 2, 0));
        m_pDevice->Clear(N3D::CLEAR_COLOR);
        m_Log.m_Text.clear();
        long handle = m_pDevice->CreateVertexBuffer(4 * static_cast<long>(lefts.size()), N3D::STREAM_POSITION, 0);
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

    CLogCapture        m_Log;
    COpenGLDevice_SDL* m_pDevice = nullptr;
};

} // namespace NTest
} // namespace NVorn

#endif
