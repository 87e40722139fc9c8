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

#include <cmath>
#include <cstdlib>
#include <malloc.h>
#include <random>
#include <unistd.h>
#include <vector>

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
			glReadBuffer(GL_BACK);
			glPixelStorei(GL_PACK_ALIGNMENT, 1);
			glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, g_lFirstFrame.data());
		}
		COpenGLDevice_SDL::SwapBuffers();
	}
};

NVorn::NClassRegistry::CClass* CreateReadbackDevice()
{
	return new CReadbackDevice;
}

const uint8_t* Pixel(float x, float y)
{
	return &g_lFirstFrame[((479 - static_cast<int>(y)) * 640 + static_cast<int>(x)) * 4];
}

// Whether a and b lie within d of each other on the wrapping field.
bool Near(NVorn::TVector2<float> a, NVorn::TVector2<float> b, float d)
{
	float dx = std::fabs(a.x - b.x), dy = std::fabs(a.y - b.y);
	return std::min(dx, 640 - dx) < d && std::min(dy, 480 - dy) < d;
}

// SDL stays initialised at the end: quitting it unloads the OpenGL driver,
// whose last allocations the leak checker would then report.
class Window : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		if (!std::getenv("DISPLAY") || SDL_Init(SDL_INIT_VIDEO) != 0)
			return;
		new NVorn::NCore::CCore;
		NVorn::NClassRegistry::Register("CReadbackDevice", NVorn::N3D::aDeviceClassTag, CreateReadbackDevice);
		g_bStarted = chdir(NVORN_ASSET_DIR) == 0 && GameSetup() == 0;
	}
	static void TearDownTestSuite()
	{
		GameShutdown();
		delete NVorn::NCore::m_pCore;
		NVorn::NCore::m_pCore = nullptr;
	}
	void SetUp() override
	{
		if (!std::getenv("DISPLAY"))
			GTEST_SKIP() << "no display: run under xvfb-run";
		ASSERT_TRUE(g_bStarted);
	}
	static bool g_bStarted;
};
bool Window::g_bStarted = false;
}

// Must stay the first test: it looks at the first frame.
TEST_F(Window, TheFirstFrameShowsShipRocksStarsAndTextInTheirColours)
{
	GameFrame();
	ASSERT_FALSE(g_lFirstFrame.empty());
	auto expectColour = [](float x, float y, int r, int g, int b) {
		const uint8_t* p = Pixel(x, y);
		EXPECT_LE(std::max({std::abs(p[0] - r), std::abs(p[1] - g), std::abs(p[2] - b)}), 2)
		    << x << "," << y << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
	};
	// The ship, at rest at the centre, shows its texels one to one: blue
	// canopy, grey body, red wing; then the first glyph, 'N', centred on the
	// right edge: white at the top of its stem, blue-white at the bottom.
	expectColour(320, 235, 110, 223, 251);
	expectColour(320, 240, 116, 132, 156);
	expectColour(304, 252, 236, 66, 47);
	expectColour(635, 395, 255, 255, 255);
	expectColour(635, 403, 191, 223, 255);

	// Rocks no later object covers are warm grey at their centre; stars away
	// from every object and the text are bright and bluish at theirs.
	int rocks = 0, stars = 0;
	for (long i = 0; i < 10; i++)
	{
		bool covered = false;
		for (long j = i + 1; j < g_lObjects.m_Length; j++)
			covered = covered || Near(g_lObjects[i]->m_Pos, g_lObjects[j]->m_Pos, 60);
		if (covered || g_lObjects[i]->m_Pos.y > 370)
			continue;
		const uint8_t* p = Pixel(g_lObjects[i]->m_Pos.x, g_lObjects[i]->m_Pos.y);
		EXPECT_TRUE(p[0] > p[1] && p[1] > p[2] && p[0] > p[2] + 10 && p[0] > 60 && p[0] < 200)
		    << "rock " << i << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
		rocks++;
	}
	for (const SStar& star : g_aStars)
	{
		NVorn::TVector2<float> at(star.m_Pos.x - 160 * star.m_fSize / 12, star.m_Pos.y - 120 * star.m_fSize / 12);
		bool covered = at.x < 8 || at.y < 8 || at.x > 632 || at.y > 370 || star.m_fSize < 9;
		for (long j = 0; j < g_lObjects.m_Length; j++)
			covered = covered || Near(at, g_lObjects[j]->m_Pos, 50);
		if (covered)
			continue;
		const uint8_t* p = Pixel(at.x, at.y);
		EXPECT_TRUE(p[0] + p[1] + p[2] > 450 && p[2] >= p[0]) << at.x << "," << at.y << ": " << int(p[0]) << " "
		                                                      << int(p[1]) << " " << int(p[2]);
		stars++;
	}
	EXPECT_GE(rocks, 3);
	EXPECT_GE(stars, 10);
}

// Objects stay in the field, the world stays bounded, OpenGL reports no error
// and the heap does not grow. Most frames skip drawing, to play for longer.
TEST_F(Window, ALongGameOfRandomKeysStaysSound)
{
#ifdef NVORN_SANITIZED_BUILD
	const int frames = 2000;
#else
	const int frames = 100000;
#endif
	std::mt19937 random(20261206);
	// Space most often, so that shots and fragments fill the field; the down
	// arrow and a letter are keys the game ignores.
	const SDL_Keycode keys[] = {SDLK_SPACE, SDLK_SPACE, SDLK_SPACE, SDLK_UP, SDLK_LEFT, SDLK_RIGHT, SDLK_DOWN, SDLK_a};
	bool held[8] = {};
	long largest = 0;
	double heap[2] = {0, 0};   // summed over the second and the last quarter
	for (int frame = 0; frame < frames; frame++)
	{
		if (random() % 3 == 0)
		{
			int k = random() % 8, state = keys[k] == SDLK_SPACE ? 0 : k;
			held[state] = !held[state];
			SDL_Event event = {};
			event.type = held[state] ? SDL_KEYDOWN : SDL_KEYUP;
			event.key.keysym.sym = keys[k];
			SDL_PushEvent(&event);
		}
		if (frame % 4 == 0)
			GameFrame();
		else
		{
			GameRestartIfPending();
			GameUpdateObjects();
			for (long i = 0; i < g_lObjects.m_Length; i++)
			{
				NVorn::TVector2<float> p = g_lObjects[i]->m_Pos;
				ASSERT_TRUE(p.x >= 0 && p.x <= 640 && p.y >= 0 && p.y <= 480) << frame << ": " << p.x << "," << p.y;
			}
			GameRemoveDeadObjects();
			GamePumpMessages();
		}
		GameAdvanceClock(1.0f / 60);
		ASSERT_LE(g_lObjects.m_Length, 200) << frame;   // 130 rocks at most, a ship and a second of shots
		largest = std::max(largest, g_lObjects.m_Length);
		if (frame % 500 == 0 && frame >= frames / 4 && (frame < frames / 2 || frame >= frames * 3 / 4))
			heap[frame >= frames / 2] += static_cast<double>(mallinfo2().uordblks);
	}
	EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	EXPECT_GT(largest, 11) << "the game never got beyond its first world";
#ifndef NVORN_SANITIZED_BUILD
	EXPECT_LT(heap[1] - heap[0], 1 << 20) << "the heap grew; the sanitizer build checks leaks instead";
#endif
}
