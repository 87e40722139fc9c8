// Shared set-up of the OpenGL device tests: SDL's video subsystem and one
// core for the whole test program, and per test a fresh device with a
// 640 x 480 window and its context current, plus a capture of the log.
#ifndef NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H
#define NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Core.h"
#include "foundation/Log.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"

namespace NVorn {
namespace NTest {

// Keeps every line written to the log while it is attached.
class CCaptureLogger : public NLog::CLogger
{
public:
    CCaptureLogger() { NLog::Attach(this); }
    ~CCaptureLogger() override { NLog::Detach(this); }

    void Write(const char* text) override { m_lLines.push_back(text); }
    // Whether some line starts with prefix.
    bool Has(const std::string& prefix) const;
    long Count(const std::string& line) const;

    std::vector<std::string> m_lLines;
};

// Sets up SDL video and the core once for the test program; register it
// with ::testing::AddGlobalTestEnvironment or through InstallDeviceEnvironment.
class CDeviceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
};

// Call once at static initialisation of a test program.
bool InstallDeviceEnvironment();

class DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Drains the core's queue into (type, x, y) triples.
    std::vector<std::vector<int>> TakeMessages();
    // Reads one pixel of the back buffer, with y counted from the top of
    // the 480-pixel-high target; RGBA bytes.
    std::vector<unsigned char> Pixel(int x, int y);
    // Fails the test when OpenGL has recorded an error.
    void ExpectNoGLError(const char* what);

    CCaptureLogger     m_Log;
    COpenGLDevice_SDL* m_pDevice = nullptr;
};

} // namespace NTest
} // namespace NVorn

#endif
