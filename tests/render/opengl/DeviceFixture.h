// Shared set-up of the OpenGL device tests: SDL's video subsystem and one
// core for the whole test program (InstallDeviceEnvironment), and per test a
// fresh device with a 640 x 480 window and its context current, plus a
// capture of the log.
#ifndef NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H
#define NVORN_TESTS_RENDER_OPENGL_DEVICEFIXTURE_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Log.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"

namespace NVorn {
namespace NTest {

// Keeps every piece written to the log while it is attached.
class CCaptureLogger : public NLog::CLogger
{
public:
    CCaptureLogger() { NLog::Attach(this); }
    ~CCaptureLogger() override { NLog::Detach(this); }

    void Write(const char* text) override { m_lLines.push_back(text); }
    // Whether some piece starts with prefix; how often line was written.
    bool Has(const std::string& prefix) const;
    long Count(const std::string& line) const;

    std::vector<std::string> m_lLines;
};

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

    CCaptureLogger     m_Log;
    COpenGLDevice_SDL* m_pDevice = nullptr;
};

} // namespace NTest
} // namespace NVorn

#endif
