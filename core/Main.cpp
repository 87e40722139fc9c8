// The process entry. Sets up the log, the core, the working directory and SDL,
// hands control to the application's VornMain, and tears the process down in a
// fixed order: core (which empties the class registry), leak report, SDL, and
// last the log itself as the local logger goes out of scope.
#include <climits>
#include <unistd.h>

#include <SDL.h>

#include "core/Core.h"
#include "foundation/Log.h"
#include "foundation/MemoryManager.h"
#include "foundation/StdOutLogger.h"
#include "foundation/Utils.h"

using namespace NVorn;

// Logs the working directory and tells whether it is the root directory. When
// the directory cannot be read it is logged empty and counts as not the root.
static bool StartedFromRoot()
{
    char aDirectory[PATH_MAX];
    const bool known = getcwd(aDirectory, sizeof(aDirectory)) != nullptr;
    if (!known)
        aDirectory[0] = 0;
    NLog::WriteF("MAIN: Working directory is %s\n", aDirectory);
    return known && StringLength(aDirectory) <= 1;
}

// A program launched from the desktop starts in the root directory; it moves to
// its own directory, where its data files lie. argv[0] is cut at its last '/'
// (index 0 is never examined); without one the change is tried with argv[0] as
// it stands. Tells whether the change succeeded; main goes on either way.
static bool ChangeToProgramDirectory(char* program)
{
    for (long i = (long)StringLength(program) - 1; i >= 1; i--) {
        if (program[i] == '/') {
            program[i] = 0;
            break;
        }
    }
    NLog::WriteF("MAIN: Chaning to %s\n", program);
    return chdir(program) == 0;
}

// With no display reachable, SDL falls back to a video driver that has no
// screen, and a game nobody can see would run on. Such a driver counts only
// when it was asked for by name.
static bool HasScreen()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (StringCompare(driver, "offscreen") != 0 && StringCompare(driver, "dummy") != 0))
        return true;
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    return requested && StringCompare(requested, driver) == 0;
}

static void DeleteCore()
{
    if (NCore::m_pCore) {
        delete NCore::m_pCore;
        NCore::m_pCore = nullptr;
    }
}

int main(int argc, char** argv)
{
    CStdOutLogger logger;
    new NCore::CCore;   // owned through NCore::m_pCore from here on

    NLog::Write("MAIN:Initing SDL\n");
    if (StartedFromRoot() && argc > 0 && argv[0])
        ChangeToProgramDirectory(argv[0]);

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        NLog::WriteF("MAIN: SDL_Init failed, cannot open the display: %s\n", SDL_GetError());
        DeleteCore();
        return 2;
    }
    if (!HasScreen()) {
        NLog::WriteF("MAIN: No display found: set DISPLAY or WAYLAND_DISPLAY, or run under xvfb-run "
                     "(SDL offers only its %s video driver)\n", SDL_GetCurrentVideoDriver());
        SDL_Quit();
        DeleteCore();
        return 2;
    }

    NLog::Write("MAIN:Calling VornMain()\n");
    char aArgument[] = "Empty";
    VornMain(aArgument);

    DeleteCore();
    NMemoryManager::DumpMemInfo();
    SDL_Quit();
    return 1;
}
