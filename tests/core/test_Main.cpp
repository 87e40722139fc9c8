// Runs the whole program (main with a stand-in VornMain) as a child process and
// checks its log, its working directory and its exit status.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/wait.h>

namespace {

const std::string kProbe = NVORN_MAIN_PROBE;

std::string RealPath(const std::string& path)
{
    char aPath[PATH_MAX];
    return realpath(path.c_str(), aPath) ? aPath : path;
}

// Runs the probe from directory under the name argv0, with the environment
// changes of env (arguments of env(1)); returns its output and "exit <status>".
std::string RunProbe(const std::string& directory, const std::string& argv0, const std::string& env = "")
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
    const std::string directory = kProbe.substr(0, kProbe.rfind('/')), tmp = RealPath("/tmp");
    const struct { std::string from, argv0, change, landing; } cases[] = {
        {"/", kProbe, "MAIN: Chaning to " + directory + "\n", RealPath(directory)},
        {"/", "core_main_probe", "MAIN: Chaning to core_main_probe\n", "/"},
        {"/", "/core_main_probe", "MAIN: Chaning to /core_main_probe\n", "/"},
        {tmp, kProbe, "", tmp},
    };
    const std::string head = "CStdOutLogger attached\nMAIN:Initing SDL\nMAIN: Working directory is ";
    for (const auto& c : cases)
        EXPECT_EQ(head + c.from + "\n" + c.change + "MAIN:Calling VornMain()\n"
                  "PROBE: VornMain(Empty) in " + c.landing + " with a core\n"
                  "\nLeaked memory: 0 KiB, 0 blocks\nCStdOutLogger deattching\nexit 1",
                  RunProbe(c.from, c.argv0));

    // SDL's reason follows on the same line, and the log closes after it.
    const std::string noDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ";
    const std::string failed = RunProbe(tmp, kProbe, noDisplay + "SDL_VIDEODRIVER=x11");
    const std::string failedHead = head + tmp + "\nMAIN: SDL_Init failed, cannot open the display: ";
    EXPECT_EQ(failedHead, failed.substr(0, failedHead.size()));
    EXPECT_EQ(failed.find('\n', failedHead.size() + 1), failed.rfind("\nCStdOutLogger deattching\nexit 2"));
    const std::string fallback = RunProbe(tmp, kProbe, noDisplay);
    EXPECT_NE(std::string::npos, fallback.find("MAIN: No display found: "));
    EXPECT_EQ(fallback.substr(fallback.size() - 32), "\nCStdOutLogger deattching\nexit 2");
    EXPECT_EQ(std::string::npos, (failed + fallback).find("VornMain"));
    const std::string offscreen = RunProbe(tmp, kProbe, noDisplay + "SDL_VIDEODRIVER=offscreen");
    EXPECT_NE(std::string::npos, offscreen.find("PROBE: VornMain(Empty)"));
}

} // namespace
