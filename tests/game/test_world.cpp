// The real game driven frame by frame under a virtual display: the first
// world and its restarts as the random sequence lays them out, and play
// through key events delivered by the window system.
#include "GameHarness.h"

#include "game/Asteroid.h"
#include "game/Bullet.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Vorn.h"

#include <gtest/gtest.h>

using namespace NGameTest;

namespace
{
class CGameEnvironment : public ::testing::Environment
{
public:
	void TearDown() override { StopGame(); }
};
::testing::Environment* const g_pEnvironment = ::testing::AddGlobalTestEnvironment(new CGameEnvironment);

const float PI = 3.14159265f;

float Wrapped(float value, float size)
{
	if (value > size)
		value -= size;
	if (value < 0)
		value += size;
	return value;
}

// What a rock built from values first .. first + 5 of the sequence holds.
struct SExpectedRock
{
	float spin, x, y, vx, vy;
};

SExpectedRock ExpectRock(CReferenceRandom& ref, long first)
{
	SExpectedRock rock;
	rock.spin = ref.Value(first) - 0.5f;
	float dx = 2 * (ref.Value(first + 1) - 0.5f);
	float dy = 2 * (ref.Value(first + 2) - 0.5f);
	float s = ref.Value(first + 3) * 400 + 200;
	rock.x = 320 + dx * s;
	rock.y = 240 + dy * s;
	rock.vx = (ref.Value(first + 4) - 0.5f) * 10;
	rock.vy = (ref.Value(first + 5) - 0.5f) * 10;
	return rock;
}

#define SKIP_WITHOUT_DISPLAY() \
	if (!HaveDisplay()) GTEST_SKIP() << "no display: run under xvfb-run"
}

// Must stay the first test of this program: it sees the generator as
// static initialisation left it.
TEST(World, StarsAndTheFirstWorldFollowTheRandomSequence)
{
	SKIP_WITHOUT_DISPLAY();
	CReferenceRandom ref;
	for (int i = 0; i < STAR_COUNT; i++)
	{
		SCOPED_TRACE(i);
		EXPECT_EQ(g_aStars[i].m_Pos.x, ref.Value(4 * i + 1) * 900);
		EXPECT_EQ(g_aStars[i].m_Pos.y, ref.Value(4 * i + 2) * 900);
		EXPECT_EQ(g_aStars[i].m_fSize, ref.Value(4 * i + 3) * 8 + 4);
		EXPECT_EQ(g_aStars[i].m_fAngle, (ref.Value(4 * i + 4) * PI) * 2);
	}

	ASSERT_TRUE(StartGame());
	EXPECT_EQ(g_FrameTime, 0.0f);
	RunFrame();   // builds the world; with a frame time of 0 nothing moves, but rocks wrap in
	ASSERT_EQ(g_lObjects.m_Length, 11);
	for (int r = 0; r < 10; r++)
	{
		SCOPED_TRACE(r);
		CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[r]);
		ASSERT_NE(rock, nullptr);
		SExpectedRock expected = ExpectRock(ref, 1201 + 6 * r);
		EXPECT_EQ(rock->m_Level, 0);
		EXPECT_EQ(rock->m_fRadius, 32);
		EXPECT_EQ(rock->m_Flags, OBJFLAG_HITPLAYER | OBJFLAG_HITBULLET);
		EXPECT_EQ(rock->m_iTexture, g_iTex_Roid[0]);
		EXPECT_FLOAT_EQ(rock->m_fSpin, expected.spin);
		EXPECT_FLOAT_EQ(rock->m_Pos.x, Wrapped(expected.x, 640));
		EXPECT_FLOAT_EQ(rock->m_Pos.y, Wrapped(expected.y, 480));
		EXPECT_FLOAT_EQ(rock->m_Vel.x, expected.vx);
		EXPECT_FLOAT_EQ(rock->m_Vel.y, expected.vy);
		EXPECT_EQ(rock->m_fAngle, 0.0f);
	}
	ASSERT_EQ(g_lObjects[10], g_pPlayer);
	EXPECT_EQ(g_pPlayer->m_Pos.x, 320);
	EXPECT_EQ(g_pPlayer->m_Pos.y, 240);
	EXPECT_EQ(g_pPlayer->m_fAngle, 0);
	EXPECT_EQ(g_pPlayer->m_fRadius, 24);
	EXPECT_EQ(g_pPlayer->m_iTexture, g_iTex_Ship);
	// The first rock layout is the one every game starts with.
	EXPECT_EQ(SyncRandom(ref), 1261 + 3);
}

