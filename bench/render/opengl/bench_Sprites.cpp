// Sprite throughput of the OpenGL device: 20,000 rotated, alpha-blended
// 8 x 8 sprites of one texture per frame in a 640 x 480 window, drawn three
// ways, each in a window of its own:
//   1. through C2DUtils on COpenGLDevice_SDL;
//   2. through SDL's 2D renderer ("opengl" driver, batching on), one
//      SDL_RenderCopyExF per sprite;
//   3. by a plain OpenGL loop that fills one set of client-side arrays per
//      1365 sprites and issues one glDrawArrays for it.
// The three take turns over several rounds. After the runs it prints, for
// each, the median sprites per second and the main thread's processor time
// per frame (the rest of a frame is the rasteriser's), and the ratios of the
// first to the other two.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/Core.h"
#include "image/Image.h"
#include "render/Matrix.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace
{

const int  kSprites = 20000;
const int  kSpritesPerBatch = 1365;   // 8192 vertices of 6 per sprite
const int  kWidth = 640;
const int  kHeight = 480;
const float kSize = 8.0f;

struct SSprite
{
    float x, y, angle;   // angle in radians
};

// The same field of sprites for every way of drawing.
std::vector<SSprite> MakeSprites()
{
    std::vector<SSprite> sprites(kSprites);
    unsigned int seed = 12345;
    for (SSprite& sprite : sprites)
    {
        seed = seed * 1103515245u + 12345u;
        sprite.x = static_cast<float>((seed >> 8) % kWidth);
        seed = seed * 1103515245u + 12345u;
        sprite.y = static_cast<float>((seed >> 8) % kHeight);
        seed = seed * 1103515245u + 12345u;
        sprite.angle = static_cast<float>((seed >> 8) % 6283) / 1000.0f;
    }
    return sprites;
}

// An 8 x 8 RGBA disc with a soft edge, so the blending does real work.
std::vector<unsigned char> MakeTexels()
{
    std::vector<unsigned char> texels(8 * 8 * 4);
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            float dx = x - 3.5f, dy = y - 3.5f;
            float alpha = 1.0f - std::sqrt(dx * dx + dy * dy) / 4.5f;
            unsigned char* texel = &texels[(y * 8 + x) * 4];
            texel[0] = 255;
            texel[1] = static_cast<unsigned char>(128 + 16 * x);
            texel[2] = static_cast<unsigned char>(64 + 24 * y);
            texel[3] = static_cast<unsigned char>(alpha > 0 ? alpha * 255 : 0);
        }
    }
    return texels;
}

const int kWarmUpFrames = 5;   // shader compilation and first-use costs
const int kRounds = 3;         // the three ways take turns, kRounds times

// Sprites per second and main-thread milliseconds per frame of each way,
// one entry per round.
std::vector<double> g_alRates[3];
std::vector<double> g_alThreadMs[3];

double ThreadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

double Median(std::vector<double> rates)
{
    if (rates.empty())
        return 0;
    std::sort(rates.begin(), rates.end());
    return rates[rates.size() / 2];
}

// Times the benchmark loop in wall-clock time. Google Benchmark calls a
// benchmark several times while it settles the iteration count; the last
// call is the measured one, and its rate replaces those of the earlier calls
// of the same round.
class CRateMeter
{
public:
    CRateMeter(int index, benchmark::State& state)
        : m_Index(index), m_Round(state.range(0)), m_Start(Clock::now()),
          m_ThreadStart(ThreadSeconds()) {}
    void Finish(benchmark::State& state)
    {
        double seconds = std::chrono::duration<double>(Clock::now() - m_Start).count();
        double frames = static_cast<double>(state.iterations());
        double rate = frames * kSprites / seconds;
        Store(g_alRates[m_Index], rate);
        Store(g_alThreadMs[m_Index], (ThreadSeconds() - m_ThreadStart) * 1000 / frames);
        state.counters["sprites/s"] = rate;
    }

private:
    typedef std::chrono::steady_clock Clock;
    void Store(std::vector<double>& values, double value)
    {
        values.resize(std::max<size_t>(values.size(), m_Round + 1));
        values[m_Round] = value;
    }

