// The game through its own setup and frame steps on a recording device (no
// display): the world the random sequence lays out, key messages steering
// the ship, shots, splits, restarts and wrapping, what a frame draws, broken
// textures, and setup and shutdown repeated or failing.
#include "game/Asteroid.h"
#include "game/Bullet.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Sprites.h"
#include "game/Vorn.h"
#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "utils2d/2DUtils.h"

#include "DrawCapture.h"
#include "LogCapture.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace NVorn;
using NTest::SCapturedDraw;

namespace
{
const float DT = 0.25f;   // a frame time whose sums are exact
const int32_t KEY_SPACE = 32, KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39;

// The recording device with the game's window mode on offer, created by the
// game's own setup through the registry.
class CGameDevice : public NTest::TDrawCapture<NTest::CRecordingDevice>
{
public:
	CGameDevice()
	{
		if (g_bOfferMode)
			m_lOfferedModes.push_back(N3D::CMode(640, 480, false, 32));
		m_bFailCreate = g_bFailCreate;
	}
	static bool g_bOfferMode, g_bFailCreate;
};
bool CGameDevice::g_bOfferMode = true, CGameDevice::g_bFailCreate = false;

NClassRegistry::CClass* CreateGameDevice()
{
	return new CGameDevice;
}

CGameDevice& Device()
{
	return *static_cast<CGameDevice*>(g_pDevice);
}

class CEnvironment : public ::testing::Environment
{
	void SetUp() override
	{
		new NCore::CCore;
		NClassRegistry::Register("CGameDevice", N3D::aDeviceClassTag, CreateGameDevice);
	}
	void TearDown() override
	{
		delete NCore::m_pCore;
		NCore::m_pCore = nullptr;
	}
};
::testing::Environment* const g_pEnvironment = ::testing::AddGlobalTestEnvironment(new CEnvironment);

// Value i (1-based) of the engine's random sequence.
float Ref(long i)
{
	static std::vector<float> values;
	static double seed = 91648253.0;
	for (const double m = 2147483647.0; static_cast<long>(values.size()) < i; values.push_back(float(seed / m)))
		seed = seed * 1389796.0 - static_cast<int32_t>(seed * 1389796.0 / m) * m;
	return values[i - 1];
}

float Wrapped(float value, float size)
{
	value -= value > size ? size : 0;
	return value + (value < 0 ? size : 0);
}

void Frame(float seconds = DT)
{
	GameFrame();
	GameAdvanceClock(seconds);
}

// Queued as the core's key pump queues it: handled by the next frame.
void Key(int32_t code, bool down)
{
	NCore::CMessage* message = new NCore::CMessage();
	message->m_Type = down ? NCore::MSG_KEYDOWN : NCore::MSG_KEYUP;
	message->m_aParam[0] = code;
	NCore::m_pCore->AddMessage(message);
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

template<class T> T* Add(T* object, float x, float y)
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
		count += rock ? rock->m_Level == level : level < 0 && dynamic_cast<CBullet*>(g_lObjects[i]);
	}
	return count;
}

// Objects first to last from index first are rocks of the level built
// from value v on, six values each, then moved for dt.
void ExpectRocks(long first, long last, long level, long v, TVector2<float> at, TVector2<float> vel, float dt)
{
	for (long r = first; r <= last; r++, v += 6)
	{
		const CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[r]);
		ASSERT_TRUE(rock && rock->m_Level == level) << r;
		float s = Ref(v + 3) * 400 + 200, vx = (Ref(v + 4) - 0.5f) * 10, vy = (Ref(v + 5) - 0.5f) * 10;
		TVector2<float> pos = level ? at : TVector2<float>(320 + 2 * (Ref(v + 1) - 0.5f) * s, 240 + 2 * (Ref(v + 2) - 0.5f) * s);
		TVector2<float> v2 = level ? TVector2<float>((vx + vel.x) * 3, (vy + vel.y) * 3) : TVector2<float>(vx, vy);
		EXPECT_EQ(rock->m_fSpin, Ref(v) - 0.5f) << r;
		EXPECT_EQ(rock->m_Vel.x, v2.x) << r;
		EXPECT_EQ(rock->m_Vel.y, v2.y) << r;
		EXPECT_FLOAT_EQ(rock->m_Pos.x, Wrapped(pos.x + v2.x * dt, 640)) << r;
		EXPECT_FLOAT_EQ(rock->m_Pos.y, Wrapped(pos.y + v2.y * dt, 480)) << r;
		EXPECT_EQ(rock->m_fRadius, 32 >> level);
		EXPECT_EQ(rock->m_Flags, 5u);
		EXPECT_EQ(rock->m_iTexture, g_iTex_Roid[level]);
	}
}

