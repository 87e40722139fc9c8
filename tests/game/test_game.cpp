// The game through its own setup and frame steps on a recording device, no
// display. Faults in removing objects show in the sanitizer build.
#include "game/Asteroid.h"
#include "game/Bullet.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Sprites.h"
#include "game/Vorn.h"
#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "utils2d/2DUtils.h"

#include "LogCapture.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace NVorn;

namespace
{
const float DT = 0.25f;   // a frame time whose sums are exact
const int32_t KEY_SPACE = 32, KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39;

// The recording device offering the game's window mode, created by the
// game's own setup through the registry.
class CGameDevice : public NTest::CRecordingDevice
{
public:
	CGameDevice()
	{
		if (!g_bNoMode)
			m_lOfferedModes.push_back(N3D::CMode(640, 480, false, 32));
		m_bFailCreate = g_bFailCreate;
	}
	static bool g_bNoMode, g_bFailCreate;   // faults of the next device: no mode to start in, no buffers
};
bool CGameDevice::g_bNoMode = false, CGameDevice::g_bFailCreate = false;

std::vector<NTest::SCapturedDraw>& Draws() { return static_cast<CGameDevice*>(g_pDevice)->m_lDraws; }

// Value i (1-based) of the engine's random sequence.
float Ref(long i)
{
	static std::vector<float> values;
	static double seed = 91648253.0;
	for (const double m = 2147483647.0; static_cast<long>(values.size()) < i; values.push_back(float(seed / m)))
		seed = seed * 1389796.0 - static_cast<int32_t>(seed * 1389796.0 / m) * m;
	return values[i - 1];
}

void Frame(int frames = 1)
{
	for (int i = 0; i < frames; i++)
		GameFrame(), GameAdvanceClock(DT);
}

// Queued as the core's key pump queues it, so handled by the next frame.
void Key(int32_t code, bool down)
{
	NCore::m_pCore->AddMessage(new NCore::CMessage{down ? NCore::MSG_KEYDOWN : NCore::MSG_KEYUP, {code}});
}

// A fresh ship alone in the field.
void OnlyTheShip()
{
	g_Restart = 1;
	GameRestartIfPending();
	for (long i = 0; i < 10; i++)
		delete g_lObjects[i];
	g_lObjects.Clear();
	g_lObjects.Append(g_pPlayer);
}

CGameObject* Add(CGameObject* object, float x, float y)
{
	object->m_Pos = TVector2<float>(x, y);
	object->m_Vel = TVector2<float>(0, 0);
	object->m_fSpin = 0;
	g_lObjects.Append(object);
	return object;
}

// Rocks of a level; shots for -1.
int Count(long level)
{
	int count = 0;
	for (long i = 0; i < g_lObjects.m_Length; i++)
	{
		CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[i]);
		count += rock ? rock->m_Level == level : level < 0 && g_lObjects[i] != g_pPlayer;
	}
	return count;
}

// Objects first..first+n-1 are rocks of the level built from value v on, six
// values each: big ones at their random places, moved for dt and wrapped;
// fragments at the place at, their velocity added to vel and tripled.
void ExpectRocks(long first, long n, long level, long v, TVector2<float> at = {}, TVector2<float> vel = {}, float dt = 0)
{
	auto wrapped = [](float p, float size) { return p > size ? p - size : p < 0 ? p + size : p; };
	for (long r = first; r < first + n; r++, v += 6)
	{
		const CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[r]);
		ASSERT_TRUE(rock && rock->m_Level == level) << r;
		float s = Ref(v + 3) * 400 + 200, vx = (Ref(v + 4) - 0.5f) * 10, vy = (Ref(v + 5) - 0.5f) * 10;
		if (level == 0)
			at = TVector2<float>(320 + 2 * (Ref(v + 1) - 0.5f) * s, 240 + 2 * (Ref(v + 2) - 0.5f) * s);
		TVector2<float> v2 = level ? TVector2<float>((vx + vel.x) * 3, (vy + vel.y) * 3) : TVector2<float>(vx, vy);
		EXPECT_EQ(rock->m_fSpin, Ref(v) - 0.5f) << r;
		EXPECT_TRUE(rock->m_Vel.x == v2.x && rock->m_Vel.y == v2.y) << r;
		EXPECT_FLOAT_EQ(rock->m_Pos.x, wrapped(at.x + v2.x * dt, 640)) << r;
		EXPECT_FLOAT_EQ(rock->m_Pos.y, wrapped(at.y + v2.y * dt, 480)) << r;
		EXPECT_TRUE(rock->m_fRadius == (32 >> level) && rock->m_Flags == 5u && rock->m_iTexture == g_iTex_Roid[level]) << r;
	}
}

