#include "render/opengl/sdl/OpenGLDevice_SDL.h"

#include <dlfcn.h>

#include <cstdint>
#include <initializer_list>

#include "core/Core.h"
#include "core/Message.h"
#include "foundation/Log.h"

using NVorn::TDynamicArray;
using NVorn::N3D::CMode;
using NVorn::NCore::CMessage;

namespace
{

// Window sizes offered on every display whose desktop is at least as large:
// a window of any of them can be opened whatever modes the display lists.
struct SWindowSize
{
    long m_Width;
    long m_Height;
};

const SWindowSize aWindowSizes[] = {
    { 640, 480 }, { 800, 600 }, { 1024, 768 },
    { 1280, 720 }, { 1280, 1024 }, { 1920, 1080 },
};

// Depth-buffer sizes asked for, best first.
const int aDepthSizes[] = { 32, 24 };

// One display mode as the platform describes it.
struct SDisplayMode
{
    long m_Width;
    long m_Height;
    long m_RefreshRate;   // -1 when unknown
    long m_BitsPerPixel;  // -1 when unknown
};

SDisplayMode Describe(const SDL_DisplayMode& mode)
{
    SDisplayMode described;
    described.m_Width = mode.w;
    described.m_Height = mode.h;
    described.m_RefreshRate = mode.refresh_rate > 0 ? mode.refresh_rate : -1;
    long bits = SDL_BITSPERPIXEL(mode.format);
    described.m_BitsPerPixel = bits > 0 ? bits : -1;
    return described;
}

CMode MakeMode(const SDisplayMode& mode, long fullscreen, long param6, long display)
{
    const long aValues[NVorn::N3D::MODE_COUNT] = {
        mode.m_Width, mode.m_Height, mode.m_RefreshRate, fullscreen,
        mode.m_BitsPerPixel, 8, param6, 0, display,
    };
    CMode result;
    for (int i = 0; i < NVorn::N3D::MODE_COUNT; ++i)
    {
        result.m_aParameters[i].m_Value = aValues[i];
        result.m_aParameters[i].m_Match = NVorn::N3D::MATCH_EXACT;
    }
    return result;
}

bool Contains(const TDynamicArray<CMode>& modes, const CMode& mode)
{
    for (long i = 0; i < modes.m_Length; ++i)
    {
        if (mode.Compare(modes[i]))
            return true;
    }
    return false;
}

// Offers a mode twice, with parameter 6 = 16 and = 32.
void AddCandidates(TDynamicArray<CMode>& modes, const CMode& request,
                   const SDisplayMode& mode, long fullscreen, long display)
{
    const long aParam6[] = { 16, 32 };
    for (long param6 : aParam6)
    {
        CMode candidate = MakeMode(mode, fullscreen, param6, display);
        if (request.Acceptable(candidate) && !Contains(modes, candidate))
            modes.Append(candidate);
    }
}

void SetPixelFormat(int depthSize)
{
    // Hardware acceleration is preferred but not required: the attribute
    // stays at "either", so a software renderer is accepted too.
    for (SDL_GLattr channel : {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE})
        SDL_GL_SetAttribute(channel, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthSize);
}

void PostMessage(int32_t type, int32_t x = 0, int32_t y = 0)
{
    CMessage* message = new CMessage();
    message->m_Type = type;
    message->m_aParam[0] = x;
    message->m_aParam[1] = y;
    NVorn::NCore::m_pCore->AddMessage(message);
}

} // namespace

COpenGLDevice_SDL::COpenGLDevice_SDL()
    : m_Context(nullptr),
      m_Window(nullptr),
      m_bInitialized(false),
      m_bCursorHidden(false),
      m_pGLLibrary(nullptr)
{
}

COpenGLDevice_SDL::~COpenGLDevice_SDL()
{
    ReleaseWindow();
}