    int m_Index;
    size_t m_Round;
    Clock::time_point m_Start;
    double m_ThreadStart;
};

void BM_NVorn2DUtils(benchmark::State& state)
{
    std::vector<SSprite> sprites = MakeSprites();
    COpenGLDevice_SDL device;
    if (!device.Init(CMode(kWidth, kHeight, false, 0)))
    {
        state.SkipWithError("no window");
        return;
    }
    // The device leaves the driver's swap interval; a measured frame must
    // not wait for the display.
    SDL_GL_SetSwapInterval(0);
    CImage image;
    image.Create(TVector2<long>(8, 8), 32);
    std::vector<unsigned char> texels = MakeTexels();
    std::copy(texels.begin(), texels.end(), image.m_pData);
    long texture = device.CreateTexture(image);
    C2DUtils utils;
    utils.Init(&device, 8192);
    device.m_aClearColor[0] = device.m_aClearColor[1] = device.m_aClearColor[2] = 0;
    device.m_aClearColor[3] = 1;

    auto frame = [&]()
    {
        device.Clear(CLEAR_COLOR);
        utils.SetDefaults();
        utils.SetTexture(texture);
        utils.SetBlend(BLENDMODE_ALPHA);
        for (int first = 0; first < kSprites; first += kSpritesPerBatch)
        {
            int last = std::min(first + kSpritesPerBatch, kSprites);
            utils.Quad_Begin();
            for (int i = first; i < last; ++i)
            {
                utils.Quad_SetRotation(sprites[i].angle);
                utils.Quad_Draw(sprites[i].x, sprites[i].y, kSize, kSize);
            }
            utils.Quad_End();
        }
        device.SwapBuffers();
    };
    for (int i = 0; i < kWarmUpFrames; ++i)
        frame();
    CRateMeter meter(0, state);
    for (auto _ : state)
        frame();
    meter.Finish(state);
    device.ClearAllAllocatedIndexes();
    device.Shutdown();
}

void BM_SDLRenderer(benchmark::State& state)
{
    std::vector<SSprite> sprites = MakeSprites();
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_Window* window = SDL_CreateWindow("SDL renderer", 50, 50, kWidth, kHeight,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer)
    {
        state.SkipWithError(SDL_GetError());
        if (window)
            SDL_DestroyWindow(window);
        return;
    }
    SDL_GL_SetSwapInterval(0);
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888,
                                             SDL_TEXTUREACCESS_STATIC, 8, 8);
    std::vector<unsigned char> texels = MakeTexels();
    SDL_UpdateTexture(texture, nullptr, texels.data(), 8 * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);

    auto frame = [&]()
    {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        for (const SSprite& sprite : sprites)
        {
            SDL_FRect target = { sprite.x - kSize / 2, sprite.y - kSize / 2, kSize, kSize };
            SDL_RenderCopyExF(renderer, texture, nullptr, &target,
                              sprite.angle * 57.29577951308232, nullptr, SDL_FLIP_NONE);
        }
        SDL_RenderPresent(renderer);
    };
    for (int i = 0; i < kWarmUpFrames; ++i)
        frame();
    CRateMeter meter(1, state);
    for (auto _ : state)
        frame();
    meter.Finish(state);
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
}