// Centre and corner 0 of quad q of a draw (six vertices a quad, corner 0
// first, corner 3 fifth), and its texture rectangle.
struct SQuad
{
	float x, y, x0, y0, u0, v0, u1, v1;
};

SQuad Quad(const SCapturedDraw& draw, int q)
{
	const NTest::SCapturedVertex& a = draw.m_lVertices[q * 6];
	const NTest::SCapturedVertex& d = draw.m_lVertices[q * 6 + 4];
	return SQuad{(a.x + d.x) / 2, (a.y + d.y) / 2, a.x, a.y, a.u, a.v, d.u, d.v};
}

class Game : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ASSERT_EQ(chdir(NVORN_ASSET_DIR), 0);
		ASSERT_EQ(GameSetup(), 0);
	}
	void TearDown() override { GameShutdown(); }
};
}

// Must stay the first test: it sees the generator as static initialisation left it.
TEST_F(Game, StarsRocksSplitsAndRestartsFollowTheRandomSequence)
{
	for (int i = 0; i < STAR_COUNT; i++)
	{
		ASSERT_EQ(g_aStars[i].m_Pos.x, Ref(4 * i + 1) * 900) << i;
		ASSERT_EQ(g_aStars[i].m_Pos.y, Ref(4 * i + 2) * 900) << i;
		ASSERT_EQ(g_aStars[i].m_fSize, Ref(4 * i + 3) * 8 + 4) << i;
		ASSERT_EQ(g_aStars[i].m_fAngle, (Ref(4 * i + 4) * 3.14159265f) * 2) << i;
	}
	ASSERT_EQ(g_FrameTime, 0);
	Frame();   // builds the world; nothing moves, but the rocks wrap in
	ASSERT_EQ(g_lObjects.m_Length, 11);
	ExpectRocks(0, 9, 0, 1201, {}, {}, 0);
	EXPECT_EQ(g_lObjects[10], g_pPlayer);

	// A big rock leaves three medium ones, a medium one three small ones,
	// a small one nothing; each is marked dead.
	CGameObject* big = g_lObjects[0];
	big->OnCollision();
	ExpectRocks(11, 13, 1, 1261, big->m_Pos, big->m_Vel, 0);
	g_lObjects[11]->OnCollision();
	ExpectRocks(14, 16, 2, 1279, big->m_Pos, g_lObjects[11]->m_Vel, 0);
	g_lObjects[14]->OnCollision();
	EXPECT_EQ(g_lObjects.m_Length, 17);
	for (long i : {0, 11, 14})
		EXPECT_EQ(g_lObjects[i]->m_Flags, 13u);

	// The ship's hit rebuilds the world from sixty values in the next frame.
	g_pPlayer->OnCollision();
	EXPECT_EQ(g_Restart, 1);
	Frame();
	EXPECT_EQ(g_Restart, 0);
	ASSERT_EQ(g_lObjects.m_Length, 11);
	ExpectRocks(0, 9, 0, 1297, {}, {}, DT);
	EXPECT_EQ(g_pPlayer->m_Dead, 0);
	g_lObjects[0]->OnCollision();
	EXPECT_EQ(g_lObjects[11]->m_fSpin, Ref(1357) - 0.5f);
}

