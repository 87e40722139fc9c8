// The OpenGL device tests' set-up: SDL's video subsystem and one core per
// test program, and per test a fresh device with a 640 x 480 window and its
// context current, plus a capture of the log.
#ifndef NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H
#define NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H

#include <gtest/gtest.h>

#include <SDL.h>

#include <dlfcn.h>

#include <GL/gl.h>

#include <vector>

#include "LogCapture.h"
#include "core/Core.h"
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

    CLogCapture        m_Log;
    COpenGLDevice_SDL* m_pDevice = nullptr;
};

} // namespace NTest
} // namespace NVorn

#endif