TEST(World, ARestartTakesExactlySixtyValues)
{
	SKIP_WITHOUT_DISPLAY();
	ASSERT_TRUE(StartGame());
	CReferenceRandom ref;
	long next = SyncRandom(ref);
	ASSERT_GT(next, 0);
	g_Restart = 1;
	RunFrame();
	EXPECT_EQ(g_Restart, 0);
	ASSERT_EQ(CountRocks(0), 10);
	ASSERT_EQ(CountRocks(-1), 10) << "a rock was split in the restart frame";
	for (int r = 0; r < 10; r++)
	{
		SExpectedRock expected = ExpectRock(ref, next + 6 * r);
		CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[r]);
		EXPECT_FLOAT_EQ(rock->m_fSpin, expected.spin);
		EXPECT_FLOAT_EQ(rock->m_Vel.x, expected.vx);
		EXPECT_FLOAT_EQ(rock->m_Vel.y, expected.vy);
	}
	EXPECT_EQ(SyncRandom(ref), next + 60 + 3);
}

namespace
{
// Each play test starts from an empty field with the ship at the centre and
// no key held.
class Play : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if (!HaveDisplay())
			GTEST_SKIP() << "no display: run under xvfb-run";
		ASSERT_TRUE(StartGame());
		ReleaseKeys();
		ClearWorldExceptShip();
		ASSERT_EQ(g_FrameTime, FRAME_TIME);
	}
	void TearDown() override { ReleaseKeys(); }

	static void ReleaseKeys()
	{
		for (SDL_Keycode key : {SDLK_UP, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE})
			PushKey(key, false);
		RunFrame();
		RunFrame();
	}

	// Space pressed and released one frame apart: one shot, fired in the
	// update of the frame after the press was pumped.
	static void Fire()
	{
		PushKey(SDLK_SPACE, true);
		RunFrame();
		PushKey(SDLK_SPACE, false);
	}

	// The ship's canopy is drawn in bright cyan at its centre when it points up.
	static bool ShipShownAt(const SFrame& frame, int x, int y)
	{
		const uint8_t* p = frame.At(x, y - 5);
		return p[2] > 150 && p[2] > p[0] + 60;
	}
};
}

TEST_F(Play, ThrustMovesTheShipUpTheScreenAndTheArrowsTurnIt)
{
	PushKey(SDLK_UP, true);
	RunFrame();   // the key reaches the ship at the end of this frame
	EXPECT_EQ(g_pPlayer->m_Vel.y, 0);
	for (int i = 0; i < 30; i++)
		RunFrame();
	EXPECT_NEAR(g_pPlayer->m_Vel.y, -150 * FRAME_TIME * 30, 1e-3);
	EXPECT_EQ(g_pPlayer->m_Vel.x, 0);
	EXPECT_LT(g_pPlayer->m_Pos.y, 236);
	EXPECT_EQ(g_pPlayer->m_Pos.x, 320);
	SFrame frame = ReadFront();
	EXPECT_TRUE(ShipShownAt(frame, 320, static_cast<int>(g_pPlayer->m_Pos.y + 0.5f)));
	EXPECT_FALSE(ShipShownAt(frame, 320, 240));

	// Held until the key-up is pumped; then the speed stays: no friction.
	PushKey(SDLK_UP, false);
	RunFrame();
	float speed = g_pPlayer->m_Vel.y;
	EXPECT_NEAR(speed, -150 * FRAME_TIME * 31, 1e-3);
	for (int i = 0; i < 10; i++)
		RunFrame();
	EXPECT_EQ(g_pPlayer->m_Vel.y, speed);

	PushKey(SDLK_LEFT, true);
	RunFrame();
	for (int i = 0; i < 12; i++)
		RunFrame();
	PushKey(SDLK_LEFT, false);
	RunFrame();
	EXPECT_NEAR(g_pPlayer->m_fAngle, -5 * FRAME_TIME * 13, 1e-4);
	PushKey(SDLK_RIGHT, true);
	RunFrame();
	for (int i = 0; i < 25; i++)
		RunFrame();
	PushKey(SDLK_RIGHT, false);
	RunFrame();
	EXPECT_NEAR(g_pPlayer->m_fAngle, 5 * FRAME_TIME * 13, 1e-4);

	// Facing right, thrust pushes toward larger x.
	float vx = g_pPlayer->m_Vel.x;
	PushKey(SDLK_UP, true);
	RunFrame();
	RunFrame();
	PushKey(SDLK_UP, false);
	RunFrame();
	EXPECT_GT(g_pPlayer->m_Vel.x, vx);
}

