// CPU time of one frame's update and batch building on the recording device
// (no display, no driver): the first world (ten rocks and the ship) beside a
// crowded one (all 130 rocks a game can hold and 100 shots in flight).
#include "game/Asteroid.h"
#include "game/Bullet.h"
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Sprites.h"
#include "game/Vorn.h"
#include "core/Core.h"
#include "utils2d/2DUtils.h"

#include "RecordingDevice.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace
{
const float FRAME_TIME = 1.0f / 60;

struct SPlacement
{
	CGameObject* object;
	NVorn::TVector2<float> pos, vel;
	float angle, life;
};

NVorn::NTest::CRecordingDevice* g_pRecorder = nullptr;
std::vector<SPlacement> g_lPlacements;

void Start()
{
	if (g_pRecorder)
		return;
	new NVorn::NCore::CCore;
	g_pRecorder = new NVorn::NTest::CRecordingDevice;
	g_pRecorder->m_bRecord = false;
	g_pDevice = g_pRecorder;
	const std::string dir = NVORN_ASSET_DIR "/";
	LoadTexture(g_iTex_Ship, (dir + "tree.tga").c_str());
	LoadTexture(g_iTex_Star, (dir + "star.tga").c_str());
	LoadTexture(g_iTex_Roid[0], (dir + "tessik_1.tga").c_str());
	LoadTexture(g_iTex_Roid[1], (dir + "tessik_2.tga").c_str());
	LoadTexture(g_iTex_Roid[2], (dir + "tessik_3.tga").c_str());
	LoadTexture(g_iTex_Bullet, (dir + "ball.tga").c_str());
	LoadTexture(g_iTex_Text, (dir + "text.tga").c_str());
	g_Utils.Init(g_pRecorder, 8192);
}

// A world whose objects cannot meet within a frame: rocks in the top band,
// shots flying sideways in the bottom band, the ship between them.
void BuildWorld(int rocksPerLevel[3], int shots)
{
	for (long i = 0; i < g_lObjects.m_Length; i++)
		delete g_lObjects[i];
	g_lObjects.Clear();
	g_lPlacements.clear();
	int n = 0;
	for (long level = 0; level < 3; level++)
	{
		for (int i = 0; i < rocksPerLevel[level]; i++, n++)
		{
			CAsteroid* rock = new CAsteroid(level);
			rock->m_Pos = NVorn::TVector2<float>((n * 37) % 640, 40 + (n * 13) % 110);
			g_lObjects.Append(rock);
		}
	}
	g_pPlayer = new CPlayer;
	g_lObjects.Append(g_pPlayer);
	for (int i = 0; i < shots; i++)
	{
		CBullet* shot = new CBullet;
		shot->m_Pos = NVorn::TVector2<float>((i * 53) % 640, 330 + (i * 7) % 140);
		shot->m_Vel = NVorn::TVector2<float>(i % 2 ? 400 : -400, 0);
		g_lObjects.Append(shot);
	}
	for (long i = 0; i < g_lObjects.m_Length; i++)
	{
		CGameObject* o = g_lObjects[i];
		CBullet* shot = dynamic_cast<CBullet*>(o);
		g_lPlacements.push_back(SPlacement{o, o->m_Pos, o->m_Vel, o->m_fAngle, shot ? shot->m_fLife : 0});
	}
	g_Restart = 0;
	g_FrameTime = FRAME_TIME;
}

// Puts every object back where the world was built, so that each frame
// measured does the same work.
void RestoreWorld()
{
	for (const SPlacement& p : g_lPlacements)
	{
		p.object->m_Pos = p.pos;
		p.object->m_Vel = p.vel;
		p.object->m_fAngle = p.angle;
		if (CBullet* shot = dynamic_cast<CBullet*>(p.object))
			shot->m_fLife = p.life;
	}
}

void UpdateAndBatches(benchmark::State& state)
{
	Start();
	int rocks[3] = {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
	BuildWorld(rocks, static_cast<int>(state.range(3)));
	const long objects = g_lObjects.m_Length;
	for (auto _ : state)
	{
		state.PauseTiming();
		RestoreWorld();
		state.ResumeTiming();
		GameUpdateObjects();
		GameClear();
		GameRemoveDeadObjects();
		GameDrawStars();
		GameRenderObjects();
		GameDrawCredits();
	}
	if (g_lObjects.m_Length != objects || g_Restart)
		state.SkipWithError("objects met: the measured frames did not all do the same work");
	state.counters["objects"] = static_cast<double>(objects);
}

// First world: 10 big rocks and the ship. Crowded: 10 big, 30 medium and 90
// small rocks, the ship and 100 shots.
BENCHMARK(UpdateAndBatches)->Args({10, 0, 0, 0})->Args({10, 30, 90, 100})->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
