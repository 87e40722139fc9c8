#include "DeviceFixture.h"

#include <SDL.h>

#include <dlfcn.h>

#include <GL/gl.h>

#include "core/Core.h"
#include "core/Message.h"

namespace NVorn {
namespace NTest {

namespace {

class CDeviceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        // SDL loads the D-Bus library for itself and unloads it when it
        // quits; holding it keeps it mapped until exit, so that the leak
        // report can still name it (see tests/lsan.supp).
        dlopen("libdbus-1.so.3", RTLD_NOW);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        new NCore::CCore;
    }

    void TearDown() override
    {
        delete NCore::m_pCore;
        NCore::m_pCore = nullptr;
        SDL_Quit();
    }
};

} // namespace

bool CCaptureLogger::Has(const std::string& prefix) const
{
    for (const std::string& line : m_lLines)
    {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

long CCaptureLogger::Count(const std::string& line) const
{
    long count = 0;
    for (const std::string& logged : m_lLines)
        count += logged == line;
    return count;
}

int GetInteger(unsigned name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void ExpectIntegers(std::initializer_list<std::pair<unsigned, int>> expected)
{
    for (const auto& e : expected)
        EXPECT_EQ(GetInteger(e.first), e.second) << "state 0x" << std::hex << e.first;
}

bool InstallDeviceEnvironment()
{
    ::testing::AddGlobalTestEnvironment(new CDeviceEnvironment);
    return true;
}

void DeviceTest::SetUp()
{
    // Messages and quit requests left by an earlier test are not this one's.
    while (NCore::m_pCore->GotMessages())
        NCore::m_pCore->DiscardCurrentMessage();
    g_QuitRequest = 0;
    m_pDevice = new COpenGLDevice_SDL;
    ASSERT_TRUE(m_pDevice->Init(N3D::CMode(640, 480, false, 0)));
    ExpectNoGLError("Init");
}

void DeviceTest::TearDown()
{
    if (m_pDevice)
    {
        m_pDevice->ClearAllAllocatedIndexes();
        m_pDevice->Shutdown();
        delete m_pDevice;
    }
    g_QuitRequest = 0;
}

std::vector<std::vector<int>> DeviceTest::TakeMessages()
{
    std::vector<std::vector<int>> messages;
    while (NCore::CMessage* message = NCore::m_pCore->GetCurrentMessage())
    {
        messages.push_back({ message->m_Type, message->m_aParam[0], message->m_aParam[1] });
        NCore::m_pCore->DiscardCurrentMessage();
    }
    return messages;
}

std::vector<unsigned char> DeviceTest::Pixel(int x, int y)
{
    std::vector<unsigned char> rgba(4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, 479 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

void DeviceTest::ExpectNoGLError(const char* what)
{
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << what;
}

} // namespace NTest
} // namespace NVorn
