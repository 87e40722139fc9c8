// Helpers for tests that drive the real game in-process: the core, the
// window system and the game's own setup, frames run one at a time with a
// fixed frame time, keys pushed as window-system key events, frames read
// back from the framebuffer, and a reference copy of the engine's random
// sequence to check what the game drew from it. A program linking these
// helpers shuts the game down after its last test.
#ifndef NVORN_TESTS_GAME_GAMEHARNESS_H
#define NVORN_TESTS_GAME_GAMEHARNESS_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class CAsteroid;

namespace NGameTest
{
const float FRAME_TIME = 1.0f / 60;
const int CLEAR_R = 13, CLEAR_G = 13, CLEAR_B = 26;   // the clear colour (0.05, 0.05, 0.1) in bytes

// The engine's generator as documented: value i (1-based) of the sequence.
class CReferenceRandom
{
public:
	float Value(long index);
	// The index of the value that follows three consecutive values, or -1
	// when they do not occur in the first few million.
	long IndexAfter(float a, float b, float c);

private:
	void Extend(long count);
	std::vector<float> m_lValues;
	double m_Seed = 91648253.0;
};

// Draws three values from NVorn::Random and tells which value of the
// sequence the game will draw next.
long SyncRandom(CReferenceRandom& reference);

// True when a display is available (the tests run under a virtual one).
bool HaveDisplay();

// Starts the window system, the core and the game (GameSetup) in the folder
// that holds the textures (or in folder), on the display device with a frame
// read-back. Once per process; later calls return the first result.
bool StartGame(const char* folder = nullptr);
// Shuts the game and the core down.
void StopGame();

// GameFrame, then the clock advanced by seconds.
void RunFrame(float seconds = FRAME_TIME);
// Queues a key event as the window system would deliver it.
void PushKey(SDL_Keycode key, bool down);

// A frame read back from the framebuffer, in screen coordinates (x right,
// y down, 640 x 480).
struct SFrame
{
	std::vector<uint8_t> m_lPixels;   // RGBA, bottom row first as read
	const uint8_t* At(int x, int y) const { return &m_lPixels[((479 - y) * 640 + x) * 4]; }
	// Largest difference of a channel from the colour.
	int Distance(int x, int y, int r, int g, int b) const;
};
SFrame ReadFront();   // the frame last shown, read just before its swap
SFrame ReadBack();    // what has been drawn since the last swap
// Whether every frame is read back before its swap (on at the start).
void ReadEveryFrame(bool on);

// World set-ups: everything but the ship is deleted; the ship is put back
// at the centre, at rest, pointing up, with no key held.
void ClearWorldExceptShip();
CAsteroid* AddRock(long level, float x, float y, float vx, float vy);
int CountBullets();
int CountRocks(long level);   // -1: any level

// Base of the tests that drive the game: skipped without a display, run on
// the game started in the textures' folder.
class CGameTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if (!HaveDisplay())
			GTEST_SKIP() << "no display: run under xvfb-run";
		ASSERT_TRUE(StartGame());
	}
};
}

#endif
