// Shared set-up of the OpenGL device tests: SDL's video subsystem and one
// core for the whole test program (InstallDeviceEnvironment), and per test a
// fresh device with a 640 x 480 window and its context current, plus a
// capture of the log.
#ifndef NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H
#define NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "LogCapture.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"

namespace NVorn {
namespace NTest {

// Call once at static initialisation of a test program.
bool InstallDeviceEnvironment();

// OpenGL integer state; the enumerations are passed as unsigned.
int GetInteger(unsigned name);
// Each named integer state holds its expected value.
void ExpectIntegers(std::initializer_list<std::pair<unsigned, int>> expected);

class DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Drains the core's queue into (type, x, y) triples.
    std::vector<std::vector<int>> TakeMessages();
    // One pixel of the back buffer as RGBA bytes, y counted from the top.
    std::vector<unsigned char> Pixel(int x, int y);
    void ExpectNoGLError(const char* what);

    CLogCapture        m_Log;
    COpenGLDevice_SDL* m_pDevice = nullptr;
};

} // namespace NTest
} // namespace NVorn

#endif
