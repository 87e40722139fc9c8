#include "GameHarness.h"

#include "game/Asteroid.h"
#include "game/Bullet.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Vorn.h"
#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "foundation/Utils.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace NGameTest
{
static const long SEARCH_LIMIT = 4000000;

void CReferenceRandom::Extend(long count)
{
	while (static_cast<long>(m_lValues.size()) < count)
	{
		double t = m_Seed * 1389796.0;
		double m = 2147483647.0;
		int32_t q = static_cast<int32_t>(t / m);
		m_Seed = t - q * m;
		m_lValues.push_back(static_cast<float>(m_Seed / m));
	}
}

float CReferenceRandom::Value(long index)
{
	Extend(index);
	return m_lValues[index - 1];
}

long CReferenceRandom::IndexAfter(float a, float b, float c)
{
	Extend(SEARCH_LIMIT);
	for (long i = 0; i + 2 < SEARCH_LIMIT; i++)
		if (m_lValues[i] == a && m_lValues[i + 1] == b && m_lValues[i + 2] == c)
			return i + 4;
	return -1;
}

long SyncRandom(CReferenceRandom& reference)
{
	float a = NVorn::Random();
	float b = NVorn::Random();
	float c = NVorn::Random();
	return reference.IndexAfter(a, b, c);
}

bool HaveDisplay()
{
	return std::getenv("DISPLAY") != nullptr;
}

static SFrame Read(GLenum buffer)
{
	SFrame frame;
	frame.m_lPixels.resize(640 * 480 * 4);
	glReadBuffer(buffer);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, frame.m_lPixels.data());
	return frame;
}

static bool g_bReadFrames = true;
static SFrame g_LastFrame;

namespace
{
// The display device, reading every finished frame back just before it is
// swapped to the front (where it can no longer be read reliably).
class CReadbackDevice : public COpenGLDevice_SDL
{
public:
	void SwapBuffers() override
	{
		if (g_bReadFrames)
			g_LastFrame = Read(GL_BACK);
		COpenGLDevice_SDL::SwapBuffers();
	}
};

NVorn::NClassRegistry::CClass* CreateReadbackDevice()
{
	return new CReadbackDevice;
}
}

void ReadEveryFrame(bool on)
{
	g_bReadFrames = on;
}

SFrame ReadFront()
{
	return g_LastFrame;
}

SFrame ReadBack()
{
	return Read(GL_BACK);
}

static int g_Started = 0;   // 0 not tried, 1 running, -1 failed

namespace
{
class CStopGameEnvironment : public ::testing::Environment
{
public:
	void TearDown() override { StopGame(); }
};
::testing::Environment* const g_pStopGame = ::testing::AddGlobalTestEnvironment(new CStopGameEnvironment);
}

bool StartGame(const char* folder)
{
	if (g_Started != 0)
		return g_Started > 0;
	g_Started = -1;
	if (SDL_Init(SDL_INIT_VIDEO) != 0)
		return false;
	new NVorn::NCore::CCore;
	// The newest registration for the tag is the one the game creates.
	NVorn::NClassRegistry::Register("CReadbackDevice", NVorn::N3D::aDeviceClassTag, CreateReadbackDevice);
	if (chdir(folder ? folder : NVORN_ASSET_DIR) != 0 || GameSetup() != 0)
		return false;
	g_Started = 1;
	return true;
}

// SDL stays initialised: quitting it unloads the OpenGL driver, and the
// leak checker would then report the driver's last allocations as lost.
void StopGame()
{
	if (g_Started > 0)
		GameShutdown();
	delete NVorn::NCore::m_pCore;
	NVorn::NCore::m_pCore = nullptr;
	g_Started = 0;
}

void RunFrame(float seconds)
{
	GameFrame();
	GameAdvanceClock(seconds);
}

void PushKey(SDL_Keycode key, bool down)
{
	SDL_Event event = {};
	event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
	event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
	event.key.keysym.sym = key;
	event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
	SDL_PushEvent(&event);
}

int SFrame::Distance(int x, int y, int r, int g, int b) const
{
	const uint8_t* p = At(x, y);
	return std::max({std::abs(p[0] - r), std::abs(p[1] - g), std::abs(p[2] - b)});
}

void ClearWorldExceptShip()
{
	for (long i = 0; i < g_lObjects.m_Length; i++)
		if (g_lObjects[i] != g_pPlayer)
			delete g_lObjects[i];
	g_lObjects.Clear();
	g_lObjects.Append(g_pPlayer);
	g_pPlayer->m_Pos = NVorn::TVector2<float>(320, 240);
	g_pPlayer->m_Vel = NVorn::TVector2<float>(0, 0);
	g_pPlayer->m_fAngle = 0;
	g_pPlayer->m_KeyThrust = g_pPlayer->m_KeyLeft = g_pPlayer->m_KeyRight = g_pPlayer->m_KeyFire = 0;
	g_pPlayer->m_Dead = 0;
	g_Restart = 0;
}

CAsteroid* AddRock(long level, float x, float y, float vx, float vy)
{
	CAsteroid* rock = new CAsteroid(level);
	rock->m_Pos = NVorn::TVector2<float>(x, y);
	rock->m_Vel = NVorn::TVector2<float>(vx, vy);
	rock->m_fSpin = 0;
	g_lObjects.Append(rock);
	return rock;
}

int CountBullets()
{
	int count = 0;
	for (long i = 0; i < g_lObjects.m_Length; i++)
		count += dynamic_cast<CBullet*>(g_lObjects[i]) != nullptr;
	return count;
}

int CountRocks(long level)
{
	int count = 0;
	for (long i = 0; i < g_lObjects.m_Length; i++)
	{
		CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[i]);
		count += rock && (level < 0 || rock->m_Level == level);
	}
	return count;
}
}