void COpenGLDevice_SDL::ReleaseWindow()
{
    if (m_bCursorHidden)
        SDL_SetRelativeMouseMode(SDL_FALSE);
    m_bCursorHidden = false;
    m_bInitialized = false;
    if (m_Context)
        SDL_GL_DeleteContext(m_Context);
    m_Context = nullptr;
    if (m_Window)
        SDL_DestroyWindow(m_Window);
    m_Window = nullptr;
    if (m_pGLLibrary)
        dlclose(m_pGLLibrary);
    m_pGLLibrary = nullptr;
}

void COpenGLDevice_SDL::AddDisplayModes(TDynamicArray<CMode>& modes, const CMode& request,
                                        int display)
{
    SDL_DisplayMode desktopMode;
    if (SDL_GetDesktopDisplayMode(display, &desktopMode) != 0)
        return;
    const SDisplayMode desktop = Describe(desktopMode);
    const int count = SDL_GetNumDisplayModes(display);
    if (count <= 0)
        return;

    for (long pass = 0; pass < 2; ++pass)
    {
        for (int i = 0; i < count; ++i)
        {
            SDL_DisplayMode platformMode;
            if (SDL_GetDisplayMode(display, i, &platformMode) != 0)
                continue;
            const SDisplayMode mode = Describe(platformMode);
            // Full screen only narrower than the desktop or at its depth.
            if (pass == 1 && mode.m_Width >= desktop.m_Width &&
                mode.m_BitsPerPixel != desktop.m_BitsPerPixel)
                continue;
            AddCandidates(modes, request, mode, pass, display);
        }
        if (pass != 0)
            continue;
        for (const SWindowSize& size : aWindowSizes)
        {
            if (size.m_Width > desktop.m_Width || size.m_Height > desktop.m_Height)
                continue;
            SDisplayMode window = desktop;
            window.m_Width = size.m_Width;
            window.m_Height = size.m_Height;
            AddCandidates(modes, request, window, 0, display);
        }
    }
}

void COpenGLDevice_SDL::EnumDisplayModes(TDynamicArray<CMode>& modes, CMode request)
{
    const int displays = SDL_GetNumVideoDisplays();
    for (int display = 0; display < displays; ++display)
        AddDisplayModes(modes, request, display);
}

// Tries each depth-buffer size in turn; the pixel format is fixed when the
// window is created on some systems and when the context is on others.
bool COpenGLDevice_SDL::CreateWindowAndContext(long width, long height)
{
    NVorn::NLog::Write("COpenGLDevice_SDL::Init(): Creating window\n");
    NVorn::NLog::Write("COpenGLDevice_SDL::Init(): Choosing pixel format\n");
    for (int depthSize : aDepthSizes)
    {
        SetPixelFormat(depthSize);
        m_Window = SDL_CreateWindow("Test", 50, 50, static_cast<int>(width),
                                    static_cast<int>(height),
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
        if (!m_Window)
            continue;
        NVorn::NLog::Write("COpenGLDevice_SDL::Init(): Creating render context\n");
        m_Context = SDL_GL_CreateContext(m_Window);
        if (m_Context && SDL_GL_MakeCurrent(m_Window, m_Context) == 0)
            return true;
        ReleaseWindow();
    }
    NVorn::NLog::WriteF("COpenGLDevice_SDL::Init(): Couldn't create the window and its render context: %s\n",
                        SDL_GetError());
    return false;
}

bool COpenGLDevice_SDL::Init(CMode request)
{
    using namespace NVorn::N3D;

    CMode best;
    if (!GetBestMode(request, best))
    {
        NVorn::NLog::Write("COpenGLDevice_SDL::Init(): Couldn't find a displaymode that fits\n");
        return false;
    }
    NVorn::NLog::WriteF("COpenGLDevice_SDL::Init(): Initing display, %dx%dx%d fullscreen=%d\n",
                        static_cast<int>(request.m_aParameters[MODE_WIDTH].m_Value),
                        static_cast<int>(request.m_aParameters[MODE_HEIGHT].m_Value),
                        static_cast<int>(request.m_aParameters[MODE_BITSPERPIXEL].m_Value),
                        static_cast<int>(request.m_aParameters[MODE_FULLSCREEN].m_Value));

    ReleaseWindow();
    if (!CreateWindowAndContext(request.m_aParameters[MODE_WIDTH].m_Value,
                                request.m_aParameters[MODE_HEIGHT].m_Value))
        return false;

    // SDL opens the OpenGL library privately; the extension entry points
    // are looked up among the process's global symbols.
    const char* library = SDL_getenv("SDL_OPENGL_LIBRARY");
    m_pGLLibrary = dlopen(library ? library : "libGL.so.1", RTLD_NOW | RTLD_GLOBAL);
    // The swap interval stays the driver's: the frame loop adds no cap of
    // its own and runs as fast as the buffer swap lets it.

    m_bInitialized = true;
    NVorn::NLog::WriteF("COpenGLDevice_SDL::Init(): Final report, rendercontext=%.8x\n",
                        static_cast<unsigned int>(reinterpret_cast<uintptr_t>(m_Context)));
    COpenGLDevice::Init(best);
    return true;
}

void COpenGLDevice_SDL::SwapBuffers()
{
    if (m_Window)
        SDL_GL_SwapWindow(m_Window);
}

bool COpenGLDevice_SDL::Shutdown()
{
    return true;
}

void COpenGLDevice_SDL::DoEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.windowID == SDL_GetWindowID(m_Window))
            PostMessage(NVorn::NCore::MSG_MOUSEDOWN);
        break;
    case SDL_MOUSEBUTTONUP:
        PostMessage(NVorn::NCore::MSG_MOUSEUP);
        break;
    case SDL_WINDOWEVENT:
        // Closing the window ends the game; the window itself stays until
        // the device goes.
        if (event.window.event == SDL_WINDOWEVENT_CLOSE &&
            event.window.windowID == SDL_GetWindowID(m_Window))
            QuitEventHandler();
        break;
    case SDL_QUIT:
        QuitEventHandler();
        break;
    default:
        break;
    }
}

