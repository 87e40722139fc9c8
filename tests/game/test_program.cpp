// The program vorn run as a child process: its log and exit status when its
// window is closed, interrupted or terminated (in a folder of missing and
// broken textures). The entry's own tests start it without a display.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
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
			found = items == 1 && *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid) ? children[i] : 0;
		XFree(data);
	}
	XFree(children);
	return found;
}

// Runs vorn in folder; returns its exit status and its output in log. It
// waits for the window, lets the game play a little, then sends the signal,
// or for 0 the close request of the window's close button.
int RunVorn(const std::string& folder, Display* display, int ending, std::string& log)
{
	const std::string path = testing::TempDir() + "vorn-" + std::to_string(getpid()) + ".log";
	pid_t pid = fork();
	if (pid == 0)
	{
		int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		dup2(out, 1);
		dup2(out, 2);
#ifdef NVORN_SANITIZED_BUILD
		// main unloads the OpenGL driver at exit, orphaning a few of the
		// driver's allocations; the game's own leaks are checked in-process.
		setenv("ASAN_OPTIONS", (std::string(getenv("ASAN_OPTIONS") ?: "") + ":detect_leaks=0").c_str(), 1);
#endif
		if (chdir(folder.c_str()) == 0)
			execl(NVORN_VORN_PATH, "vorn", static_cast<char*>(nullptr));
		_exit(101);
	}
	Window window = 0;
	for (int i = 0; i < 600 && !(window = FindWindow(display, pid)); i++)
		usleep(50000);
	if (window)
	{
		usleep(700000);
		EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the game stopped by itself";
		XEvent close = {};
		close.xclient.type = ClientMessage;
		close.xclient.window = window;
		close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
		close.xclient.format = 32;
		close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
		if (ending)
			kill(pid, ending);
		else
			XSendEvent(display, window, False, NoEventMask, &close);
		XFlush(display);
	}
	int status = -1, ended = 0;
	for (int i = 0; i < 600 && !(ended = waitpid(pid, &status, WNOHANG)); i++)
		usleep(50000);
	if (!ended && kill(pid, SIGKILL) == 0)
		waitpid(pid, &status, 0);
	std::stringstream text;
	text << std::ifstream(path).rdbuf();
	log = text.str();
	std::remove(path.c_str());
	return status;
}
}

TEST(Program, ClosedInterruptedOrTerminatedItEndsCleanly)
{
	Display* display = getenv("DISPLAY") ? XOpenDisplay(nullptr) : nullptr;
	if (!display)
		GTEST_SKIP() << "no display: run under xvfb-run";
	// Other programs' windows come and go while this one is looked for: a
	// window gone between listing and reading is no error here.
	XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
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
		std::string log;
		int status = RunVorn(folder, display, ending, log);
		ASSERT_TRUE(WIFEXITED(status)) << ending << " ended it by signal " << WTERMSIG(status);
		EXPECT_EQ(WEXITSTATUS(status), 1) << ending;
		EXPECT_EQ(log.rfind("CStdOutLogger attached\nMAIN:Initing SDL\nMAIN: Working directory is " + folder +
		                        "\nMAIN:Calling VornMain()\n3ddevice: Best mode: ", 0), 0u) << log;
		const std::string end = "\nLeaked memory: 0 KiB, 0 blocks\nCStdOutLogger deattching\n";
		EXPECT_TRUE(log.size() > end.size() && log.compare(log.size() - end.size(), end.size(), end) == 0) << log;
		EXPECT_EQ(log.find("Bum"), std::string::npos) << log;
	}
	XCloseDisplay(display);
}
