// The game driver: VornMain and the steps of its frame.
//
// VornMain (declared in core/Core.h) runs GameSetup, then GameFrame and
// GameAdvanceClock with the measured frame time until a quit message has
// been handled, then GameShutdown. The steps are public so that a test or a
// benchmark can drive the very same game one frame, or one step, at a time
// with a frame time of its own choosing.
//
// Setup needs the core (NVorn::NCore::m_pCore) and, for the display device,
// an initialised window system. The driver owns the device and every game
// object; everything runs on the main thread.
#ifndef NVORN_GAME_VORN_H
#define NVORN_GAME_VORN_H

// Creates and initialises the device (a 640 x 480 window), loads the
// textures and prepares the batcher. 0 on success; -1, with a log line and
// nothing left behind, when no device is registered, it fails to start or
// the batcher cannot create its buffer on it. After GameShutdown it may be
// called again and starts the game as the first call did.
int GameSetup();

// One frame: the steps below in order, then the buffer swap. Returns false
// once a quit message has been handled (the frame is still completed).
bool GameFrame();

// The frame's duration, used by the next frame's motion: sets g_FrameTime
// and adds it to g_Time.
void GameAdvanceClock(float seconds);

// Releases the world and the device's resources, shuts the device down and
// deletes it, leaving g_pDevice null and the batcher unprepared; without a
// device only the world is released. Returns 0, VornMain's result after a
// normal quit.
int GameShutdown();

// The steps of a frame, in order.
void GameRestartIfPending();   // ten big rocks and a ship when g_Restart is set
void GameUpdateObjects();      // Update on every object, new ones included
void GameClear();              // clears the colour buffer
void GameRemoveDeadObjects();  // deletes objects marked dead
void GameDrawStars();          // the parallax star field
void GameRenderObjects();      // Render on every object
void GameDrawCredits();        // the scrolling text line
bool GamePumpMessages();       // core update, then keys into the ship's controls; false after a quit

#endif