// Vertex of quad q of a draw: corner 0 (top left) for 0, corner 3 for 4.
const NTest::SCapturedVertex& Corner(int draw, int q, int corner) { return Draws()[draw].m_lVertices[q * 6 + corner]; }

class Game : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if (!NCore::m_pCore)
		{
			new NCore::CCore;
			NClassRegistry::Register("CGameDevice", N3D::aDeviceClassTag, []() -> NClassRegistry::CClass* { return new CGameDevice; });
		}
		ASSERT_EQ(chdir(NVORN_ASSET_DIR), 0);
		ASSERT_EQ(GameSetup(), 0);
	}
	void TearDown() override { GameShutdown(); }
};
}

// Must stay the first test: it sees the generator as static initialisation left it.
TEST_F(Game, StarsRocksSplitsAndRestartsFollowTheRandomSequence)
{
	const SStar& last = g_aStars[STAR_COUNT - 1];
	EXPECT_TRUE(last.m_Pos.x == Ref(1197) * 900 && last.m_Pos.y == Ref(1198) * 900 && last.m_fSize == Ref(1199) * 8 + 4 &&
	            last.m_fAngle == (Ref(1200) * 3.14159265f) * 2);
	Frame();   // builds the world; nothing moves in the first frame, but the rocks wrap in
	ASSERT_EQ(g_lObjects.m_Length, 11);
	ExpectRocks(0, 10, 0, 1201);
	EXPECT_EQ(g_lObjects[10], g_pPlayer);

	// A big rock leaves three medium ones, a medium one three small ones, a
	// small one nothing; each is marked dead.
	CGameObject* big = g_lObjects[0];
	big->OnCollision();
	ExpectRocks(11, 3, 1, 1261, big->m_Pos, big->m_Vel);
	g_lObjects[11]->OnCollision();
	ExpectRocks(14, 3, 2, 1279, big->m_Pos, g_lObjects[11]->m_Vel);
	g_lObjects[14]->OnCollision();
	EXPECT_EQ(g_lObjects.m_Length, 17);
	EXPECT_TRUE(g_lObjects[0]->m_Flags == 13u && g_lObjects[11]->m_Flags == 13u && g_lObjects[14]->m_Flags == 13u);

	// The ship's hit rebuilds the world from sixty values in the next frame.
	g_pPlayer->OnCollision();
	Frame();
	ASSERT_EQ(g_lObjects.m_Length, 11);
	ExpectRocks(0, 10, 0, 1297, {}, {}, DT);
	EXPECT_EQ(g_pPlayer->m_Dead, 0);
	g_lObjects[0]->OnCollision();
	EXPECT_EQ(g_lObjects[11]->m_fSpin, Ref(1357) - 0.5f);
}

TEST_F(Game, KeysTurnAndThrustTheShipAndEachPressFiresOneShot)
{
	OnlyTheShip();
	Key(40, true);   // the down arrow and a letter do nothing
	Key('A', true);
	Frame(3);
	EXPECT_TRUE(g_pPlayer->m_fAngle == 0 && g_pPlayer->m_Vel.x == 0 && g_pPlayer->m_Vel.y == 0 && Count(-1) == 0);

	// A key acts from the frame after its press to the frame its release is pumped in.
	for (int32_t key : {KEY_LEFT, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_UP, KEY_UP, KEY_UP})
	{
		Key(key, true);
		Frame();
		Key(key, false);
		Frame();
	}
	EXPECT_EQ(g_pPlayer->m_fAngle, -5 * DT);
	EXPECT_NEAR(g_pPlayer->m_Vel.x, std::sin(-5 * DT) * 150 * DT * 4, 1e-3);
	EXPECT_NEAR(g_pPlayer->m_Vel.y, -std::cos(-5 * DT) * 150 * DT * 4, 1e-3);

	// A shot leaves the nose 32 units ahead at 400 units per second plus the
	// ship's drift, turned along its flight; a life of 0 goes on, below 0 ends.
	OnlyTheShip();
	g_pPlayer->m_fAngle = 1, g_pPlayer->m_Vel = TVector2<float>(30, -50);
	Key(KEY_SPACE, true);
	Frame(2);
	ASSERT_EQ(Count(-1), 1);
	CBullet* shot = static_cast<CBullet*>(g_lObjects[1]);
	const float ux = std::sin(1.0f), uy = -std::cos(1.0f), vx = 30 + 400 * ux, vy = -50 + 400 * uy;
	EXPECT_TRUE(std::fabs(shot->m_Pos.x - g_pPlayer->m_Pos.x - 132 * ux) < 1e-3f && std::fabs(shot->m_Pos.y - g_pPlayer->m_Pos.y - 132 * uy) < 1e-3f);
	EXPECT_TRUE(std::fabs(shot->m_Vel.x - vx) < 1e-3f && std::fabs(shot->m_Vel.y - vy) < 1e-3f && std::fabs(shot->m_fAngle - std::atan2(vy, vx) - 1.5707964f) < 1e-5f);
	EXPECT_TRUE(shot->m_fRadius == 3 && shot->m_iTexture == g_iTex_Bullet);
	Frame(3);
	EXPECT_TRUE(shot->m_fLife == 0 && Count(-1) == 1) << "a held key fires once";
	Frame();
	EXPECT_EQ(Count(-1), 0);
}

