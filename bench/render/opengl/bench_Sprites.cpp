// Sprite throughput of the OpenGL device: 20,000 rotated, alpha-blended
// 8 x 8 sprites of one texture per frame in a 640 x 480 window, drawn three
// ways, each in a window of its own:
//   1. through C2DUtils on COpenGLDevice_SDL;
//   2. through SDL's 2D renderer ("opengl" driver, batching on), one
//      SDL_RenderCopyExF per sprite;
//   3. by a plain OpenGL loop that fills one set of client-side arrays per
//      1365 sprites and issues one glDrawArrays for it.
// After the runs it prints sprites per second for each and the ratios of
// the first to the other two.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
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

// Sprites per second of each way, measured over the benchmark loop.
double g_aRate[3] = {};

// Times the benchmark loop in wall-clock time and keeps the best rate of
// the repetitions Google Benchmark makes.
class CRateMeter
{
public:
    explicit CRateMeter(int index) : m_Index(index), m_Start(Clock::now()) {}
    void Finish(benchmark::State& state)
    {
        double seconds = std::chrono::duration<double>(Clock::now() - m_Start).count();
        double rate = static_cast<double>(state.iterations()) * kSprites / seconds;
        if (rate > g_aRate[m_Index])
            g_aRate[m_Index] = rate;
        state.counters["sprites/s"] = rate;
    }

private:
    typedef std::chrono::steady_clock Clock;
    int m_Index;
    Clock::time_point m_Start;
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
    CImage image;
    image.Create(TVector2<long>(8, 8), 32);
    std::vector<unsigned char> texels = MakeTexels();
    std::copy(texels.begin(), texels.end(), image.m_pData);
    long texture = device.CreateTexture(image);
    C2DUtils utils;
    utils.Init(&device, 8192);
    device.m_aClearColor[0] = device.m_aClearColor[1] = device.m_aClearColor[2] = 0;
    device.m_aClearColor[3] = 1;

    CRateMeter meter(0);
    for (auto _ : state)
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
    }
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

    CRateMeter meter(1);
    for (auto _ : state)
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
    }
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

    CRateMeter meter(2);
    for (auto _ : state)
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
    }
    meter.Finish(state);
    glDeleteTextures(1, &texture);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
}

BENCHMARK(BM_NVorn2DUtils)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SDLRenderer)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainOpenGL)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        return 1;
    }
    NCore::CCore* core = new NCore::CCore;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nSprites per second (%d rotated, alpha-blended 8 x 8 sprites per frame):\n",
                kSprites);
    std::printf("  NVorn C2DUtils on COpenGLDevice_SDL: %12.0f\n", g_aRate[0]);
    std::printf("  SDL renderer (opengl, batching):      %12.0f\n", g_aRate[1]);
    std::printf("  plain OpenGL loop:                    %12.0f\n", g_aRate[2]);
    if (g_aRate[1] > 0)
        std::printf("  NVorn / SDL renderer: %6.2f (target >= 10)\n", g_aRate[0] / g_aRate[1]);
    if (g_aRate[2] > 0)
        std::printf("  NVorn / plain OpenGL: %6.2f (target >= 0.8)\n", g_aRate[0] / g_aRate[2]);

    delete core;
    NCore::m_pCore = nullptr;
    SDL_Quit();
    return 0;
}
