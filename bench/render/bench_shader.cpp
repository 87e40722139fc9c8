// LoadShader on a 1 MB shader file against reading the same file twice, in
// one run. The file holds three profile blocks; only the last one matches, so
// the loader scans every line and returns a third of the file. After the runs
// it prints how many times the two reads the load takes (target: 1 to 2).
#include "RecordingDevice.h"
#include "foundation/File.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace NVorn;

namespace
{
    const long kFileBytes = 1 << 20;
    const char* const kPath = "/tmp/nvorn_bench_shader.txt";

    // Blocks for two unsupported profiles, then the supported one, each of
    // indented instruction lines, until the file reaches its size.
    void WriteShaderFile()
    {
        std::string text;
        const char* const profiles[3] = {"ps_3_0", "fp40", "ARBvp1_0"};
        for (int block = 0; block < 3; ++block)
        {
            text += std::string(profiles[block]) + "\n{\n";
            for (long line = 0; long(text.size()) < kFileBytes * (block + 1) / 3 - 2; ++line)
                text += "  MAD r" + std::to_string(line % 12) + ", v0, c[" + std::to_string(line % 96) + "], r1;\n";
            text += "}\n";
        }
        FILE* out = std::fopen(kPath, "wb");
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }

    void LoadShader(benchmark::State& state)
    {
        NTest::CRecordingDevice device;
        device.m_aShaderProfiles.Append(CString("ARBvp1_0"));
        CFile file(kPath, 5);
        for (auto _ : state)
        {
            file.Seek(0, 0);
            CString source = device.LoadShader(file);
            if (source.m_Size < kFileBytes / 4)
                state.SkipWithError("the supported block was not found");
            benchmark::DoNotOptimize(source.m_pData);
        }
        state.SetBytesProcessed(state.iterations() * kFileBytes);
    }

    void ReadTwice(benchmark::State& state)
    {
        CFile file(kPath, 5);
        std::vector<char> buffer(size_t(file.GetSize()) + 1);
        for (auto _ : state)
            for (int pass = 0; pass < 2; ++pass)
            {
                file.Seek(0, 0);
                if (file.Read(buffer.data(), file.GetSize()) != file.GetSize())
                    state.SkipWithError("short read");
                benchmark::DoNotOptimize(buffer.data());
            }
        state.SetBytesProcessed(state.iterations() * kFileBytes);
    }

    // Keeps each benchmark's best CPU time per iteration over its
    // repetitions, the figure least disturbed by other work on the machine.
    class CRatioReporter : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns(const std::vector<Run>& runs) override
        {
            for (const Run& run : runs)
                if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                {
                    double& best = m_Times[run.run_name.function_name];
                    double time = run.GetAdjustedCPUTime();
                    if (best == 0 || time < best)
                        best = time;
                }
            ConsoleReporter::ReportRuns(runs);
        }

        void PrintRatio()
        {
            double twice = m_Times["ReadTwice"];
            std::printf("\nLoadShader of a 1 MB file / reading it twice: %.2f x (target: 1 to 2)\n",
                        twice > 0 ? m_Times["LoadShader"] / twice : 0);
        }

    private:
        std::map<std::string, double> m_Times;
    };
}

int main(int argc, char** argv)
{
    WriteShaderFile();
    benchmark::RegisterBenchmark("LoadShader", LoadShader)->Repetitions(5);
    benchmark::RegisterBenchmark("ReadTwice", ReadTwice)->Repetitions(5);
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    std::remove(kPath);
    benchmark::Shutdown();
    return 0;
}