TEST_F(Game, KeysTurnAndThrustTheShipAndEachPressFiresOneShot)
{
	OnlyTheShip();
	Frame();
	Key(40, true);   // the down arrow and a letter do nothing
	Key('A', true);
	Frame();
	Frame();
	EXPECT_EQ(g_pPlayer->m_fAngle, 0);
	EXPECT_EQ(g_pPlayer->m_Vel.x, 0);
	EXPECT_EQ(g_pPlayer->m_Vel.y, 0);
	EXPECT_EQ(g_lObjects.m_Length, 1);

	// Each key acts from the frame after its press up to the frame its release is pumped in.
	Key(KEY_LEFT, true);
	Frame();
	Frame();
	Key(KEY_LEFT, false);
	Frame();
	EXPECT_EQ(g_pPlayer->m_fAngle, -2 * 5 * DT);
	Key(KEY_RIGHT, true);
	Frame();
	Key(KEY_RIGHT, false);
	Frame();
	const float angle = -5 * DT;
	EXPECT_EQ(g_pPlayer->m_fAngle, angle);
	Key(KEY_UP, true);
	for (int i = 0; i < 4; i++)
		Frame();
	Key(KEY_UP, false);
	Frame();
	Frame();
	EXPECT_NEAR(g_pPlayer->m_Vel.x, std::sin(angle) * 150 * DT * 4, 1e-3);
	EXPECT_NEAR(g_pPlayer->m_Vel.y, -std::cos(angle) * 150 * DT * 4, 1e-3);

	// A shot leaves the nose 32 units ahead at 400 units per second plus the
	// ship's speed, turned along its flight; it lives while its second lasts.
	OnlyTheShip();
	Key(KEY_SPACE, true);
	Frame();
	EXPECT_EQ(Count(-1), 0);
	Frame();
	ASSERT_EQ(Count(-1), 1);
	CBullet* shot = static_cast<CBullet*>(g_lObjects[1]);
	EXPECT_NEAR(shot->m_Pos.x, 320, 1e-3);
	EXPECT_NEAR(shot->m_Pos.y, 240 - 32 - 400 * DT, 1e-3);
	EXPECT_NEAR(shot->m_Vel.y, -400, 1e-3);
	EXPECT_NEAR(shot->m_fAngle, 0, 1e-6);
	EXPECT_EQ(shot->m_fRadius, 3);
	EXPECT_EQ(shot->m_iTexture, g_iTex_Bullet);
	for (int i = 0; i < 3; i++)
		Frame();
	EXPECT_EQ(shot->m_fLife, 0);
	EXPECT_EQ(Count(-1), 1) << "a held key fires once; a life of exactly 0 goes on";
	Frame();
	EXPECT_EQ(Count(-1), 0);
	Key(KEY_SPACE, false);
	Key(KEY_SPACE, true);
	Key(KEY_SPACE, false);
	Frame();
	Frame();
	EXPECT_EQ(Count(-1), 0) << "pressed and released before the ship's update";
}

