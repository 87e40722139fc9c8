// Quad_Draw per quad, in full batches of 1365 quads written into a recording
// device's memory, beside a plain memcpy of the 216 vertex bytes a quad
// takes. Prints the cost of Quad_Draw as a multiple of the copy.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "RecordingDevice.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

const long kQuads = 1365;           // one full batch of an 8192-vertex buffer
const long kQuadBytes = 6 * (12 + 16 + 8);

// A recording device with recording off and a batcher on it.
struct SBatchRig
{
    SBatchRig()
    {
        m_Device.m_bRecord = false;
        m_Device.State_SetDefaults(true);
        m_Utils.Init(&m_Device, 8192);
        m_Utils.SetBlend(BLENDMODE_ALPHA);
    }

    NTest::CRecordingDevice m_Device;
    C2DUtils m_Utils;
};

void DrawBatch(C2DUtils& utils, bool turnEachQuad)
{
    utils.Quad_Begin();
    utils.Quad_SetRotation(0.7f);
    for (long q = 0; q < kQuads; ++q)
    {
        if (turnEachQuad)
            utils.Quad_SetRotation(0.001f * q);
        float x = (float)(q % 640);
        utils.Quad_Draw(x, 240.0f, 16.0f, 16.0f);
    }
    utils.Quad_End();
}

void BM_QuadDraw_HeldRotation(benchmark::State& state)
{
    SBatchRig rig;
    for (auto _ : state)
    {
        DrawBatch(rig.m_Utils, false);
        benchmark::DoNotOptimize(rig.m_Device.VertexBuffer(rig.m_Utils.m_VB)->m_pPosition);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_QuadDraw_HeldRotation)->Repetitions(5);

void BM_QuadDraw_RotationPerQuad(benchmark::State& state)
{
    SBatchRig rig;
    for (auto _ : state)
    {
        DrawBatch(rig.m_Utils, true);
        benchmark::DoNotOptimize(rig.m_Device.VertexBuffer(rig.m_Utils.m_VB)->m_pPosition);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_QuadDraw_RotationPerQuad)->Repetitions(5);

void BM_Memcpy216(benchmark::State& state)
{
    std::vector<unsigned char> source(kQuads * kQuadBytes, 7);
    std::vector<unsigned char> destination(kQuads * kQuadBytes);
    for (auto _ : state)
    {
        for (long q = 0; q < kQuads; ++q)
        {
            std::memcpy(&destination[q * kQuadBytes], &source[q * kQuadBytes], kQuadBytes);
            benchmark::ClobberMemory();
        }
        benchmark::DoNotOptimize(destination.data());
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_Memcpy216)->Repetitions(5);

// Prints the usual table and keeps each benchmark's best CPU time per quad
// over its repetitions: the machine is shared, and the best run is the one
// least disturbed by others.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            double ns = run.GetAdjustedCPUTime() * 1e9
                / benchmark::GetTimeUnitMultiplier(run.time_unit) / kQuads;
            std::string name = run.run_name.function_name;
            if (!m_lNsPerQuad.count(name) || ns < m_lNsPerQuad[name])
                m_lNsPerQuad[name] = ns;
        }
    }

    std::map<std::string, double> m_lNsPerQuad;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto& t = reporter.m_lNsPerQuad;
    if (t.count("BM_Memcpy216") && t["BM_Memcpy216"] > 0)
    {
        double copy = t["BM_Memcpy216"];
        std::printf("\nper quad: memcpy of %ld bytes %.2f ns\n", kQuadBytes, copy);
        for (const char* name : {"BM_QuadDraw_HeldRotation", "BM_QuadDraw_RotationPerQuad"})
            if (t.count(name))
                std::printf("%-28s %.2f ns = %.2f x memcpy\n", name, t[name], t[name] / copy);
    }
    benchmark::Shutdown();
    return 0;
}
