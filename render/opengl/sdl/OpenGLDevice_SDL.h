// COpenGLDevice_SDL: the render device the game creates on Linux.
//
// It adds to the OpenGL device everything that depends on the window system,
// over SDL2: the list of display modes, one window "Test" at (50, 50) with a
// double-buffered RGBA OpenGL context in it, the buffer swap, and the
// per-frame handling of the window's events. Registered in the class
// registry as "COpenGLDevice_SDL" with the tag "3D Device".
//
// Events: key events are left queued for the core's key pump; every other
// pending event is taken each frame. Mouse buttons become MSG_MOUSEDOWN and
// MSG_MOUSEUP messages; while the window has the input focus the cursor is
// hidden and held (relative mouse mode) and every frame posts one
// MSG_MOUSEMOVE with the motion since the last; without the focus the cursor
// is shown and no mouse message is posted. A quit event, or a request to
// close the window, goes to QuitEventHandler, so the game ends as on any
// quit.
//
// SDL's video subsystem must be initialised before the device is used. The
// device owns its window and context and releases them when it is
// destroyed; until then the context stays current on the main thread.
#ifndef NVORN_RENDER_OPENGL_SDL_OPENGLDEVICE_SDL_H
#define NVORN_RENDER_OPENGL_SDL_OPENGLDEVICE_SDL_H

#include <SDL.h>

#include "render/opengl/OpenGLDevice.h"

class COpenGLDevice_SDL : public NVorn::N3D::NOpenGL::COpenGLDevice
{
public:
    COpenGLDevice_SDL();
    ~COpenGLDevice_SDL() override;

    // Appends every mode of every display that request accepts and that the
    // list does not hold yet: windowed modes first (the display's modes,
    // then the standard window sizes that fit its desktop), then the
    // full-screen ones, each with parameter 6 = 16 and = 32.
    void EnumDisplayModes(NVorn::TDynamicArray<NVorn::N3D::CMode>& modes,
                          NVorn::N3D::CMode request) override;
    // Picks the best mode, opens a window of the request's size with its
    // context current, and initialises the OpenGL side. The display's own
    // mode is never changed. False, with nothing left open, when no mode
    // fits or the window or context cannot be created.
    bool Init(NVorn::N3D::CMode request) override;
    void SwapBuffers() override;
    // Takes this frame's window events and handles the mouse; always true.
    bool Update() override;
    // Nothing to do before the device is deleted; true.
    bool Shutdown() override;

    SDL_GLContext m_Context;
    SDL_Window*   m_Window;
    bool          m_bInitialized;   // window and context exist
    bool          m_bCursorHidden;  // relative mouse mode is on

private:
    void AddDisplayModes(NVorn::TDynamicArray<NVorn::N3D::CMode>& modes,
                         const NVorn::N3D::CMode& request, int display);
    bool CreateWindowAndContext(long width, long height);
    void DoEvent(const SDL_Event& event);
    void UpdateMouse();
    void ReleaseWindow();

    void* m_pGLLibrary;   // keeps the OpenGL library's symbols visible
};

NVorn::NClassRegistry::CClass* ClassCreate_COpenGLDevice_SDL();
void Touch_COpenGLDevice_SDL();

#endif
