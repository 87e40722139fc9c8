// Runs the whole program (main with a stand-in VornMain) as a child process and
// checks its log, its working directory and its exit status.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const std::string kProbe = NVORN_MAIN_PROBE;

struct SRun
{
    int         m_Status = -1;  // exit status, or -1 when the child did not exit
    std::string m_Out;          // everything it wrote to standard output
};

std::string RealPath(const std::string& path)
{
    char aPath[PATH_MAX];
    return realpath(path.c_str(), aPath) ? aPath : path;
}

// This environment; without a display it lacks DISPLAY, WAYLAND_DISPLAY and
// SDL_VIDEODRIVER, and takes driver (when given) as SDL_VIDEODRIVER instead.
std::vector<std::string> Environment(bool display, const char* driver = nullptr)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; entry++) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (display || (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "SDL_VIDEODRIVER"))
            env.push_back(text);
    }
    if (driver)
        env.push_back(std::string("SDL_VIDEODRIVER=") + driver);
    return env;
}

// Starts the probe in directory with the given argv (argv[0] first; an empty
// list starts it with no arguments at all) and waits for it.
SRun RunProbe(const std::string& directory, const std::vector<std::string>& args,
              const std::vector<std::string>& env = Environment(true))
{
    std::vector<char*> argv, envp;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (const std::string& entry : env)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    SRun run;
    int aPipe[2];
    if (pipe(aPipe) != 0)
        return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(aPipe[1], STDOUT_FILENO);
        close(aPipe[0]);
        close(aPipe[1]);
        if (chdir(directory.c_str()) == 0)
            execve(kProbe.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(aPipe[1]);
    char aBuffer[4096];
    ssize_t count;
    while ((count = read(aPipe[0], aBuffer, sizeof(aBuffer))) > 0)
        run.m_Out.append(aBuffer, count);
    close(aPipe[0]);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.m_Status = WEXITSTATUS(status);
    return run;
}

std::string ExpectedLog(const std::string& workingDirectory, const std::string& changeLine,
                        const std::string& probeDirectory)
{
    return "CStdOutLogger attached\n"
           "MAIN:Initing SDL\n"
           "MAIN: Working directory is " + workingDirectory + "\n" +
           changeLine +
           "MAIN:Calling VornMain()\n"
           "PROBE: VornMain(Empty) in " + probeDirectory + " with a core\n"
           "\nLeaked memory: 0 KiB, 0 blocks\n"
           "CStdOutLogger deattching\n";
}

// Started from the root the program moves to its own folder; an argv[0]
// without a '/' (or with one only at its start) is tried whole, fails, and the
// program stays where it was. Started anywhere else it stays put.
TEST(Main, LogOrderAndWorkingDirectoryRule)
{
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    const std::string directory = kProbe.substr(0, kProbe.rfind('/'));
    const std::string tmp = RealPath("/tmp");
    const struct
    {
        std::string from, argv0, changeLine, landing;
    } cases[] = {
        {"/", kProbe, "MAIN: Chaning to " + directory + "\n", RealPath(directory)},
        {"/", "core_main_probe", "MAIN: Chaning to core_main_probe\n", "/"},
        {"/", "/core_main_probe", "MAIN: Chaning to /core_main_probe\n", "/"},
        {tmp, kProbe, "", tmp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from + " " + c.argv0);
        SRun run = RunProbe(c.from, {c.argv0});
        EXPECT_EQ(1, run.m_Status);
        EXPECT_EQ(ExpectedLog(c.from, c.changeLine, c.landing), run.m_Out);
    }

    SRun run = RunProbe("/", {});
    EXPECT_EQ(1, run.m_Status);
    EXPECT_NE(std::string::npos, run.m_Out.find("PROBE: VornMain(Empty) in / with a core\n"));
}

TEST(Main, WithoutDisplayReturnsTwoBeforeTheApplication)
{
    const std::string tmp = RealPath("/tmp");
    SRun run = RunProbe(tmp, {kProbe}, Environment(false, "x11"));
    EXPECT_EQ(2, run.m_Status);
    const std::string head = "CStdOutLogger attached\n"
                             "MAIN:Initing SDL\n"
                             "MAIN: Working directory is " + tmp + "\n"
                             "MAIN: SDL_Init failed, cannot open the display: ";
    // The reason is SDL's own text, on one line, and the log closes after it.
    const size_t reasonEnd = run.m_Out.find('\n', head.size());
    ASSERT_NE(std::string::npos, reasonEnd);
    EXPECT_GT(reasonEnd, head.size());
    EXPECT_EQ(head, run.m_Out.substr(0, head.size()));
    EXPECT_EQ("\nCStdOutLogger deattching\n", run.m_Out.substr(reasonEnd));

    // Left to itself SDL starts a video driver with no screen when no display
    // is reachable; that is no display either, unless the driver was asked for.
    SRun fallback = RunProbe(tmp, {kProbe}, Environment(false));
    EXPECT_EQ(2, fallback.m_Status);
    EXPECT_NE(std::string::npos, fallback.m_Out.find("MAIN: No display found: "));
    EXPECT_EQ(std::string::npos, fallback.m_Out.find("Leaked memory"));
    for (const SRun& failed : {run, fallback})
        EXPECT_EQ(std::string::npos, failed.m_Out.find("VornMain"));

    SRun requested = RunProbe(tmp, {kProbe}, Environment(false, "offscreen"));
    EXPECT_EQ(1, requested.m_Status);
    EXPECT_NE(std::string::npos, requested.m_Out.find("PROBE: VornMain(Empty)"));
}

} // namespace
