// Frames per second of the real game on the display device, beside the
// ceiling of the same window: a frame that only clears and swaps. Run under
// a display (xvfb-run with LIBGL_ALWAYS_SOFTWARE=1 for the software
// renderer); prints the ratio of the two at the end.
#include "game/Globals.h"
#include "game/Vorn.h"
#include "core/Core.h"
#include "render/Device.h"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

namespace
{
const float FRAME_TIME = 1.0f / 60;

void GameFrames(benchmark::State& state)
{
	for (auto _ : state)
	{
		GameFrame();
		GameAdvanceClock(FRAME_TIME);
	}
	state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void ClearAndSwap(benchmark::State& state)
{
	for (auto _ : state)
	{
		g_pDevice->Clear(NVorn::N3D::CLEAR_COLOR);
		g_pDevice->SwapBuffers();
	}
	state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(ClearAndSwap)->UseRealTime()->MinTime(3);
BENCHMARK(GameFrames)->UseRealTime()->MinTime(3);

// Keeps each run's real time per iteration for the ratio.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
	CRatioReporter() : ConsoleReporter(OO_Tabular) {}

	void ReportRuns(const std::vector<Run>& runs) override
	{
		for (const Run& run : runs)
			m_lSeconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e9;   // reported in ns
		ConsoleReporter::ReportRuns(runs);
	}
	std::map<std::string, double> m_lSeconds;
};
}

int main(int argc, char** argv)
{
	benchmark::Initialize(&argc, argv);
	if (SDL_Init(SDL_INIT_VIDEO) != 0)
	{
		std::printf("bench_game_frame: no display (%s); run it under xvfb-run\n", SDL_GetError());
		return 1;
	}
	new NVorn::NCore::CCore;
	if (chdir(NVORN_ASSET_DIR) != 0 || GameSetup() != 0)
	{
		std::printf("bench_game_frame: the game could not start\n");
		return 1;
	}
	// The device leaves the swap interval to the driver, which may wait for
	// the display's refresh; measured frames must not.
	if (SDL_GL_SetSwapInterval(0) != 0)
		std::printf("bench_game_frame: the swap interval stays the driver's (%s)\n", SDL_GetError());
	// Warm up: the first frames build the world and the renderer's caches.
	for (int i = 0; i < 60; i++)
	{
		GameFrame();
		GameAdvanceClock(FRAME_TIME);
	}

	CRatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	double game = reporter.m_lSeconds["GameFrames/min_time:3.000/real_time"];
	double ceiling = reporter.m_lSeconds["ClearAndSwap/min_time:3.000/real_time"];
	if (game > 0 && ceiling > 0)
		std::printf("game: %.0f frames/s, ceiling (clear and swap): %.0f frames/s, ratio %.2f (target at least 0.50)\n",
		            1 / game, 1 / ceiling, ceiling / game);

	GameShutdown();
	delete NVorn::NCore::m_pCore;
	NVorn::NCore::m_pCore = nullptr;
	SDL_Quit();
	benchmark::Shutdown();
	return 0;
}
