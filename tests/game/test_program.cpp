// The program vorn run as a child process: its log and exit status when its
// window is closed, when it is interrupted or terminated (in a folder of
// missing and broken textures), and when there is no display.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
void Sleep(int ms)
{
	std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The top-level window whose owner the window system records as pid; 0 if none.
Window FindWindow(Display* display, pid_t pid)
{
	Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
	Window root, parent, *children = nullptr, found = 0;
	unsigned count = 0;
	if (pidAtom == None || !XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
		return 0;
	for (unsigned i = 0; i < count && !found; i++)
	{
		Atom type;
		int format;
		unsigned long items, after;
		unsigned char* data = nullptr;
		if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
		                       &data) == Success && data)
		{
			found = items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid ? children[i] : 0;
			XFree(data);
		}
	}
	XFree(children);
	return found;
}

// The close request a window's close button sends.
void RequestClose(Display* display, Window window)
{
	XEvent close = {};
	close.xclient.type = ClientMessage;
	close.xclient.window = window;
	close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
	close.xclient.format = 32;
	close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
	XSendEvent(display, window, False, NoEventMask, &close);
	XFlush(display);
}

struct SRun
{
	int m_Status = -1;
	std::string m_Log;
};

// Runs vorn in folder. With a display, waits for its window, lets it play a
// little and ends it with the signal, or with a close request for 0; without
// one, the window system is left no display to fall back on.
SRun RunVorn(const std::string& folder, Display* display, int ending)
{
	const std::string logPath = testing::TempDir() + "vorn-" + std::to_string(getpid()) + ".log";
	pid_t pid = fork();
	if (pid == 0)
	{
		int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		dup2(log, 1);
		dup2(log, 2);
#ifdef NVORN_SANITIZED_BUILD
		// main unloads the OpenGL driver at exit, orphaning a few of the
		// driver's allocations; the game's own leaks are checked in-process.
		setenv("ASAN_OPTIONS", (std::string(std::getenv("ASAN_OPTIONS") ?: "") + ":detect_leaks=0").c_str(), 1);
#endif
		if (!display)
		{
			unsetenv("DISPLAY");
			unsetenv("WAYLAND_DISPLAY");
			setenv("SDL_VIDEODRIVER", "x11", 1);
		}
		if (chdir(folder.c_str()) == 0)
			execl(NVORN_VORN_PATH, "vorn", static_cast<char*>(nullptr));
		_exit(101);
	}
	SRun run;
	Window window = 0;
	for (int i = 0; display && i < 200 && !(window = FindWindow(display, pid)); i++)
		Sleep(50);
	if (window)
	{
		Sleep(700);
		EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the game stopped by itself";
		if (ending)
			kill(pid, ending);
		else
			RequestClose(display, window);
	}
	bool ended = false;
	for (int i = 0; i < 400 && !(ended = waitpid(pid, &run.m_Status, WNOHANG) == pid); i++)
		Sleep(50);
	if (!ended)
	{
		kill(pid, SIGKILL);
		waitpid(pid, &run.m_Status, 0);
	}
	std::stringstream log;
	log << std::ifstream(logPath).rdbuf();
	run.m_Log = log.str();
	std::remove(logPath.c_str());
	return run;
}

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}

TEST(Program, ClosedInterruptedOrTerminatedItEndsCleanly)
{
	if (!std::getenv("DISPLAY"))
		GTEST_SKIP() << "no display: run under xvfb-run";
	Display* display = XOpenDisplay(nullptr);
	ASSERT_NE(display, nullptr);
	// The terminated run has no ship texture and a rock texture that is not
	// a picture: those sprites stay invisible and the game plays on.
	const std::string broken = testing::TempDir() + "vorn-no-textures";
	mkdir(broken.c_str(), 0755);
	std::ofstream(broken + "/tessik_1.tga") << "not a picture";
	char real[PATH_MAX];
	ASSERT_NE(realpath(broken.c_str(), real), nullptr);
	for (int ending : {0, SIGINT, SIGTERM})
	{
		const std::string folder = ending == SIGTERM ? real : NVORN_BIN_DIR;
		SRun run = RunVorn(folder, display, ending);
		ASSERT_TRUE(WIFEXITED(run.m_Status)) << "signal " << ending << " ended it by signal " << WTERMSIG(run.m_Status);
		EXPECT_EQ(WEXITSTATUS(run.m_Status), 1) << ending;
		EXPECT_EQ(run.m_Log.rfind("CStdOutLogger attached\nMAIN:Initing SDL\nMAIN: Working directory is " + folder +
		                              "\nMAIN:Calling VornMain()\n3ddevice: Best mode: ", 0), 0u) << run.m_Log;
		EXPECT_NE(run.m_Log.find("\nCOpenGLDevice_SDL::Init(): Final report, rendercontext="), std::string::npos);
		EXPECT_EQ(run.m_Log.find("Bum"), std::string::npos) << run.m_Log;
		EXPECT_TRUE(EndsWith(run.m_Log, "\nLeaked memory: 0 KiB, 0 blocks\nCStdOutLogger deattching\n")) << run.m_Log;
	}
	XCloseDisplay(display);
}

TEST(Program, WithoutADisplayItSaysSoAndEnds)
{
	SRun run = RunVorn(NVORN_BIN_DIR, nullptr, 0);
	ASSERT_TRUE(WIFEXITED(run.m_Status)) << "ended by signal " << WTERMSIG(run.m_Status);
	EXPECT_EQ(WEXITSTATUS(run.m_Status), 2);
	EXPECT_NE(run.m_Log.find("\nMAIN: SDL_Init failed, cannot open the display: "), std::string::npos) << run.m_Log;
	EXPECT_EQ(run.m_Log.find("VornMain"), std::string::npos) << run.m_Log;
	EXPECT_TRUE(EndsWith(run.m_Log, "CStdOutLogger deattching\n")) << run.m_Log;
}