TEST_F(Play, OneShotPerPressHoweverLongTheKeyIsHeld)
{
	PushKey(SDLK_SPACE, true);
	RunFrame();
	EXPECT_EQ(CountBullets(), 0);
	RunFrame();
	ASSERT_EQ(CountBullets(), 1);
	// Fired from the nose, 32 units ahead, at 400 units per second, and
	// moved by its own update in the same pass.
	CBullet* bullet = dynamic_cast<CBullet*>(g_lObjects[1]);
	ASSERT_NE(bullet, nullptr);
	EXPECT_NEAR(bullet->m_Pos.x, 320, 1e-3);
	EXPECT_NEAR(bullet->m_Pos.y, 240 - 32 - 400 * FRAME_TIME, 1e-3);
	EXPECT_NEAR(bullet->m_Vel.y, -400, 1e-3);
	EXPECT_NEAR(bullet->m_Vel.x, 0, 1e-3);
	for (int i = 0; i < 40; i++)
		RunFrame();
	EXPECT_EQ(CountBullets(), 1);

	PushKey(SDLK_SPACE, false);
	RunFrame();
	PushKey(SDLK_SPACE, true);
	RunFrame();
	RunFrame();
	EXPECT_EQ(CountBullets(), 2);
	PushKey(SDLK_SPACE, false);
	RunFrame();

	// Pressed and released before the ship's next update: no shot.
	for (int i = 0; i < 70; i++)
		RunFrame();
	ASSERT_EQ(CountBullets(), 0);
	PushKey(SDLK_SPACE, true);
	PushKey(SDLK_SPACE, false);
	RunFrame();
	RunFrame();
	EXPECT_EQ(CountBullets(), 0);
}

TEST_F(Play, AShotLivesForItsSecondAndThenDisappears)
{
	Fire();
	RunFrame();
	ASSERT_EQ(CountBullets(), 1);
	// The same countdown as the shot's, in the same single precision.
	float life = 1.0f - FRAME_TIME;
	int frames = 0;
	while (true)
	{
		life -= FRAME_TIME;
		RunFrame();
		frames++;
		if (life < 0)
			break;
		ASSERT_EQ(CountBullets(), 1) << "after " << frames << " more frames";
	}
	EXPECT_EQ(CountBullets(), 0);
	EXPECT_GE(frames, 59);
	EXPECT_LE(frames, 61);
}