void COpenGLDevice_SDL::UpdateMouse()
{
    const bool focused = (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_INPUT_FOCUS) != 0;
    if (!focused)
    {
        if (m_bCursorHidden)
            SDL_SetRelativeMouseMode(SDL_FALSE);
        m_bCursorHidden = false;
        return;
    }
    if (!m_bCursorHidden)
    {
        SDL_SetRelativeMouseMode(SDL_TRUE);
        // Motion from before the capture is not the player's.
        SDL_GetRelativeMouseState(nullptr, nullptr);
        m_bCursorHidden = true;
    }
    int dx, dy;
    SDL_GetRelativeMouseState(&dx, &dy);
    PostMessage(NVorn::NCore::MSG_MOUSEMOVE, dx, dy);
}

bool COpenGLDevice_SDL::Update()
{
    if (!m_bInitialized)
        return true;

    // Everything but key events, which the core's key pump takes.
    SDL_PumpEvents();
    SDL_Event aEvents[32];
    int count;
    while ((count = SDL_PeepEvents(aEvents, 32, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_KEYDOWN - 1)) > 0)
    {
        for (int i = 0; i < count; ++i)
            DoEvent(aEvents[i]);
    }
    while ((count = SDL_PeepEvents(aEvents, 32, SDL_GETEVENT, SDL_KEYUP + 1, SDL_LASTEVENT)) > 0)
    {
        for (int i = 0; i < count; ++i)
            DoEvent(aEvents[i]);
    }
    UpdateMouse();
    return true;
}

NVorn::NClassRegistry::CClass* ClassCreate_COpenGLDevice_SDL()
{
    return new COpenGLDevice_SDL;
}

void Touch_COpenGLDevice_SDL()
{
}

namespace
{

struct SClassRegistrer
{
    SClassRegistrer()
    {
        NVorn::NClassRegistry::Register("COpenGLDevice_SDL", NVorn::N3D::aDeviceClassTag,
                                        ClassCreate_COpenGLDevice_SDL);
    }
};

} // namespace

SClassRegistrer g_ClassRegistrer_COpenGLDevice_SDL;
