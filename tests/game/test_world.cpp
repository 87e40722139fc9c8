// The real game driven frame by frame under a virtual display: the first
// world and its restarts as the random sequence lays them out, and play
// through key events delivered by the window system.
#include "GameHarness.h"

#include "game/Asteroid.h"
#include "game/Bullet.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Vorn.h"

using namespace NGameTest;

namespace
{
const float PI = 3.14159265f;

float Wrapped(float value, float size)
{
	if (value > size)
		value -= size;
	if (value < 0)
		value += size;
	return value;
}

// The first ten objects are the big rocks built from value first on, six
// values each (spin, direction, distance from the centre, velocity), then
// moved for dt seconds.
void ExpectRocksFrom(CReferenceRandom& ref, long first, float dt)
{
	for (int r = 0; r < 10; r++)
	{
		SCOPED_TRACE(r);
		CAsteroid* rock = dynamic_cast<CAsteroid*>(g_lObjects[r]);
		ASSERT_NE(rock, nullptr);
		long v = first + 6 * r;
		float dx = 2 * (ref.Value(v + 1) - 0.5f), dy = 2 * (ref.Value(v + 2) - 0.5f);
		float s = ref.Value(v + 3) * 400 + 200;
		float vx = (ref.Value(v + 4) - 0.5f) * 10, vy = (ref.Value(v + 5) - 0.5f) * 10;
		EXPECT_EQ(rock->m_Level, 0);
		EXPECT_EQ(rock->m_iTexture, g_iTex_Roid[0]);
		EXPECT_FLOAT_EQ(rock->m_fSpin, ref.Value(v) - 0.5f);
		EXPECT_FLOAT_EQ(rock->m_Vel.x, vx);
		EXPECT_FLOAT_EQ(rock->m_Vel.y, vy);
		EXPECT_FLOAT_EQ(rock->m_Pos.x, Wrapped(320 + dx * s + vx * dt, 640));
		EXPECT_FLOAT_EQ(rock->m_Pos.y, Wrapped(240 + dy * s + vy * dt, 480));
	}
}

class World : public CGameTest
{
};
}

// Must stay the first test of this program: it sees the generator as
// static initialisation left it.
TEST_F(World, StarsAndTheFirstWorldFollowTheRandomSequence)
{
	CReferenceRandom ref;
	for (int i = 0; i < STAR_COUNT; i++)
	{
		SCOPED_TRACE(i);
		EXPECT_EQ(g_aStars[i].m_Pos.x, ref.Value(4 * i + 1) * 900);
		EXPECT_EQ(g_aStars[i].m_Pos.y, ref.Value(4 * i + 2) * 900);
		EXPECT_EQ(g_aStars[i].m_fSize, ref.Value(4 * i + 3) * 8 + 4);
		EXPECT_EQ(g_aStars[i].m_fAngle, (ref.Value(4 * i + 4) * PI) * 2);
	}

	EXPECT_EQ(g_FrameTime, 0.0f);
	RunFrame();   // builds the world; with a frame time of 0 nothing moves, but rocks wrap in
	ASSERT_EQ(g_lObjects.m_Length, 11);
	ExpectRocksFrom(ref, 1201, 0);
	ASSERT_EQ(g_lObjects[10], g_pPlayer);
	EXPECT_EQ(g_pPlayer->m_Pos.x, 320);
	EXPECT_EQ(g_pPlayer->m_Pos.y, 240);
	EXPECT_EQ(g_pPlayer->m_fAngle, 0);
	EXPECT_EQ(SyncRandom(ref), 1261 + 3);
}

namespace
{
// Each play test starts from an empty field with the ship at the centre and
// no key held.
class Play : public CGameTest
{
protected:
	void SetUp() override
	{
		CGameTest::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
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

	// Key down, pumped in one frame and held for frames more; the key-up is
	// pumped in the frame after.
	static void Hold(SDL_Keycode key, int frames)
	{
		PushKey(key, true);
		for (int i = 0; i <= frames; i++)
			RunFrame();
		PushKey(key, false);
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

	Hold(SDLK_LEFT, 12);
	EXPECT_NEAR(g_pPlayer->m_fAngle, -5 * FRAME_TIME * 13, 1e-4);
	Hold(SDLK_RIGHT, 25);
	EXPECT_NEAR(g_pPlayer->m_fAngle, 5 * FRAME_TIME * 13, 1e-4);
	// Facing right, thrust pushes toward larger x.
	float vx = g_pPlayer->m_Vel.x;
	Hold(SDLK_UP, 1);
	EXPECT_GT(g_pPlayer->m_Vel.x, vx);
}

TEST_F(Play, OneShotPerPressHoweverLongTheKeyIsHeldLivingForItsSecond)
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

	// The key stays down: no second shot, and the first ends on the same
	// countdown as its own, in the same single precision.
	float life = 1.0f - FRAME_TIME;
	int frames = 0;
	for (life -= FRAME_TIME; life >= 0; life -= FRAME_TIME)
	{
		RunFrame();
		frames++;
		ASSERT_EQ(CountBullets(), 1) << "after " << frames << " more frames";
	}
	RunFrame();
	EXPECT_EQ(CountBullets(), 0);
	EXPECT_NEAR(frames + 1, 60, 1) << "frames until the shot is gone";

	PushKey(SDLK_SPACE, false);
	RunFrame();
	Hold(SDLK_SPACE, 1);
	EXPECT_EQ(CountBullets(), 1);

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

TEST_F(Play, AShotSplitsABigRockIntoThreeMediumOnesAndASmallRockLeavesNothing)
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

	ClearWorldExceptShip();
	AddRock(2, 320, 150, 0, 0);
	Fire();
	for (int i = 0; i < 40 && CountRocks(-1) > 0; i++)
		RunFrame();
	EXPECT_EQ(CountRocks(-1), 0);
	EXPECT_EQ(CountBullets(), 0);
	EXPECT_EQ(g_lObjects.m_Length, 1);
}

TEST_F(Play, TheShipTouchingARockRestartsTheWorldInTheNextFrameFromSixtyValues)
{
	CReferenceRandom ref;
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

	long next = SyncRandom(ref);
	ASSERT_GT(next, 0);
	RunFrame();
	EXPECT_EQ(g_Restart, 0);
	ASSERT_EQ(g_lObjects.m_Length, 11);
	EXPECT_EQ(CountRocks(0), 10) << "a rock was split in the restart frame";
	ExpectRocksFrom(ref, next, FRAME_TIME);
	EXPECT_EQ(g_lObjects[10], g_pPlayer);
	EXPECT_EQ(g_pPlayer->m_Dead, 0);
	EXPECT_EQ(g_pPlayer->m_Pos.x, 320);
	EXPECT_EQ(g_pPlayer->m_Pos.y, 240);
	EXPECT_EQ(SyncRandom(ref), next + 60 + 3);
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