TEST_F(Game, ShotsSplitRocksTheShipTouchingOneRestartsAndPositionsWrap)
{
	// Two shots in one rock: the first splits it, the second passes the dead
	// rock and splits a medium one at the same place.
	OnlyTheShip();
	Add(new CAsteroid(0), 320, 100);
	Add(new CBullet, 320, 100);
	Add(new CBullet, 320, 100);
	Frame();
	EXPECT_EQ(Count(0), 0);
	EXPECT_EQ(Count(1), 2);
	EXPECT_EQ(Count(2), 3);
	EXPECT_EQ(Count(-1), 0);

	// Ship (radius 24) and big rock (32): 56 apart they do not touch, 55.9 they do.
	OnlyTheShip();
	CAsteroid* rock = Add(new CAsteroid(0), 320 + 56, 240);
	Frame();
	EXPECT_EQ(g_Restart, 0);
	rock->m_Pos.x -= 0.1f;
	Device().m_lDraws.clear();
	Frame();
	EXPECT_EQ(g_Restart, 1);
	EXPECT_EQ(Count(1), 3);
	for (const SCapturedDraw& draw : Device().m_lDraws)
		EXPECT_NE(draw.m_State.m_aTexture[0], g_iTex_Ship) << "a hit ship is not drawn";

	// Spin turns; positions wrap once per frame and axis, exactly 640 and 0 stay.
	OnlyTheShip();
	rock = Add(new CAsteroid(2), 630, 0.25f);
	auto expectAt = [rock](float x, float y) {
		EXPECT_EQ(rock->m_Pos.x, x);
		EXPECT_EQ(rock->m_Pos.y, y);
	};
	rock->m_Vel = TVector2<float>(20, -0.5f);
	rock->m_fSpin = 2;
	GameAdvanceClock(0.5f);
	GameUpdateObjects();
	EXPECT_EQ(rock->m_fAngle, 1);
	expectAt(640, 0);
	rock->m_Vel = TVector2<float>(1, -0.5f);
	GameUpdateObjects();
	expectAt(0.5f, 479.75f);
	rock->m_Pos = TVector2<float>(-700, 1000);
	rock->m_Vel = TVector2<float>(0, 0);
	GameUpdateObjects();
	expectAt(-60, 520);
	GameUpdateObjects();
	expectAt(580, 40);

	// Removal: the last entry fills a freed slot, which is examined again.
	OnlyTheShip();
	CGameObject* kept[3] = {g_pPlayer, Add(new CAsteroid(2), 100, 100), nullptr};
	Add(new CAsteroid(2), 200, 100)->m_Flags |= OBJFLAG_DEAD;
	kept[2] = Add(new CAsteroid(2), 300, 100);
	Add(new CAsteroid(2), 400, 100)->m_Flags |= OBJFLAG_DEAD;
	GameRemoveDeadObjects();
	ASSERT_EQ(g_lObjects.m_Length, 3);
	for (int i = 0; i < 3; i++)
		EXPECT_EQ(g_lObjects[i], kept[i]);
}

TEST_F(Game, AFrameDrawsStarsObjectsAndTextInBatchesOfTheirOwn)
{
	OnlyTheShip();
	Add(new CAsteroid(1), 100, 100)->m_fAngle = 1.5707964f;
	g_pPlayer->m_Pos = TVector2<float>(100, 60);
	for (float& channel : g_pDevice->m_aClearColor)
		channel = 0;
	Device().m_lDraws.clear();
	Device().m_lCalls.clear();
	const float time = g_Time;
	GameFrame();
	const float clear[4] = {0.05f, 0.05f, 0.1f, 1};
	for (int i = 0; i < 4; i++)
		EXPECT_EQ(g_pDevice->m_aClearColor[i], clear[i]);
	EXPECT_EQ(Device().m_lCalls.front(), "Clear(1)");
	EXPECT_EQ(Device().m_lCalls.back(), "SwapBuffers");
	const std::vector<SCapturedDraw>& draws = Device().m_lDraws;
	ASSERT_EQ(draws.size(), 4u);

	// The stars, turned by their angles, shifted against the ship by half its
	// place times their size over 12.
	ASSERT_EQ(draws[0].m_Count, 2 * STAR_COUNT);
	EXPECT_EQ(draws[0].m_State.m_aTexture[0], g_iTex_Star);
	for (int i = 0; i < STAR_COUNT; i++)
	{
		const SStar& star = g_aStars[i];
		SQuad quad = Quad(draws[0], i);
		float k = star.m_fSize / 12, c = std::cos(star.m_fAngle), s = std::sin(star.m_fAngle), h = star.m_fSize / 2;
		ASSERT_NEAR(quad.x, star.m_Pos.x - 100 * 0.5f * k, 1e-3) << i;
		ASSERT_NEAR(quad.y, star.m_Pos.y - 60 * 0.5f * k, 1e-3) << i;
		ASSERT_NEAR(quad.x0, quad.x - h * c + h * s, 1e-3) << i;
		ASSERT_NEAR(quad.y0, quad.y - h * s - h * c, 1e-3) << i;
	}

	// Each object: its texture at its own size, turned, alpha-blended, white,
	// at its place and one field away in every direction.
	const float centres[9][2] = {{0, 0}, {640, 0}, {-640, 0}, {0, 480}, {0, -480}, {640, 480}, {640, -480}, {-640, 480}, {-640, -480}};
	for (int o = 1; o <= 2; o++)
	{
		const CGameObject* object = g_lObjects[o - 1];
		const SCapturedDraw& draw = draws[o];
		ASSERT_EQ(draw.m_Count, 18);
		EXPECT_EQ(draw.m_State.m_aTexture[0], object->m_iTexture);
		EXPECT_TRUE(draw.m_State.m_aFlags[N3D::FLAG_BLEND]);
		EXPECT_EQ(draw.m_State.m_BlendSrc, N3D::BLEND_SRCALPHA);
		EXPECT_EQ(draw.m_State.m_BlendDst, N3D::BLEND_INVSRCALPHA);
		for (int q = 0; q < 9; q++)
		{
			SQuad quad = Quad(draw, q);
			EXPECT_NEAR(quad.x, object->m_Pos.x + centres[q][0], 1e-3) << o << " " << q;
			EXPECT_NEAR(quad.y, object->m_Pos.y + centres[q][1], 1e-3) << o << " " << q;
		}
		for (const NTest::SCapturedVertex& v : draw.m_lVertices)
			ASSERT_TRUE(v.r == 1 && v.g == 1 && v.b == 1 && v.a == 1);
	}
	// The ship's 48 x 48 unturned; the medium rock's 32 x 32 a quarter turn
	// clockwise: its top-left corner at the top right.
	EXPECT_NEAR(Quad(draws[1], 0).x0, 100 - 24, 1e-3);
	EXPECT_NEAR(Quad(draws[1], 0).y0, 60 - 24, 1e-3);
	EXPECT_NEAR(Quad(draws[2], 0).x0, 100 + 16, 1e-3);
	EXPECT_NEAR(Quad(draws[2], 0).y0, 100 - 16, 1e-3);

	// The credits line from 640 - 150 t at y 400, 16 units a character.
	EXPECT_EQ(draws[3].m_State.m_aTexture[0], g_iTex_Text);
	EXPECT_EQ(draws[3].m_Count, 2 * TEXT_LENGTH);
	EXPECT_FLOAT_EQ(Quad(draws[3], 1).x, 640 - time * 150 + 16);
	EXPECT_FLOAT_EQ(Quad(draws[3], 1).y, 400);
}

