// The game's source file: its globals, their static initialisation and the
// driver. Static initialisation runs in definition order: the device touch,
// the batcher, the object list, then the star field from the first 1200
// values of NVorn::Random.
#include "game/Vorn.h"

#include "game/Asteroid.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Sprites.h"
#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "foundation/Log.h"
#include "foundation/Utils.h"
#include "render/Device.h"
#include "render/Mode.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;

namespace
{
// Calls a class's touch function during static initialisation, which links
// the class and its registrar into every program that links this file.
struct SClassTouch
{
	explicit SClassTouch(void (*touch)()) { touch(); }
};
}

static SClassTouch g_ClassTouch_COpenGLDevice_SDL(Touch_COpenGLDevice_SDL);

long g_iTex_Ship = 0;
long g_iTex_Star = 0;
long g_iTex_Roid[3] = {0, 0, 0};
long g_iTex_Bullet = 0;
long g_iTex_Text = 0;

// Cells 0..31 hold the currency sign 0xA4, 96 the apostrophe, 126 the
// double quote, 127 nothing; every other cell its own code.
const char aTranslation[128] = {
	'\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4',
	'\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4',
	'\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4',
	'\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4', '\xA4',
	' ', '!', '"', '#', '$', '%', '&', '\'', '(', ')', '*', '+', ',', '-', '.', '/',
	'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', ':', ';', '<', '=', '>', '?',
	'@', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O',
	'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', '[', '\\', ']', '^', '_',
	'\'', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
	'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', '{', '|', '}', '"', 0,
};

char aText[TEXT_LENGTH + 1] =
	"NVORN  -  a little arcade game of drifting rocks and distant stars.  "
	"Arrow keys steer and thrust, space fires.  "
	"Made on the NVorn engine: one core loop, a class registry, a TGA reader and a 2D batcher.  "
	"Enjoy the ride!";
static_assert(sizeof(aText) == TEXT_LENGTH + 1, "the credits line fixes how long the scroll lasts");

N3D::CDevice* g_pDevice = nullptr;
N3D::C2DUtils g_Utils;
float g_Time = 0;
float g_FrameTime = 0;
int g_Restart = 1;
TDynamicArray<CGameObject*> g_lObjects;
CPlayer* g_pPlayer = nullptr;
SStar g_aStars[STAR_COUNT];

static const float PI = 3.14159265f;
static const float STAR_FIELD_SIZE = 900;
static const int ROCK_COUNT = 10;
static const long BATCH_VERTICES = 8192;
static const float TEXT_SPEED = 150;     // units per second
static const float TEXT_Y = 400;

// Engine key codes the ship listens to.
static const int32_t KEY_SPACE = 32;
static const int32_t KEY_LEFT = 37;
static const int32_t KEY_UP = 38;
static const int32_t KEY_RIGHT = 39;

static bool g_Running = false;

namespace
{
struct SStarFieldBuilder
{
	SStarFieldBuilder()
	{
		for (SStar& star : g_aStars)
		{
			star.m_Pos.x = Random() * STAR_FIELD_SIZE;
			star.m_Pos.y = Random() * STAR_FIELD_SIZE;
			star.m_fSize = Random() * 8 + 4;
			star.m_fAngle = (Random() * PI) * 2;
		}
	}
};
}

static SStarFieldBuilder g_StarFieldBuilder;

// Setup and shutdown ----------------------------------------------------

static void DeleteObjects()
{
	for (long i = 0; i < g_lObjects.m_Length; i++)
		delete g_lObjects[i];
	g_lObjects.Clear();
	g_pPlayer = nullptr;
}

// The batcher's buffer lives on the device, so the batcher is put back to
// its unprepared state with it: nothing is left pointing at a deleted
// device, and the next setup prepares the batcher afresh.
static void DeleteDevice()
{
	g_pDevice->Shutdown();
	delete g_pDevice;
	g_pDevice = nullptr;
	g_Utils = N3D::C2DUtils();
}

// The device's destructor leaves the resources behind its handles alone.
static void ReleaseDevice()
{
	g_pDevice->ClearAllAllocatedIndexes();
	DeleteDevice();
}

static void LoadTextures()
{
	LoadTexture(g_iTex_Ship, "tree.tga");
	LoadTexture(g_iTex_Star, "star.tga");
	LoadTexture(g_iTex_Roid[0], "tessik_1.tga");
	LoadTexture(g_iTex_Roid[1], "tessik_2.tga");
	LoadTexture(g_iTex_Roid[2], "tessik_3.tga");
	LoadTexture(g_iTex_Bullet, "ball.tga");
	LoadTexture(g_iTex_Text, "text.tga");
}

int GameSetup()
{
	g_pDevice = static_cast<N3D::CDevice*>(NClassRegistry::CreateByTag(N3D::aDeviceClassTag));
	if (!g_pDevice)
	{
		NLog::WriteF("VornMain: no render device is registered as \"%s\"\n", N3D::aDeviceClassTag);
		return -1;
	}
	N3D::CMode mode(640, 480, false, 0);
	if (!g_pDevice->Init(mode))
	{
		NLog::WriteF("Bum, the device didn't init it self correctly\n");
		DeleteDevice();
		return -1;
	}
	LoadTextures();
	if (!g_Utils.Init(g_pDevice, BATCH_VERTICES))
	{
		NLog::WriteF("Bum, the 2D batcher didn't init it self correctly\n");
		ReleaseDevice();
		return -1;
	}
	g_Running = true;
	return 0;
}

