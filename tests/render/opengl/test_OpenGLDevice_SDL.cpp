// The SDL display device: display modes, the window and the per-frame event
// handling, with events pushed into SDL's queue.
#include "DeviceFixture.h"

#include <algorithm>

#include "core/Message.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::DeviceTest;

namespace
{

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
    EXPECT_TRUE(SDL_GL_GetCurrentContext() == device.m_Context && device.Shutdown());
    log.m_Text.clear();
    COpenGLDevice_SDL none;
    EXPECT_FALSE(none.Init(CMode(4000, 3000, false, 0)) || none.m_Window || none.m_bInitialized);
    EXPECT_TRUE(none.m_VertexShader == -1 && none.m_PixelShader == -1) << "nothing is bound before a window opens";
    EXPECT_EQ(log.m_Text, "COpenGLDevice_SDL::Init(): Couldn't find a displaymode that fits\n");
    EXPECT_TRUE(none.Update() && TakeMessages().empty());
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
    for (long size : { 6400480L, 10240768L, desktop.w * 10000L + desktop.h })
        EXPECT_EQ(std::count(sizes.begin(), sizes.end(), size), 2) << size;
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 12801024L), desktop.h >= 1024 ? 2 : 0);
    m_pDevice->EnumDisplayModes(windows, CMode(640, 480, false, 0));
    m_pDevice->EnumDisplayModes(windows, CMode(640, 480, false, 0));
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
    EXPECT_TRUE(captured);
    ASSERT_TRUE(Focus(other, m_pDevice->m_Window));
    m_pDevice->Update();
    EXPECT_FALSE(m_pDevice->m_bCursorHidden || SDL_GetRelativeMouseMode() || !TakeMessages().empty());
    SDL_DestroyWindow(other);
}