TEST_F(Game, ShotsSplitRocksTheShipTouchingOneRestartsAndPositionsWrap)
{
	// Two shots in one rock: the first splits it, the second passes the dead
	// rock by and splits a medium one at the same place.
	OnlyTheShip();
	Add(new CAsteroid(0), 320, 100);
	Add(new CBullet, 320, 100);
	Add(new CBullet, 320, 100);
	Frame();
	EXPECT_TRUE(Count(0) == 0 && Count(1) == 2 && Count(2) == 3 && Count(-1) == 0);

	// Ship (radius 24) and big rock (32): 56 apart they do not touch, 55.9 they do.
	OnlyTheShip();
	CGameObject* rock = Add(new CAsteroid(0), 320 + 56, 240);
	Frame();
	EXPECT_EQ(g_Restart, 0);
	rock->m_Pos.x -= 0.1f;
	Draws().clear();
	Frame();
	EXPECT_EQ(g_Restart, 1);
	EXPECT_EQ(Count(1), 3);
	EXPECT_EQ(Draws().size(), 5u) << "stars, three fragments and text: a hit ship is not drawn";

	// Spin turns; positions wrap once per frame and axis; exactly 640 and 0 stay.
	OnlyTheShip();
	rock = Add(new CAsteroid(2), 630, 0.25f);
	rock->m_fSpin = 2;
	GameAdvanceClock(0.5f);
	const float steps[][4] = {{20, -0.5f, 640, 0}, {1, -0.5f, 0.5f, 479.75f}, {-1401, 1040.5f, -60, 520}, {0, 0, 580, 40}};
	for (const float* step : steps)
	{
		rock->m_Vel = TVector2<float>(step[0], step[1]);
		GameUpdateObjects();
		EXPECT_TRUE(rock->m_Pos.x == step[2] && rock->m_Pos.y == step[3]) << rock->m_Pos.x << "," << rock->m_Pos.y;
	}
	EXPECT_EQ(rock->m_fAngle, 4);
}

TEST_F(Game, AFrameDrawsEachObjectTurnedAndWrappedAndTheTextFromItsCells)
{
	OnlyTheShip();
	Add(new CAsteroid(1), 100, 100)->m_fAngle = 1.5707964f;
	const float time = g_Time;
	std::vector<std::string>& calls = static_cast<CGameDevice*>(g_pDevice)->m_lCalls;
	calls.clear();
	Draws().clear();
	GameFrame();
	EXPECT_TRUE(calls.front() == "Clear(1)" && calls.back() == "SwapBuffers");
	ASSERT_EQ(Draws().size(), 4u);   // stars, ship, rock, text
	// The rock a quarter turn clockwise (top-left corner at the top right), at
	// its place and one field away in every direction.
	ASSERT_EQ(Draws()[2].m_Count, 18);
	EXPECT_TRUE(Corner(2, 0, 0).x == 116 && Corner(2, 0, 0).y == 84) << Corner(2, 0, 0).x << "," << Corner(2, 0, 0).y;
	const float copies[9][2] = {{0, 0}, {640, 0}, {-640, 0}, {0, 480}, {0, -480}, {640, 480}, {640, -480}, {-640, 480}, {-640, -480}};
	for (int q = 0; q < 9; q++)
		EXPECT_TRUE(Corner(2, q, 0).x == 116 + copies[q][0] && Corner(2, q, 0).y == 84 + copies[q][1]) << q;
	// The second glyph 16 units after the first, which stands at 640 - 150 t.
	EXPECT_FLOAT_EQ(Corner(3, 1, 0).x, 640 - time * 150 + 16 - 8);
	EXPECT_FLOAT_EQ(Corner(3, 1, 0).y, 400 - 8);

	// A character shows the first cell that stores it: 0xA4 cell 0, 'A' cell
	// 65; one without a cell, like '~', draws nothing but takes its place.
	char line[] = "~\xa4" "A";
	Draws().clear();
	g_Utils.SetBlend(N3D::BLENDMODE_ADD);   // the text blends by its alpha whatever was set before
	DrawText(100, 400, line);
	ASSERT_EQ(Draws()[0].m_Count, 4);
	EXPECT_TRUE(Corner(0, 0, 0).x == 108 && Corner(0, 0, 0).u == 0 && Corner(0, 0, 0).v == 0);
	EXPECT_TRUE(Corner(0, 0, 4).u == 1.0f / 16 && Corner(0, 0, 4).v == 1.0f / 8 && Corner(0, 1, 0).u == 1.0f / 16 && Corner(0, 1, 0).v == 0.5f);
	EXPECT_TRUE(Draws()[0].m_State.m_BlendSrc == N3D::BLEND_SRCALPHA && Draws()[0].m_State.m_BlendDst == N3D::BLEND_INVSRCALPHA);
}

