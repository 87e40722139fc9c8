// The core's frame update and message queue, its key pump, the class
// registry, and the whole program (main with a stand-in VornMain) run as a
// child process: its log, its working directory and its exit status.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "core/SubSystem.h"
#include "tests/support/LogCapture.h"

using namespace NVorn::NCore;
using namespace NVorn::NClassRegistry;

namespace {

std::string g_Trace;

// Appends its name to the trace on each update and returns what it is told.
struct STraceSubSystem : CSubSystem
{
    explicit STraceSubSystem(char name) : m_Name(name) {}
    bool Update() override { g_Trace += m_Name; return m_bResult; }
    char m_Name;
    bool m_bResult = true;
};

TEST(Core, UpdateOrderQueueAndTeardown) // without SDL started, as the pump allows
{
    EXPECT_EQ(std::vector<int32_t>({MSG_QUIT, MSG_KEYDOWN, MSG_KEYUP, MSG_MOUSEMOVE, MSG_MOUSEDOWN, MSG_MOUSEUP}),
              std::vector<int32_t>({0, 16, 18, 32, 33, 34}));
    STraceSubSystem orphan('X'); // made with no core: never updated
    CCore* core = new CCore;
    STraceSubSystem a('A'), *b = new STraceSubSystem('B'), c('C');
    EXPECT_TRUE(core->Update());
    b->m_bResult = false;
    EXPECT_FALSE(core->Update() || core->UpdateAndPump());
    delete b; // leaves the list; the others keep their order
    EXPECT_TRUE(core->Update());
    EXPECT_EQ("CBACBCBCA", g_Trace);

    core->DiscardCurrentMessage(); // harmless on an empty queue
    for (int32_t type : {MSG_KEYDOWN, MSG_KEYUP, MSG_QUIT, MSG_MOUSEMOVE})
        core->AddMessage(new CMessage{type, {type + 1}});
    EXPECT_FALSE(core->UpdateAndPump());
    EXPECT_FALSE(core->UpdateAndPump()); // the quit stays until taken
    ASSERT_EQ(2, core->m_lMessages.m_Length);
    EXPECT_EQ(MSG_QUIT + 1, core->GetCurrentMessage()->m_aParam[0]);
    core->DiscardCurrentMessage();
    EXPECT_TRUE(core->UpdateAndPump());
    EXPECT_EQ(nullptr, core->GetCurrentMessage());

    // Destruction deletes the queue (the leak checker watches) and the registry.
    core->AddMessage(new CMessage{MSG_KEYUP, {}});
    Register("CNothing", "3D Device", nullptr);
    delete core;
    m_pCore = nullptr;
    EXPECT_EQ(nullptr, m_pFirstClass);
}

void PushKey(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
{
    SDL_Event event = {};
    event.type = type;
    event.key.repeat = repeat;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    ASSERT_EQ(1, SDL_PushEvent(&event)) << SDL_GetError();
}

// The key pump over SDL's real event queue: engine codes and typed characters,
// no repeats, a quit request first and once, other events left queued.
TEST(Core, KeyPump)
{
    ASSERT_EQ(0, SDL_Init(SDL_INIT_EVENTS)) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    CCore core;
    for (Uint16 mod : {KMOD_NONE, KMOD_LSHIFT}) {
        PushKey(SDL_KEYDOWN, SDLK_q, mod);
        PushKey(SDL_KEYDOWN, SDLK_q, mod, 1);
    }
    PushKey(SDL_KEYDOWN, SDLK_a, KMOD_CAPS);
    PushKey(SDL_KEYDOWN, SDLK_z, KMOD_CAPS | KMOD_RSHIFT);
    SDL_Event other = {};
    other.type = SDL_QUIT;
    ASSERT_EQ(1, SDL_PushEvent(&other));
    for (SDL_Keycode sym : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_F1, SDLK_F12, SDLK_7, SDL_KeyCode(1),
                            SDLK_LSHIFT, SDLK_UNKNOWN})
        PushKey(SDL_KEYDOWN, sym);
    for (int i = 0; i < 40; i++) // more than one fetch takes
        PushKey(SDL_KEYUP, SDLK_a + i);
    QuitEventHandler();
    std::vector<std::tuple<int32_t, int32_t, int32_t>> keys, expected = {
        {0, 0, 0},   {16, 81, 113}, {16, 81, 81}, {16, 65, 65}, {16, 90, 122}, {16, 37, 0}, {16, 39, 0},
        {16, 38, 0}, {16, 40, 0},   {16, 112, 0}, {16, 123, 0}, {16, 55, 55},  {16, 1, 1},
    };
    for (int i = 0; i < 40; i++)
        expected.emplace_back(18, i < 26 ? 65 + i : 97 + i, 97 + i);
    EXPECT_TRUE(core.OSPreUpdate());
    EXPECT_EQ(0, g_QuitRequest);
    for (CMessage* message; (message = core.GetCurrentMessage()); core.DiscardCurrentMessage())
        keys.emplace_back(message->m_Type, message->m_aParam[0], message->m_aParam[1]);
    EXPECT_EQ(expected, keys);
    EXPECT_EQ(1, SDL_PeepEvents(&other, 1, SDL_GETEVENT, SDL_QUIT, SDL_QUIT));
    m_pCore = nullptr;
    SDL_Quit();
}

CClass* CreateFirst() { g_Trace += '1'; return new CClass; }
CClass* CreateSecond() { g_Trace += '2'; return new CClass; }

// Exact, case-sensitive lookups by separate keys; the newest registration wins.
TEST(Core, ClassRegistry)
{
    auto dump = [] { NVorn::NTest::CLogCapture log; DumpClasses(); return log.m_Text; };
    g_Trace.clear();
    Register("CFirst", "3D Device", CreateFirst);
    Register("CSecond", "3D Device", CreateSecond);
    for (const char* key : {"3d device", "3D Devic", "3D Device ", static_cast<const char*>(nullptr)})
        EXPECT_EQ(nullptr, CreateByTag(key)) << (key ? key : "null");
    EXPECT_EQ(nullptr, CreateByName("3D Device"));
    delete CreateByTag("3D Device");
    delete CreateByName("CFirst");
    EXPECT_EQ("21", g_Trace);
    EXPECT_EQ("Registerd classes:\n\tCSecond\n\tCFirst\n", dump());

    // Texts longer than a field are cut to 63 characters; null ones are stored empty.
    Register(std::string(100, 'n').c_str(), std::string(64, 't').c_str(), nullptr), Register(nullptr, nullptr, nullptr);
    CHandle* handle = FindHandle(std::string(63, 'n').c_str()), *empty = FindHandleByTag("");
    ASSERT_TRUE(handle && empty && empty->m_aName[0] == 0);
    EXPECT_EQ(std::string(63, 't'), handle->m_aTag);
    EXPECT_EQ(nullptr, CreateByHandle(handle));
    Clear();
    EXPECT_EQ("Registerd classes:\n", dump());
}

const std::string kProbe = NVORN_MAIN_PROBE;

// Runs the probe from directory under the name argv0, with the environment changes of env (arguments
// of env(1)) and the one argument "/", which lies right after argv[0]; returns its output and "exit <status>".
std::string RunProbe(const std::string& directory, const std::string& argv0, const std::string& env)
{
    const std::string command = "env " + env + " bash -c 'cd " + directory + " && exec -a " + argv0 + " " + kProbe + " /'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char aBuffer[4096];
    for (size_t count; pipe && (count = fread(aBuffer, 1, sizeof(aBuffer), pipe)) > 0;)
        out.append(aBuffer, count);
    const int status = pipe ? pclose(pipe) : -1;
    return out + "exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

// Started from the root the program moves to its own folder; an argv[0]
// without a '/' (or with one only at its start) is tried whole, fails, and the
// program stays where it was; started anywhere else it stays put. Without a
// display it stops before the application, unless a screenless video driver
// was asked for by name.
TEST(Main, LogOrderWorkingDirectoryAndMissingDisplay)
{
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    const std::string directory = kProbe.substr(0, kProbe.rfind('/')), tmp = std::filesystem::canonical("/tmp");
    const std::string noDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ";
    const struct { std::string from, argv0, change, landing, env; } cases[] = {
        {"/", kProbe, "MAIN: Chaning to " + directory + "\n", std::filesystem::canonical(directory), ""},
        {"/", "core_main_probe", "MAIN: Chaning to core_main_probe\n", "/", ""},
        {"/", "/core_main_probe", "MAIN: Chaning to /core_main_probe\n", "/", ""},
        {"/", "./core_main_probe", "MAIN: Chaning to .\n", "/", ""},
        {tmp, kProbe, "", tmp, noDisplay + "SDL_VIDEODRIVER=offscreen"},
    };
    const std::string head = "CStdOutLogger attached\nMAIN:Initing SDL\nMAIN: Working directory is ";
    for (const auto& c : cases)
        EXPECT_EQ(head + c.from + "\n" + c.change + "MAIN:Calling VornMain()\n"
                  "PROBE: VornMain(Empty) in " + c.landing + " with a core\n"
                  "\nLeaked memory: 0 KiB, 0 blocks\nCStdOutLogger deattching\nexit 1",
                  RunProbe(c.from, c.argv0, c.env));

    // SDL's reason, or the driver it offers, follows on the same line, and the log closes after it.
    const struct { const char* driver; std::string reason; } failures[] = {
        {"SDL_VIDEODRIVER=x11", "MAIN: SDL_Init failed, cannot open the display: "}, {"", "MAIN: No display found: "},
    };
    for (const auto& f : failures)
    {
        const std::string out = RunProbe(tmp, kProbe, noDisplay + f.driver), start = head + tmp + "\n" + f.reason;
        EXPECT_EQ(start, out.substr(0, start.size()));
        EXPECT_EQ(out.find('\n', start.size()), out.rfind("\nCStdOutLogger deattching\nexit 2")) << out;
    }
}

} // namespace
