// Throughput of NTGA::Load against stb_image on the same 1024 x 1024 files,
// read from memory and from a file. After the runs it prints, for every
// file and source, how many times stb_image's throughput the engine reaches.
#include "foundation/File.h"
#include "foundation/Memory.h"
#include "image/TGA.h"

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace NVorn;

namespace
{
    typedef std::vector<unsigned char> Bytes;

    const int kSide = 1024;

    struct SFile
    {
        const char* name;
        Bytes bytes;
        std::string path;
    };

    unsigned g_Seed = 2024;

    unsigned char Noise()
    {
        g_Seed = g_Seed * 1103515245u + 12345u;
        return (unsigned char)(g_Seed >> 16);
    }

    Bytes Header(int type, int depth, int descriptor)
    {
        return Bytes{0, 0, (unsigned char)type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                     (unsigned char)(kSide & 0xFF), (unsigned char)(kSide >> 8),
                     (unsigned char)(kSide & 0xFF), (unsigned char)(kSide >> 8),
                     (unsigned char)depth, (unsigned char)descriptor};
    }

    // Bottom-up files, the common case, which both readers have to flip.
    Bytes Uncompressed(int type, int depth)
    {
        Bytes file = Header(type, depth, depth == 32 ? 0x08 : 0);
        for (long i = 0; i < long(kSide) * kSide * depth / 8; ++i)
            file.push_back(Noise());
        return file;
    }

    // Sprite-like rows: transparent spans, flat areas and noisy detail.
    std::vector<uint32_t> SpritePixels()
    {
        std::vector<uint32_t> pixels;
        while (pixels.size() < size_t(kSide) * kSide)
        {
            int kind = Noise() % 3;
            int length = 4 + Noise() % 60;
            uint32_t flat = kind == 0 ? 0 : (Noise() << 24 | Noise() << 16 | Noise() << 8 | 0xFF);
            for (int i = 0; i < length; ++i)
                pixels.push_back(kind == 2 ? uint32_t(Noise() << 24 | Noise() << 16 | Noise() << 8 | Noise()) : flat);
        }
        pixels.resize(size_t(kSide) * kSide);
        return pixels;
    }

    void PutPixel(Bytes& file, uint32_t pixel)
    {
        for (int shift = 0; shift < 32; shift += 8)
            file.push_back((unsigned char)(pixel >> shift));
    }

    Bytes RunLength()
    {
        std::vector<uint32_t> pixels = SpritePixels();
        Bytes file = Header(10, 32, 0x08);
        size_t i = 0;
        while (i < pixels.size())
        {
            size_t run = 1;
            while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
                ++run;
            if (run >= 2)
            {
                file.push_back((unsigned char)(0x80 | (run - 1)));
                PutPixel(file, pixels[i]);
                i += run;
                continue;
            }
            size_t raw = 1;
            while (i + raw < pixels.size() && raw < 128 &&
                   !(i + raw + 1 < pixels.size() && pixels[i + raw] == pixels[i + raw + 1]))
                ++raw;
            file.push_back((unsigned char)(raw - 1));
            for (size_t k = 0; k < raw; ++k)
                PutPixel(file, pixels[i + k]);
            i += raw;
        }
        return file;
    }

    std::vector<SFile>& Files()
    {
        static std::vector<SFile> files;
        if (files.empty())
        {
            files.push_back({"rgb24", Uncompressed(2, 24), ""});
            files.push_back({"rgba32", Uncompressed(2, 32), ""});
            files.push_back({"rle32", RunLength(), ""});
            files.push_back({"grey8", Uncompressed(3, 8), ""});
            for (SFile& f : files)
            {
                f.path = std::string("/tmp/nvorn_bench_") + f.name + ".tga";
                FILE* out = std::fopen(f.path.c_str(), "wb");
                std::fwrite(f.bytes.data(), 1, f.bytes.size(), out);
                std::fclose(out);
            }
        }
        return files;
    }

    void SetThroughput(benchmark::State& state)
    {
        state.counters["pixels/s"] = benchmark::Counter(double(state.iterations()) * kSide * kSide,
                                                        benchmark::Counter::kIsRate);
    }

    void NVornMemory(benchmark::State& state, int index)
    {
        SFile& f = Files()[index];
        CMemory stream(f.bytes.data(), long(f.bytes.size()));
        CImage image;
        for (auto _ : state)
        {
            if (!NTGA::Load(stream, image))
                state.SkipWithError("load failed");
            benchmark::DoNotOptimize(image.m_pData);
        }
        SetThroughput(state);
    }

    void StbMemory(benchmark::State& state, int index)
    {
        SFile& f = Files()[index];
        for (auto _ : state)
        {
            int w, h, n;
            unsigned char* pixels = stbi_load_from_memory(f.bytes.data(), int(f.bytes.size()), &w, &h, &n, 0);
            if (!pixels)
                state.SkipWithError("load failed");
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
        }
        SetThroughput(state);
    }

    void NVornFile(benchmark::State& state, int index)
    {
        CFile file(Files()[index].path.c_str(), 5);
        CImage image;
        for (auto _ : state)
        {
            if (!NTGA::Load(file, image))
                state.SkipWithError("load failed");
            benchmark::DoNotOptimize(image.m_pData);
        }
        SetThroughput(state);
    }

    void StbFile(benchmark::State& state, int index)
    {
        FILE* file = std::fopen(Files()[index].path.c_str(), "rb");
        for (auto _ : state)
        {
            std::fseek(file, 0, SEEK_SET);
            int w, h, n;
            unsigned char* pixels = stbi_load_from_file(file, &w, &h, &n, 0);
            if (!pixels)
                state.SkipWithError("load failed");
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
        }
        std::fclose(file);
        SetThroughput(state);
    }

    // Keeps each benchmark's best CPU time per iteration over its
    // repetitions, the figure least disturbed by other work on the machine,
    // so that the ratios can be printed.
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

        void PrintRatios()
        {
            std::printf("\nNVorn throughput / stb_image throughput (target: >= 1.5, grey8 >= 1.0)\n");
            std::printf("%-8s %10s %10s\n", "file", "memory", "file");
            for (const SFile& f : Files())
                std::printf("%-8s %10.2f %10.2f\n", f.name, Ratio("Memory", f.name), Ratio("File", f.name));
        }

    private:
        double Ratio(const std::string& source, const std::string& name)
        {
            double ours = m_Times["NVorn" + source + "/" + name];
            double theirs = m_Times["Stb" + source + "/" + name];
            return ours > 0 ? theirs / ours : 0;
        }

        std::map<std::string, double> m_Times;
    };
}

int main(int argc, char** argv)
{
    for (int i = 0; i < int(Files().size()); ++i)
    {
        std::string name = Files()[i].name;
        benchmark::RegisterBenchmark(("NVornMemory/" + name).c_str(), NVornMemory, i)->Repetitions(5);
        benchmark::RegisterBenchmark(("StbMemory/" + name).c_str(), StbMemory, i)->Repetitions(5);
        benchmark::RegisterBenchmark(("NVornFile/" + name).c_str(), NVornFile, i)->Repetitions(5);
        benchmark::RegisterBenchmark(("StbFile/" + name).c_str(), StbFile, i)->Repetitions(5);
    }
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    for (const SFile& f : Files())
        std::remove(f.path.c_str());
    benchmark::Shutdown();
    return 0;
}