TEST_F(Play, AShotSplitsABigRockIntoThreeMediumOnesAtItsPlace)
{
	CReferenceRandom ref;
	CAsteroid* rock = AddRock(0, 320, 110, 6, -3);
	long next = SyncRandom(ref);
	Fire();
	NVorn::TVector2<float> place;
	for (int i = 0; i < 40 && CountRocks(0) == 1; i++)
	{
		// The rock comes before the shot in the list: it has moved when the
		// shot meets it.
		place = NVorn::TVector2<float>(rock->m_Pos.x + 6 * FRAME_TIME, rock->m_Pos.y - 3 * FRAME_TIME);
		RunFrame();
	}
	ASSERT_EQ(CountRocks(0), 0);
	ASSERT_EQ(CountRocks(1), 3);
	EXPECT_EQ(CountBullets(), 0);
	for (int k = 0; k < 3; k++)
	{
		SCOPED_TRACE(k);
		float spin = ref.Value(next + 6 * k) - 0.5f;
		CAsteroid* child = nullptr;
		for (long i = 0; i < g_lObjects.m_Length; i++)
		{
			CAsteroid* candidate = dynamic_cast<CAsteroid*>(g_lObjects[i]);
			if (candidate && candidate->m_fSpin == spin)
				child = candidate;
		}
		ASSERT_NE(child, nullptr);
		float vx = ((ref.Value(next + 6 * k + 4) - 0.5f) * 10 + 6) * 3;
		float vy = ((ref.Value(next + 6 * k + 5) - 0.5f) * 10 - 3) * 3;
		EXPECT_FLOAT_EQ(child->m_Vel.x, vx);
		EXPECT_FLOAT_EQ(child->m_Vel.y, vy);
		EXPECT_EQ(child->m_fRadius, 16);
		EXPECT_EQ(child->m_iTexture, g_iTex_Roid[1]);
		// Built at the rock's place, then moved by their own update.
		EXPECT_NEAR(child->m_Pos.x, place.x + vx * FRAME_TIME, 1e-3);
		EXPECT_NEAR(child->m_Pos.y, place.y + vy * FRAME_TIME, 1e-3);
	}
	EXPECT_EQ(SyncRandom(ref), next + 18 + 3);
}

TEST_F(Play, ASmallRockLeavesNothing)
{
	AddRock(2, 320, 150, 0, 0);
	Fire();
	for (int i = 0; i < 40 && CountRocks(-1) > 0; i++)
		RunFrame();
	EXPECT_EQ(CountRocks(-1), 0);
	EXPECT_EQ(CountBullets(), 0);
	EXPECT_EQ(g_lObjects.m_Length, 1);
}

TEST_F(Play, TheShipTouchingARockRestartsTheWorldInTheNextFrame)
{
	CAsteroid* rock = AddRock(0, 320 + 56, 240, 0, 0);
	RunFrame();
	EXPECT_EQ(g_Restart, 0) << "centres 56 apart do not touch";
	EXPECT_EQ(CountRocks(0), 1);

	rock->m_Pos.x = 320 + 55.9f;
	RunFrame();
	EXPECT_EQ(g_Restart, 1);
	EXPECT_EQ(g_pPlayer->m_Dead, 1);
	EXPECT_EQ(CountRocks(0), 0);
	EXPECT_EQ(CountRocks(1), 3);
	EXPECT_FALSE(ShipShownAt(ReadFront(), 320, 240)) << "a hit ship is not drawn";

	RunFrame();
	EXPECT_EQ(g_Restart, 0);
	EXPECT_EQ(CountRocks(0), 10);
	EXPECT_EQ(CountRocks(1), 0);
	EXPECT_EQ(g_lObjects.m_Length, 11);
	EXPECT_EQ(g_lObjects[10], g_pPlayer);
	EXPECT_EQ(g_pPlayer->m_Dead, 0);
	EXPECT_EQ(g_pPlayer->m_Pos.x, 320);
	EXPECT_EQ(g_pPlayer->m_Pos.y, 240);
}

TEST_F(Play, PositionsWrapAtTheFieldEdgesOncePerFrame)
{
	RunFrame(0.5f);   // the next frame moves everything by half a second
	CAsteroid* rock = AddRock(2, 630, 0.25f, 20, -0.5f);
	RunFrame(0.5f);
	EXPECT_EQ(rock->m_Pos.x, 640) << "exactly 640 stays";
	EXPECT_EQ(rock->m_Pos.y, 0) << "exactly 0 stays";
	rock->m_Vel = NVorn::TVector2<float>(1, -0.5f);
	RunFrame(0.5f);
	EXPECT_EQ(rock->m_Pos.x, 0.5f);
	EXPECT_EQ(rock->m_Pos.y, 479.75f);
	rock->m_Pos = NVorn::TVector2<float>(-700, 1000);
	rock->m_Vel = NVorn::TVector2<float>(0, 0);
	RunFrame();
	EXPECT_EQ(rock->m_Pos.x, -60) << "one correction per frame";
	EXPECT_EQ(rock->m_Pos.y, 520);
	RunFrame();
	EXPECT_EQ(rock->m_Pos.x, 580);
	EXPECT_EQ(rock->m_Pos.y, 40);
}