// The font layout: a character shows the first cell that stores it; one
// without a cell draws nothing but takes its place.
TEST_F(Game, TextShowsEachCharacterFromItsFirstCell)
{
	char line[] = "A~`\x7f\x01\xff'\"\xa4", empty[] = "";
	Device().m_lDraws.clear();
	DrawText(100, 400, line);
	DrawText(0, 0, empty);
	ASSERT_EQ(Device().m_lDraws.size(), 2u);
	EXPECT_EQ(Device().m_lDraws[1].m_Count, 0);
	const SCapturedDraw& draw = Device().m_lDraws[0];
	ASSERT_EQ(draw.m_Count, 8);
	const int cells[4][2] = {{65, 0}, {39, 6}, {34, 7}, {0, 8}};   // cell, place in the line
	for (int q = 0; q < 4; q++)
	{
		SQuad quad = Quad(draw, q);
		int cell = cells[q][0];
		EXPECT_FLOAT_EQ(quad.x, 100 + 16 * cells[q][1]) << q;
		EXPECT_FLOAT_EQ(quad.x0, 100 + 16 * cells[q][1] - 8) << q;
		EXPECT_FLOAT_EQ(quad.y0, 392) << q;
		EXPECT_FLOAT_EQ(quad.u0, (cell % 16) / 16.0f) << q;
		EXPECT_FLOAT_EQ(quad.v0, (cell / 16) / 8.0f) << q;
		EXPECT_FLOAT_EQ(quad.u1, (cell % 16 + 1) / 16.0f) << q;
		EXPECT_FLOAT_EQ(quad.v1, (cell / 16 + 1) / 8.0f) << q;
	}
}