TEST_F(Game, ShutdownAndSetupRepeatAndEveryFailureIsReportedAndCleanedUp)
{
	GameShutdown(), Key(KEY_UP, true), GamePumpMessages();   // a key with no ship on the field is ignored
	long subsystems = NCore::m_pCore->m_lSubSystems.m_Length;
	g_QuitRequest = 1;
	char argument[] = "Empty";
	EXPECT_EQ(VornMain(argument), 0);
	EXPECT_TRUE(g_FrameTime > 0 && g_FrameTime < 1 && g_lObjects.m_Length == 0);
	for (int run = 0; run < 2; run++)
	{
		EXPECT_TRUE(g_pDevice == nullptr && g_Utils.m_pDevice == nullptr);
		ASSERT_EQ(GameSetup(), 0);
		EXPECT_TRUE(GameFrame());
		EXPECT_EQ(Draws().size(), 13u) << "stars, ten rocks, the ship and the text";
		EXPECT_EQ(GameShutdown(), 0);
	}
	EXPECT_EQ(GameShutdown(), 0);

	// A device that cannot start, a batcher without a buffer, no device at all.
	NTest::CLogCapture log;
	for (bool* fault : {&CGameDevice::g_bNoMode, &CGameDevice::g_bFailCreate})
	{
		*fault = true;
		EXPECT_EQ(GameSetup(), -1);
		*fault = false;
	}
	NClassRegistry::CHandle* registered = NClassRegistry::m_pFirstClass;
	NClassRegistry::m_pFirstClass = nullptr;
	EXPECT_EQ(VornMain(argument), -1);
	NClassRegistry::m_pFirstClass = registered;
	for (const char* line : {"Bum, the device didn't init it self correctly\n", "Bum, the 2D batcher didn't init it self correctly\n",
	                         "VornMain: no render device is registered as \"3D Device\"\n"})
		EXPECT_EQ(log.Count(line), 1) << line;
	EXPECT_TRUE(g_pDevice == nullptr && g_Utils.m_pDevice == nullptr);
	EXPECT_EQ(NCore::m_pCore->m_lSubSystems.m_Length, subsystems);
}

// Missing, undecodable, pixel-less and unsupported files give no texture; the
// stars on texture 0 still show, objects without one draw at size 0, the text not at all.
TEST_F(Game, BrokenTextureFilesGiveNoTextureAndTheGamePlaysOn)
{
	GameShutdown();
	const std::string folder = testing::TempDir() + "vorn-broken-textures-" + std::to_string(getpid());
	ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
	std::ofstream(folder + "/star.tga") << std::ifstream(NVORN_ASSET_DIR "/star.tga").rdbuf();
	std::ofstream(folder + "/tree.tga") << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x30\0\x30\0\x20\x28", 18);
	std::ofstream(folder + "/ball.tga") << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x10\x20\1\2", 20);
	for (const char* name : {"/tessik_1.tga", "/tessik_2.tga", "/tessik_3.tga"})
		std::ofstream(folder + name) << "not a picture";
	ASSERT_TRUE(chdir(folder.c_str()) == 0 && GameSetup() == 0);
	EXPECT_EQ(g_iTex_Star, 0);
	for (long texture : {g_iTex_Ship, g_iTex_Roid[0], g_iTex_Roid[1], g_iTex_Roid[2], g_iTex_Bullet, g_iTex_Text})
		EXPECT_EQ(texture, -1);
	Frame();
	ASSERT_EQ(Draws().size(), 12u);
	EXPECT_TRUE(Draws()[0].m_State.m_aTexture[0] == 0 && Draws()[0].m_Count == 2 * STAR_COUNT);
	EXPECT_TRUE(Draws()[11].m_State.m_aTexture[0] == -1 && Corner(11, 0, 0).x == Corner(11, 0, 4).x);
}
