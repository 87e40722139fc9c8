// The SDL display device: registration, display modes, the window and the
// per-frame event handling, with events pushed into SDL's queue.
#include "DeviceFixture.h"
#include "LogCapture.h"

#include <SDL.h>

#include <GL/gl.h>

#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "core/Message.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::CLogCapture;
using NVorn::NTest::DeviceTest;

namespace
{

const bool g_bEnvironment = NTest::InstallDeviceEnvironment();

// Keeps the device's source, and with it its registrar, in this program.
struct STouch
{
    STouch() { Touch_COpenGLDevice_SDL(); }
} g_Touch;

typedef std::vector<std::vector<int>> Messages;

void Push(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

SDL_Event MouseButton(Uint32 type, Uint32 window)
{
    SDL_Event event = {};
    event.type = type;
    event.button.windowID = window;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

SDL_Event Key(Uint32 type)
{
    SDL_Event event = {};
    event.type = type;
    event.key.keysym.sym = SDLK_SPACE;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

// Gives the window the input focus, or hands it to a window of its own,
// and waits until SDL has seen the change.
class CFocus
{
public:
    ~CFocus()
    {
        if (m_pOther)
            SDL_DestroyWindow(m_pOther);
    }

    bool Set(SDL_Window* window, bool focus)
    {
        if (!focus && !m_pOther)
            m_pOther = SDL_CreateWindow("Other", 700, 50, 32, 32, SDL_WINDOW_SHOWN);
        SDL_SetWindowInputFocus(focus ? window : m_pOther);
        for (int i = 0; i < 100; ++i)
        {
            SDL_PumpEvents();
            if (((SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0) == focus)
                return true;
            SDL_Delay(10);
        }
        return false;
    }

private:
    SDL_Window* m_pOther = nullptr;
};

long CountModes(const TDynamicArray<CMode>& modes, long width, long height)
{
    long count = 0;
    for (long i = 0; i < modes.m_Length; ++i)
        count += modes[i].m_aParameters[MODE_WIDTH].m_Value == width &&
                 modes[i].m_aParameters[MODE_HEIGHT].m_Value == height &&
                 modes[i].m_aParameters[MODE_FULLSCREEN].m_Value == 0;
    return count;
}

} // namespace

TEST_F(DeviceTest, RegisteredAsTheRenderDevice)
{
    NClassRegistry::CClass* byTag = NClassRegistry::CreateByTag("3D Device");
    EXPECT_NE(dynamic_cast<COpenGLDevice_SDL*>(byTag), nullptr);
    delete byTag;
    NClassRegistry::CHandle* handle = NClassRegistry::FindHandle("COpenGLDevice_SDL");
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(handle->m_aTag, "3D Device");
}

TEST_F(DeviceTest, InitOpensTheRequestedWindowOrNone)
{
    CLogCapture log;
    COpenGLDevice_SDL device;
    ASSERT_TRUE(device.Init(CMode(640, 480, false, 0)));
    const std::string& text = log.m_Text;
    EXPECT_EQ(text.rfind("3ddevice: Best mode:  640  480 ", 0), 0u) << text;
    const std::string steps = "COpenGLDevice_SDL::Init(): Initing display, 640x480x0 fullscreen=0\n"
                              "COpenGLDevice_SDL::Init(): Creating window\n"
                              "COpenGLDevice_SDL::Init(): Choosing pixel format\n"
                              "COpenGLDevice_SDL::Init(): Creating render context\n";
    EXPECT_EQ(text.substr(text.find('\n') + 1, steps.size()), steps);
    EXPECT_TRUE(log.Has("COpenGLDevice_SDL::Init(): Final report, rendercontext="));
    EXPECT_TRUE(device.m_bInitialized);

    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(device.m_Window, &x, &y);
    SDL_GL_GetDrawableSize(device.m_Window, &w, &h);
    EXPECT_EQ(std::vector<int>({ x, y, w, h }), std::vector<int>({ 50, 50, 640, 480 }));
    EXPECT_STREQ(SDL_GetWindowTitle(device.m_Window), "Test");
    EXPECT_FALSE(SDL_GetWindowFlags(device.m_Window) & SDL_WINDOW_RESIZABLE);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), device.m_Context);
    int depth = 0, alpha = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &alpha);
    EXPECT_GE(depth, 24);
    EXPECT_EQ(alpha, 8);
    device.SwapBuffers();
    EXPECT_TRUE(device.Shutdown());

    // A size no display offers: one log line, no window, updates still run.
    log.m_Text.clear();
    COpenGLDevice_SDL none;
    EXPECT_FALSE(none.Init(CMode(4000, 3000, false, 0)));
    EXPECT_EQ(log.m_Text, "COpenGLDevice_SDL::Init(): Couldn't find a displaymode that fits\n");
    EXPECT_EQ(none.m_Window, nullptr);
    EXPECT_FALSE(none.m_bInitialized);
    EXPECT_TRUE(none.Update());
    EXPECT_TRUE(TakeMessages().empty());
    SDL_GL_MakeCurrent(m_pDevice->m_Window, m_pDevice->m_Context);
}

TEST_F(DeviceTest, DisplayModesOfferWindowsAndFullScreen)
{
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);