TEST(Setup, ShutdownAndSetupRepeatAndEveryFailureIsReportedAndCleanedUp)
{
	ASSERT_EQ(chdir(NVORN_ASSET_DIR), 0);
	long subsystems = NCore::m_pCore->m_lSubSystems.m_Length;
	g_QuitRequest = 1;
	char argument[] = "Empty";
	EXPECT_EQ(VornMain(argument), 0);
	EXPECT_GT(g_FrameTime, 0);
	EXPECT_LT(g_FrameTime, 1);
	EXPECT_EQ(g_pDevice, nullptr);
	EXPECT_EQ(g_Utils.m_pDevice, nullptr);
	EXPECT_EQ(g_lObjects.m_Length, 0);
	EXPECT_EQ(NCore::m_pCore->m_lSubSystems.m_Length, subsystems);
	for (int run = 0; run < 2; run++)
	{
		ASSERT_EQ(GameSetup(), 0);
		EXPECT_EQ(g_Utils.m_pDevice, g_pDevice);
		EXPECT_TRUE(GameFrame());
		EXPECT_EQ(Device().m_lDraws.size(), 13u) << run;
		EXPECT_EQ(GameShutdown(), 0);
	}
	EXPECT_EQ(GameShutdown(), 0);

	// A device that cannot start, a batcher without a buffer, no device at all.
	NTest::CLogCapture log;
	CGameDevice::g_bOfferMode = false;
	EXPECT_EQ(GameSetup(), -1);
	CGameDevice::g_bOfferMode = true;
	CGameDevice::g_bFailCreate = true;
	EXPECT_EQ(GameSetup(), -1);
	CGameDevice::g_bFailCreate = false;
	NClassRegistry::CHandle* registered = NClassRegistry::m_pFirstClass;
	NClassRegistry::m_pFirstClass = nullptr;
	EXPECT_EQ(VornMain(argument), -1);
	NClassRegistry::m_pFirstClass = registered;
	for (const char* line : {"Bum, the device didn't init it self correctly\n", "Bum, the 2D batcher didn't init it self correctly\n",
	                         "VornMain: no render device is registered as \"3D Device\"\n"})
		EXPECT_EQ(log.Count(line), 1) << line;
	EXPECT_EQ(g_pDevice, nullptr);
	EXPECT_EQ(g_Utils.m_pDevice, nullptr);
	EXPECT_EQ(NCore::m_pCore->m_lSubSystems.m_Length, subsystems);
}

// Missing, undecodable, pixel-less and unsupported files give no texture;
// stars with texture 0 still show, objects without one draw at size 0 and the
// text not at all.
TEST(Textures, BrokenFilesGiveNoTextureAndTheGamePlaysOn)
{
	const std::string folder = testing::TempDir() + "vorn-broken-textures-" + std::to_string(getpid());
	ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
	std::ofstream(folder + "/star.tga", std::ios::binary) << std::ifstream(NVORN_ASSET_DIR "/star.tga", std::ios::binary).rdbuf();
	std::ofstream(folder + "/tree.tga", std::ios::binary) << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x30\0\x30\0\x20\x28", 18);
	std::ofstream(folder + "/ball.tga", std::ios::binary) << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x10\x20\1\2", 20);
	for (const char* name : {"tessik_1.tga", "tessik_2.tga", "tessik_3.tga"})
		std::ofstream(folder + "/" + name) << "not a picture";
	ASSERT_EQ(chdir(folder.c_str()), 0);
	ASSERT_EQ(GameSetup(), 0);
	EXPECT_EQ(g_iTex_Star, 0);
	for (long texture : {g_iTex_Ship, g_iTex_Roid[0], g_iTex_Roid[1], g_iTex_Roid[2], g_iTex_Bullet, g_iTex_Text})
		EXPECT_EQ(texture, -1);
	Key(KEY_SPACE, true);
	Frame();
	Frame();
	const std::vector<SCapturedDraw>& draws = Device().m_lDraws;
	ASSERT_EQ(draws.size(), 24u + Count(-1));
	EXPECT_EQ(draws[12].m_State.m_aTexture[0], 0);
	EXPECT_EQ(draws[12].m_Count, 2 * STAR_COUNT);
	EXPECT_EQ(draws.back().m_State.m_aTexture[0], -1);
	EXPECT_EQ(draws.back().m_lVertices[0].x, draws.back().m_lVertices[4].x);
	GameShutdown();
}
