// Runs the whole program (main with a stand-in VornMain) as a child process and
// checks its log, its working directory and its exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace {

const std::string kProbe = NVORN_MAIN_PROBE;

// Runs the probe from directory under the name argv0, with the environment
// changes of env (arguments of env(1)); returns its output and "exit <status>".
std::string RunProbe(const std::string& directory, const std::string& argv0, const std::string& env)
{
    const std::string command = "env " + env + " bash -c 'cd " + directory + " && exec -a " + argv0 + " " + kProbe + "'";
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
