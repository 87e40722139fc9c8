// A long game with random key input on the real display device: objects stay
// in the field, the world stays bounded, OpenGL reports no error and memory
// does not grow. Most frames run the game's update and key pump only; every
// few frames the whole frame is drawn and swapped.
#include "GameHarness.h"

#include "game/Globals.h"
#include "game/GameObject.h"
#include "game/Vorn.h"

#include <GL/gl.h>

#include <cstdio>
#include <malloc.h>
#include <random>

using namespace NGameTest;

namespace
{
#ifdef NVORN_SANITIZED_BUILD
const int FRAMES = 3000;
const int DRAW_EVERY = 5;
#else
const int FRAMES = 100000;
const int DRAW_EVERY = 4;
#endif
const long MAX_OBJECTS = 200;   // 130 rocks at most, a ship, and the shots of a second

const int SAMPLE_EVERY = 500;

// Bytes of heap in use: it rises and falls with the world and the
// renderer's buffers, so the test compares averages over stretches of play.
double HeapInUse()
{
	return static_cast<double>(mallinfo2().uordblks);
}

// Every object inside 0..640 x 0..480 after the update pass.
::testing::AssertionResult AllInsideTheField()
{
	for (long i = 0; i < g_lObjects.m_Length; i++)
	{
		const CGameObject* object = g_lObjects[i];
		if (!(object->m_Pos.x >= 0 && object->m_Pos.x <= FIELD_WIDTH && object->m_Pos.y >= 0 &&
		      object->m_Pos.y <= FIELD_HEIGHT))
			return ::testing::AssertionFailure()
			       << "object " << i << " at " << object->m_Pos.x << "," << object->m_Pos.y;
	}
	return ::testing::AssertionSuccess();
}

class Soak : public CGameTest
{
};
}

TEST_F(Soak, RandomKeysForManyFrames)
{
	ReadEveryFrame(false);

	std::mt19937 random(20261206);
	// Space comes up most often, so that the field fills with shots and
	// fragments; the down arrow and a letter are keys the game ignores.
	const SDL_Keycode keys[] = {SDLK_SPACE, SDLK_SPACE, SDLK_SPACE, SDLK_UP, SDLK_LEFT, SDLK_RIGHT, SDLK_DOWN, SDLK_a};
	bool held[SDL_arraysize(keys)] = {};
	long largest = 0;
	double early = 0, late = 0;   // sums over the second and the last quarter
	int samples = 0;
	for (int frame = 0; frame < FRAMES; frame++)
	{
		if (random() % 3 == 0)
		{
			int k = random() % SDL_arraysize(keys);
			// The three space entries share one key state.
			int state = keys[k] == SDLK_SPACE ? 0 : k;
			held[state] = !held[state];
			PushKey(keys[k], held[state]);
		}
		if (frame % DRAW_EVERY == 0)
		{
			GameFrame();
			ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << frame;
		}
		else
		{
			GameRestartIfPending();
			GameUpdateObjects();
			ASSERT_TRUE(AllInsideTheField()) << "frame " << frame;
			GameRemoveDeadObjects();
			GamePumpMessages();
		}
		GameAdvanceClock(FRAME_TIME);
		ASSERT_LE(g_lObjects.m_Length, MAX_OBJECTS) << "frame " << frame;
		largest = std::max(largest, g_lObjects.m_Length);
		if (frame % SAMPLE_EVERY == 0 && frame >= FRAMES / 4 && frame < FRAMES / 2)
		{
			early += HeapInUse();
			samples++;
		}
		if (frame % SAMPLE_EVERY == 0 && frame >= FRAMES * 3 / 4)
			late += HeapInUse();
	}
	// A leak of a few bytes a frame shows as a rise from one stretch to the
	// other. (The sanitizer build has its own allocator and leak check.)
	double growth = samples > 0 ? (late - early) / samples : 0;
#ifndef NVORN_SANITIZED_BUILD
	EXPECT_LT(growth, 1 << 20) << "heap in use grew by " << growth << " bytes";
#endif
	EXPECT_GT(largest, 11) << "the game never got beyond its first world";
	std::printf("largest world: %ld objects; heap growth from the second to the last quarter: %.0f bytes\n", largest,
	            growth);
}