    // The empty request takes every mode of display 0, each once, in pairs
    // of parameter 6 at 16 and 32, windowed modes first; the windows are the
    // standard sizes that fit and the desktop's.
    TDynamicArray<CMode> modes;
    m_pDevice->EnumDisplayModes(modes, CMode());
    ASSERT_GT(modes.m_Length, 0);
    for (long i = 0; i < modes.m_Length; ++i)
    {
        for (const CMode::SParameter& parameter : modes[i].m_aParameters)
            EXPECT_EQ(parameter.m_Match, MATCH_EXACT);
        EXPECT_EQ(modes[i].m_aParameters[MODE_DISPLAY].m_Value, 0);
        EXPECT_EQ(modes[i].m_aParameters[MODE_PARAM6].m_Value, i % 2 ? 32 : 16);
        EXPECT_NE(modes[i].m_aParameters[MODE_REFRESHRATE].m_Value, 0);
        for (long j = 0; j < i; ++j)
            EXPECT_FALSE(modes[i].Compare(modes[j]));
    }
    EXPECT_EQ(modes[0].m_aParameters[MODE_FULLSCREEN].m_Value, 0);
    EXPECT_EQ(modes[modes.m_Length - 1].m_aParameters[MODE_FULLSCREEN].m_Value, 1);
    EXPECT_EQ(CountModes(modes, 640, 480), 2);
    EXPECT_EQ(CountModes(modes, desktop.w, desktop.h), 2);
    if (desktop.w < 1280)
    {
        EXPECT_EQ(CountModes(modes, 1280, 720), 0);
    }

    // A repeated enumeration adds nothing; full screen exists for the
    // display's modes only.
    TDynamicArray<CMode> windows, fullscreen;
    m_pDevice->EnumDisplayModes(windows, CMode(640, 480, false, 0));
    m_pDevice->EnumDisplayModes(windows, CMode(640, 480, false, 0));
    EXPECT_EQ(windows.m_Length, 2);
    m_pDevice->EnumDisplayModes(fullscreen, CMode(desktop.w, desktop.h, true, 0));
    EXPECT_EQ(fullscreen.m_Length, 2);
}

TEST_F(DeviceTest, UpdateTurnsEventsIntoMessagesAndLeavesKeys)
{
    CFocus focus;
    ASSERT_TRUE(focus.Set(m_pDevice->m_Window, false));
    m_pDevice->Update();
    TakeMessages();
    Uint32 window = SDL_GetWindowID(m_pDevice->m_Window);

    // Buttons in another window are not this one's.
    Push(Key(SDL_KEYDOWN));
    Push(MouseButton(SDL_MOUSEBUTTONDOWN, window));
    Push(MouseButton(SDL_MOUSEBUTTONDOWN, window + 100));
    Push(MouseButton(SDL_MOUSEBUTTONUP, window + 100));
    Push(Key(SDL_KEYUP));
    EXPECT_TRUE(m_pDevice->Update());
    EXPECT_EQ(TakeMessages(), (Messages{ { NCore::MSG_MOUSEDOWN, 0, 0 }, { NCore::MSG_MOUSEUP, 0, 0 } }));
    EXPECT_EQ(g_QuitRequest, 0);

    // The keys are still queued, for the core's pump.
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP), 2);
    NCore::m_pCore->OSPreUpdate();
    EXPECT_EQ(TakeMessages(), (Messages{ { NCore::MSG_KEYDOWN, 32, 32 }, { NCore::MSG_KEYUP, 32, 32 } }));
}

TEST_F(DeviceTest, QuitAndWindowCloseRequestAQuit)
{
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    Push(quit);
    m_pDevice->Update();
    EXPECT_EQ(g_QuitRequest, 1);

    // Closing another window is not a quit; closing this one is.
    g_QuitRequest = 0;
    SDL_Event close = {};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(m_pDevice->m_Window) + 100;
    Push(close);
    m_pDevice->Update();
    EXPECT_EQ(g_QuitRequest, 0);
    close.window.windowID = SDL_GetWindowID(m_pDevice->m_Window);
    Push(close);
    m_pDevice->Update();
    EXPECT_EQ(g_QuitRequest, 1);

    // The quit reaches the game as one MSG_QUIT, and the window is still
    // there to finish the frame.
    TakeMessages();
    NCore::m_pCore->OSPreUpdate();
    Messages messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0][0], NCore::MSG_QUIT);
    m_pDevice->Clear(CLEAR_COLOR);
    m_pDevice->SwapBuffers();
    m_pDevice->Update();
    ExpectNoGLError("after the close request");
}

TEST_F(DeviceTest, FocusCapturesTheMouse)
{
    // Other test programs may open windows on the same display meanwhile and
    // take the focus; a round that lost it is tried again.
    CFocus focus;
    bool captured = false;
    for (int attempt = 0; attempt < 5 && !captured; ++attempt)
    {
        ASSERT_TRUE(focus.Set(m_pDevice->m_Window, true));
        TakeMessages();
        m_pDevice->Update();
        m_pDevice->Update();
        captured = m_pDevice->m_bCursorHidden && SDL_GetRelativeMouseMode() &&
                   TakeMessages() == Messages{ { NCore::MSG_MOUSEMOVE, 0, 0 }, { NCore::MSG_MOUSEMOVE, 0, 0 } };
    }
    EXPECT_TRUE(captured);

    ASSERT_TRUE(focus.Set(m_pDevice->m_Window, false));
    m_pDevice->Update();
    m_pDevice->Update();
    EXPECT_FALSE(m_pDevice->m_bCursorHidden);
    EXPECT_FALSE(SDL_GetRelativeMouseMode());
    EXPECT_TRUE(TakeMessages().empty());
}