// The same work as the device does, written straight against OpenGL:
// separate position, colour and texture-coordinate arrays, six vertices per
// sprite, one draw per 1365 sprites.
void BM_PlainOpenGL(benchmark::State& state)
{
    std::vector<SSprite> sprites = MakeSprites();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Window* window = SDL_CreateWindow("Plain OpenGL", 50, 50, kWidth, kHeight,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context)
    {
        state.SkipWithError(SDL_GetError());
        if (window)
            SDL_DestroyWindow(window);
        return;
    }
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);

    GLuint texture = 0;
    std::vector<unsigned char> texels = MakeTexels();
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(NMatrix::Ortho(0, kWidth, 0, kHeight, 2, 0).m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);

    const int vertices = kSpritesPerBatch * 6;
    std::vector<float> positions(vertices * 3), colors(vertices * 4), coordinates(vertices * 2);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glColorPointer(4, GL_FLOAT, 0, colors.data());
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    const int aCorner[6] = { 0, 1, 2, 1, 3, 2 };
    const float aU[4] = { 0, 1, 0, 1 };
    const float aV[4] = { 0, 0, 1, 1 };
    const float aDX[4] = { -kSize / 2, kSize / 2, -kSize / 2, kSize / 2 };
    const float aDY[4] = { -kSize / 2, -kSize / 2, kSize / 2, kSize / 2 };

    auto frame = [&]()
    {
        glClear(GL_COLOR_BUFFER_BIT);
        for (int first = 0; first < kSprites; first += kSpritesPerBatch)
        {
            int last = std::min(first + kSpritesPerBatch, kSprites);
            float* position = positions.data();
            float* color = colors.data();
            float* coordinate = coordinates.data();
            for (int i = first; i < last; ++i)
            {
                const SSprite& sprite = sprites[i];
                float c = std::cos(sprite.angle), s = std::sin(sprite.angle);
                for (int corner : aCorner)
                {
                    *position++ = sprite.x + c * aDX[corner] - s * aDY[corner];
                    *position++ = sprite.y + s * aDX[corner] + c * aDY[corner];
                    *position++ = -1;
                    *color++ = 1;
                    *color++ = 1;
                    *color++ = 1;
                    *color++ = 1;
                    *coordinate++ = aU[corner];
                    *coordinate++ = aV[corner];
                }
            }
            glDrawArrays(GL_TRIANGLES, 0, (last - first) * 6);
        }
        SDL_GL_SwapWindow(window);
    };
    for (int i = 0; i < kWarmUpFrames; ++i)
        frame();
    CRateMeter meter(2, state);
    for (auto _ : state)
        frame();
    meter.Finish(state);
    glDeleteTextures(1, &texture);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
}

// The ways take turns so that a change in the machine's load over the run
// falls on all three alike; each reports the median of its rounds.
void RegisterRounds()
{
    for (int round = 0; round < kRounds; ++round)
    {
        benchmark::RegisterBenchmark("NVorn2DUtils", BM_NVorn2DUtils)->Arg(round)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
        benchmark::RegisterBenchmark("SDLRenderer", BM_SDLRenderer)->Arg(round)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
        benchmark::RegisterBenchmark("PlainOpenGL", BM_PlainOpenGL)->Arg(round)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        return 1;
    }
    NCore::CCore* core = new NCore::CCore;
    RegisterRounds();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    double aRate[3];
    for (int way = 0; way < 3; ++way)
        aRate[way] = Median(g_alRates[way]);
    std::printf("\nSprites per second, median of %d rounds (%d rotated, alpha-blended"
                " 8 x 8 sprites per frame):\n", kRounds, kSprites);
    const char* aName[3] = {
        "NVorn C2DUtils on COpenGLDevice_SDL", "SDL renderer (opengl, batching)",
        "plain OpenGL loop",
    };
    for (int way = 0; way < 3; ++way)
        std::printf("  %-36s %10.0f   main thread %6.1f ms/frame\n", aName[way], aRate[way],
                    Median(g_alThreadMs[way]));
    if (aRate[1] > 0)
        std::printf("  NVorn / SDL renderer: %6.2f (target >= 10)\n", aRate[0] / aRate[1]);
    if (aRate[2] > 0)
        std::printf("  NVorn / plain OpenGL: %6.2f (target >= 0.8)\n", aRate[0] / aRate[2]);

    delete core;
    NCore::m_pCore = nullptr;
    SDL_Quit();
    return 0;
}