int GameShutdown()
{
	DeleteObjects();
	g_Restart = 1;
	if (g_pDevice)
		ReleaseDevice();
	return 0;
}

// The frame -------------------------------------------------------------

void GameRestartIfPending()
{
	if (!g_Restart)
		return;
	DeleteObjects();
	for (int i = 0; i < ROCK_COUNT; i++)
		g_lObjects.Append(new CAsteroid(0));
	g_pPlayer = new CPlayer();
	g_lObjects.Append(g_pPlayer);
	g_Restart = 0;
}

void GameUpdateObjects()
{
	// Objects appended during the pass (shots, fragments) are updated in it.
	for (long i = 0; i < g_lObjects.m_Length; i++)
		g_lObjects[i]->Update();
}

void GameClear()
{
	g_pDevice->m_aClearColor[0] = 0.05f;
	g_pDevice->m_aClearColor[1] = 0.05f;
	g_pDevice->m_aClearColor[2] = 0.1f;
	g_pDevice->m_aClearColor[3] = 1;
	g_pDevice->Clear(N3D::CLEAR_COLOR);
}

void GameRemoveDeadObjects()
{
	// The last entry fills the freed slot, which is then examined again.
	for (long i = 0; i < g_lObjects.m_Length;)
	{
		if (!(g_lObjects[i]->m_Flags & OBJFLAG_DEAD))
		{
			i++;
			continue;
		}
		delete g_lObjects[i];
		g_lObjects[i] = g_lObjects[g_lObjects.m_Length - 1];
		g_lObjects.m_Length--;
	}
}

// A texture that failed to load has the handle -1. Objects then draw at
// the size of no texture, 0 x 0; the stars and the text have sizes of their
// own and would show as untextured squares, so they are left out instead.
static bool Loaded(long texture)
{
	return texture >= 0;
}

void GameDrawStars()
{
	if (!Loaded(g_iTex_Star))
		return;
	g_Utils.SetDefaults();
	g_Utils.SetTexture(g_iTex_Star);
	g_Utils.SetBlend(1);
	g_Utils.Quad_Begin();
	g_Utils.SetColor(1, 1, 1, 1);
	g_Utils.Quad_SetRotation(0);
	// Larger stars are nearer: they shift further against the ship's motion.
	float px = g_pPlayer->m_Pos.x, py = g_pPlayer->m_Pos.y;
	for (const SStar& star : g_aStars)
	{
		float k = star.m_fSize / 12;
		g_Utils.Quad_SetRotation(star.m_fAngle);
		g_Utils.Quad_Draw(star.m_Pos.x - px * 0.5f * k, star.m_Pos.y - py * 0.5f * k, star.m_fSize, star.m_fSize);
	}
	g_Utils.Quad_End();
}

void GameRenderObjects()
{
	for (long i = 0; i < g_lObjects.m_Length; i++)
		g_lObjects[i]->Render();
}

void GameDrawCredits()
{
	if (!Loaded(g_iTex_Text))
		return;
	DrawText(640 - g_Time * TEXT_SPEED, TEXT_Y, aText);
}

static void HandleKey(int32_t key, int32_t held)
{
	// Keys pumped before the first frame or after shutdown find no ship.
	if (!g_pPlayer)
		return;
	switch (key)
	{
	case KEY_UP: g_pPlayer->m_KeyThrust = held; break;
	case KEY_LEFT: g_pPlayer->m_KeyLeft = held; break;
	case KEY_RIGHT: g_pPlayer->m_KeyRight = held; break;
	case KEY_SPACE: g_pPlayer->m_KeyFire = held; break;
	default: break;
	}
}

bool GamePumpMessages()
{
	NCore::CCore* core = NCore::m_pCore;
	core->Update();
	for (; core->GotMessages(); core->DiscardCurrentMessage())
	{
		const NCore::CMessage* message = core->GetCurrentMessage();
		if (message->m_Type == NCore::MSG_KEYDOWN || message->m_Type == NCore::MSG_KEYUP)
			HandleKey(message->m_aParam[0], message->m_Type == NCore::MSG_KEYDOWN);
		else if (message->m_Type == NCore::MSG_QUIT)
			g_Running = false;
	}
	return g_Running;
}

bool GameFrame()
{
	GameRestartIfPending();
	GameUpdateObjects();
	GameClear();
	GameRemoveDeadObjects();
	GameDrawStars();
	GameRenderObjects();
	GameDrawCredits();
	GamePumpMessages();
	g_pDevice->SwapBuffers();
	return g_Running;
}

void GameAdvanceClock(float seconds)
{
	g_FrameTime = seconds;
	g_Time += seconds;
}

int VornMain(char*)
{
	if (GameSetup() != 0)
		return -1;
	bool running = true;
	while (running)
	{
		int64_t t0 = GetTickCount();
		running = GameFrame();
		int64_t t1 = GetTickCount();
		GameAdvanceClock(static_cast<float>(t1 - t0) / static_cast<float>(GetTickFrequency()));
	}
	return GameShutdown();
}
