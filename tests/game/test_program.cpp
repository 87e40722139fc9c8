// The program vorn run as a child process from the folder it was built in,
// beside its textures: its log from start to end, and the ways it stops.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
bool HaveDisplay()
{
	return std::getenv("DISPLAY") != nullptr;
}

// One run of the program with its standard output in a file.
class CGameProcess
{
public:
	// Starts vorn in folder; without a display when display is false (on
	// the X11 driver: left to choose, the window system would fall back to
	// drawing off screen).
	CGameProcess(const std::string& folder, bool display = true)
	{
		m_LogPath = testing::TempDir() + "/vorn-" + std::to_string(getpid()) + "-" + std::to_string(g_Runs++) + ".log";
		m_Pid = fork();
		if (m_Pid == 0)
		{
			int log = open(m_LogPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			dup2(log, 1);
			dup2(log, 2);
			if (chdir(folder.c_str()) != 0)
				_exit(100);
#ifdef NVORN_SANITIZED_BUILD
			// main unloads the OpenGL driver at exit, orphaning a few of the
			// driver's allocations; the game's own leaks are checked in-process.
			std::string options = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
			setenv("ASAN_OPTIONS", (options + ":detect_leaks=0").c_str(), 1);
#endif
			if (!display)
			{
				unsetenv("DISPLAY");
				unsetenv("WAYLAND_DISPLAY");
				setenv("SDL_VIDEODRIVER", "x11", 1);
			}
			execl(NVORN_VORN_PATH, "vorn", static_cast<char*>(nullptr));
			_exit(101);
		}
	}

	~CGameProcess()
	{
		if (m_Pid > 0 && !m_bExited)
		{
			kill(m_Pid, SIGKILL);
			waitpid(m_Pid, nullptr, 0);
		}
		std::remove(m_LogPath.c_str());
	}

	// The game's window, found by the process id the window system records
	// for it; 0 until it exists.
	Window FindWindow(Display* display)
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
			if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
			                       &after, &data) == Success && data)
			{
				if (items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == m_Pid)
					found = children[i];
				XFree(data);
			}
		}
		if (children)
			XFree(children);
		return found;
	}

	// Asks the window to close, as its close button does.
	void RequestClose(Display* display)
	{
		XEvent close = {};
		close.xclient.type = ClientMessage;
		close.xclient.window = FindWindow(display);
		close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
		close.xclient.format = 32;
		close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
		close.xclient.data.l[1] = CurrentTime;
		XSendEvent(display, close.xclient.window, False, NoEventMask, &close);
		XFlush(display);
	}

	// Waits until the window is up and the game has run a little.
	bool WaitForWindow(Display* display)
	{
		for (int i = 0; i < 200; i++)
		{
			if (FindWindow(display))
			{
				std::this_thread::sleep_for(std::chrono::milliseconds(700));
				return true;
			}
			std::this_thread::sleep_for(std::chrono::milliseconds(50));
		}
		return false;
	}

	// Waits up to 20 s for the process to end.
	bool Wait()
	{
		for (int i = 0; i < 400; i++)
		{
			if (waitpid(m_Pid, &m_Status, WNOHANG) == m_Pid)
			{
				m_bExited = true;
				return true;
			}
			std::this_thread::sleep_for(std::chrono::milliseconds(50));
		}
		return false;
	}

	std::string Log() const
	{
		std::ifstream in(m_LogPath);
		return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
	}

	pid_t m_Pid = -1;
	int m_Status = 0;
	bool m_bExited = false;

private:
	std::string m_LogPath;
	static int g_Runs;
};
int CGameProcess::g_Runs = 0;

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The whole log of a run that ended normally, in order.
void ExpectCleanRun(CGameProcess& game, const std::string& folder)
{
	ASSERT_TRUE(WIFEXITED(game.m_Status)) << "ended by signal " << WTERMSIG(game.m_Status);
	EXPECT_EQ(WEXITSTATUS(game.m_Status), 1);
	std::string log = game.Log();
	EXPECT_EQ(log.rfind("CStdOutLogger attached\nMAIN:Initing SDL\nMAIN: Working directory is " + folder +
	                                "\nMAIN:Calling VornMain()\n3ddevice: Best mode: ", 0), 0u)
	    << log.substr(0, 400);
	const char* lines[] = {
		"COpenGLDevice_SDL::Init(): Initing display, 640x480x0 fullscreen=0\n",
		"COpenGLDevice_SDL::Init(): Creating window\n",
		"COpenGLDevice_SDL::Init(): Choosing pixel format\n",
		"COpenGLDevice_SDL::Init(): Creating render context\n",
		"COpenGLDevice_SDL::Init(): Final report, rendercontext=",
		"Extentions: GL_",
	};
	size_t at = 0;
	for (const char* line : lines)
	{
		size_t found = log.find(line, at);
		EXPECT_NE(found, std::string::npos) << "missing or out of order: " << line;
		if (found != std::string::npos)
			at = found;
	}
	EXPECT_TRUE(EndsWith(log, "\nLeaked memory: 0 KiB, 0 blocks\nCStdOutLogger deattching\n"))
	    << log.substr(log.size() > 300 ? log.size() - 300 : 0);
	EXPECT_EQ(log.find("Bum"), std::string::npos);
}

class Program : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if (!HaveDisplay())
			GTEST_SKIP() << "no display: run under xvfb-run";
		m_pDisplay = XOpenDisplay(nullptr);
		ASSERT_NE(m_pDisplay, nullptr);
	}
	void TearDown() override
	{
		if (m_pDisplay)
			XCloseDisplay(m_pDisplay);
	}

	Display* m_pDisplay = nullptr;
};
}

// Ended by SIGTERM, by SIGINT and (0) by a close request to its window. The
// SIGTERM run is in a folder where the ship's texture is missing and a
// rock's is not a picture: the game runs on until it is ended.
TEST_F(Program, SignalsAndClosingTheWindowEachEndItCleanly)
{
	const std::string broken = testing::TempDir() + "/vorn-no-textures";
	mkdir(broken.c_str(), 0755);
	std::remove((broken + "/tree.tga").c_str());
	std::ofstream(broken + "/tessik_1.tga") << "not a picture";
	char real[PATH_MAX];
	ASSERT_NE(realpath(broken.c_str(), real), nullptr);
	for (int ending : {SIGTERM, SIGINT, 0})
	{
		SCOPED_TRACE(ending);
		const std::string folder = ending == SIGTERM ? real : NVORN_BIN_DIR;
		CGameProcess game(folder);
		ASSERT_TRUE(game.WaitForWindow(m_pDisplay));
		ASSERT_EQ(waitpid(game.m_Pid, nullptr, WNOHANG), 0) << "the game stopped by itself";
		if (ending != 0)
			kill(game.m_Pid, ending);
		else
			game.RequestClose(m_pDisplay);
		ASSERT_TRUE(game.Wait());
		ExpectCleanRun(game, folder);
	}
}

TEST(ProgramWithoutDisplay, SaysSoAndEndsWithoutACrash)
{
	CGameProcess game(NVORN_BIN_DIR, false);
	ASSERT_TRUE(game.Wait());
	ASSERT_TRUE(WIFEXITED(game.m_Status)) << "ended by signal " << WTERMSIG(game.m_Status);
	std::string log = game.Log();
	EXPECT_NE(log.find("display"), std::string::npos) << log;
	EXPECT_EQ(log.find("MAIN:Calling VornMain()"), std::string::npos) << log;
	EXPECT_TRUE(EndsWith(log, "CStdOutLogger deattching\n")) << log;
}
