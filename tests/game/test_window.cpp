// The real game on the display device under a virtual display: the first
// frame read back at known places, then a long game of random keys.
#include "game/GameObject.h"
#include "game/Globals.h"
#include "game/Vorn.h"
#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <malloc.h>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <random>
#include <unistd.h>

#ifndef NVORN_SANITIZED_BUILD
// Bytes live from new, which the game's objects come from; the driver's own
// allocations go through malloc and stay out of it. The sanitizer build
// keeps its allocator and finds leaks by itself.
static std::atomic<long> g_NewBytes{0};
void* operator new(size_t size)
{
	void* p = std::malloc(size ? size : 1);
	if (!p)
		throw std::bad_alloc();
	g_NewBytes += long(malloc_usable_size(p));
	return p;
}
void operator delete(void* p) noexcept
{
	g_NewBytes -= long(malloc_usable_size(p));
	std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }
#endif

namespace
{
std::vector<uint8_t> g_lFirstFrame;   // RGBA, bottom row first

// The display device, reading its first frame back just before the swap.
class CReadbackDevice : public COpenGLDevice_SDL
{
public:
	void SwapBuffers() override
	{
		if (g_lFirstFrame.empty())
		{
			g_lFirstFrame.resize(640 * 480 * 4);
			glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, g_lFirstFrame.data());
		}
		COpenGLDevice_SDL::SwapBuffers();
	}
};

// SDL stays initialised at the end: quitting it unloads the OpenGL driver,
// whose last allocations the leak checker would then report.
class Window : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		new NVorn::NCore::CCore;
		NVorn::NClassRegistry::Register("CReadbackDevice", NVorn::N3D::aDeviceClassTag,
		                                []() -> NVorn::NClassRegistry::CClass* { return new CReadbackDevice; });
		g_bStarted = getenv("DISPLAY") && SDL_Init(SDL_INIT_VIDEO) == 0 && chdir(NVORN_ASSET_DIR) == 0 && GameSetup() == 0;
	}
	static void TearDownTestSuite() { GameShutdown(); }
	void SetUp() override
	{
		if (!getenv("DISPLAY"))
			GTEST_SKIP() << "no display: run under xvfb-run";
		ASSERT_TRUE(g_bStarted);
	}
	static bool g_bStarted;
};
bool Window::g_bStarted = false;
}

// Must stay the first test: it looks at the first frame, drawn at fixed
// places by the random sequence. The ship at rest at the centre and the
// first glyph, 'N', centred on the right edge show their texels one to one.
TEST_F(Window, TheFirstFrameShowsShipRocksStarsAndTextInTheirColours)
{
	GameFrame();
	ASSERT_FALSE(g_lFirstFrame.empty());
	const int places[][5] = {
		{320, 235, 110, 223, 251}, {320, 240, 116, 132, 156}, {304, 252, 236, 66, 47},   // canopy, body, wing
		{300, 224, 13, 13, 26},                                                          // the ship's see-through corner
		{212, 98, 86, 76, 67}, {467, 26, 75, 66, 58},                                    // two big rocks
		{48, 83, 235, 240, 250}, {530, 324, 244, 248, 254},                              // two stars
		{635, 395, 255, 255, 255}, {635, 403, 191, 223, 255},                            // the glyph's stem
		{639, 406, 13, 13, 26}, {100, 300, 13, 13, 26},                                  // see-through glyph, clear colour
	};
	for (const int* place : places)
		for (int c = 0; c < 3; c++)
			EXPECT_NEAR(g_lFirstFrame[((479 - place[1]) * 640 + place[0]) * 4 + c], place[2 + c], 3)
			    << place[0] << "," << place[1] << " channel " << c;
	EXPECT_EQ(g_lFirstFrame[(179 * 640 + 100) * 4 + 3], 255) << "the clear colour is opaque";
}

// The world stays bounded, OpenGL reports no error and what new holds does
// not grow. Three frames in four are not drawn, to play for longer.
TEST_F(Window, ALongGameOfRandomKeysStaysSound)
{
#ifdef NVORN_SANITIZED_BUILD
	const int frames = 2000;
#else
	const int frames = 40000;
#endif
	std::mt19937 random(20261206);
	// Each key toggles now and then; the down arrow is one the game ignores.
	const SDL_Keycode keys[] = {SDLK_SPACE, SDLK_UP, SDLK_LEFT, SDLK_RIGHT, SDLK_DOWN};
	bool held[5] = {};
	long largest = 0;
	[[maybe_unused]] long fewest[2] = {LONG_MAX, LONG_MAX};   // live bytes, fewest in the second and in the last quarter
	for (int frame = 0; frame < frames; frame++)
	{
		int k = random() % 12;
		if (k < 5)
		{
			SDL_Event event = {};
			held[k] = !held[k];
			event.type = held[k] ? SDL_KEYDOWN : SDL_KEYUP;
			event.key.keysym.sym = keys[k];
			SDL_PushEvent(&event);
		}
		if (frame % 4 == 0)
			GameFrame();
		else
		{
			GameRestartIfPending();
			GameUpdateObjects();
			GameRemoveDeadObjects();
			GamePumpMessages();
		}
		GameAdvanceClock(1.0f / 60);
		ASSERT_LE(g_lObjects.m_Length, 200) << frame;   // 130 rocks at most, a ship and a second of shots
		largest = std::max(largest, g_lObjects.m_Length);
#ifndef NVORN_SANITIZED_BUILD
		if (frame % 100 == 0 && frame >= frames / 4 && (frame < frames / 2 || frame >= frames * 3 / 4))
			fewest[frame >= frames / 2] = std::min(fewest[frame >= frames / 2], g_NewBytes.load());
#endif
	}
	EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	EXPECT_GT(largest, 11) << "the game never got beyond its first world";
#ifndef NVORN_SANITIZED_BUILD
	EXPECT_LT(fewest[1] - fewest[0], 16384) << "the game's objects leak";
#endif
}
