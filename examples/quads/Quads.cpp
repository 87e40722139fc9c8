// The shortest complete program on the engine: it opens a window through the
// registry's "3D Device", spins a few coloured quads, writes one line of text
// in line strokes with the 2D batcher, and quits on any key or when the
// window closes.
#include <cmath>

#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "foundation/Log.h"
#include "foundation/Utils.h"
#include "render/Device.h"
#include "render/Mode.h"
#include "render/opengl/sdl/OpenGLDevice_SDL.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;

// Referencing the device's touch function links the device, and with it its
// registration under "3D Device", into this program.
static const bool g_DeviceLinked = (Touch_COpenGLDevice_SDL(), true);

namespace
{
// Letters as strokes on a 4 x 6 grid: pairs of points, -1 ends a letter.
struct SLetter
{
    char  m_Char;
    float m_aStroke[24];
};

const SLetter aLetters[] = {
    {'N', {0, 6, 0, 0, 0, 0, 4, 6, 4, 6, 4, 0, -1}},
    {'V', {0, 0, 2, 6, 2, 6, 4, 0, -1}},
    {'O', {0, 0, 4, 0, 4, 0, 4, 6, 4, 6, 0, 6, 0, 6, 0, 0, -1}},
    {'R', {0, 6, 0, 0, 0, 0, 4, 0, 4, 0, 4, 3, 4, 3, 0, 3, 0, 3, 4, 6, -1}},
};

const SLetter* FindLetter(char c)
{
    for (const SLetter& letter : aLetters)
        if (letter.m_Char == c)
            return &letter;
    return nullptr;
}

void DrawStrokeText(N3D::C2DUtils& utils, float x, float y, float scale, const char* text)
{
    utils.SetDefaults();
    utils.SetColor(1, 0.85f, 0.3f, 1);
    utils.Line_Begin();
    for (; *text; ++text, x += 6 * scale)
    {
        const SLetter* letter = FindLetter(*text);
        if (!letter)
            continue;
        const float* p = letter->m_aStroke;
        for (; p[0] >= 0; p += 4)
            utils.Line_Draw(x + p[0] * scale, y + p[1] * scale, x + p[2] * scale, y + p[3] * scale);
    }
    utils.Line_End();
}

void DrawQuads(N3D::C2DUtils& utils, float seconds)
{
    utils.SetDefaults();
    utils.SetBlend(N3D::BLENDMODE_ALPHA);
    utils.Quad_Begin();
    for (int i = 0; i < 5; i++)
    {
        float phase = seconds + i * 1.2566f;
        utils.SetColor(0, 1, 0.3f + 0.15f * i, 0.2f, 0.9f);
        utils.SetColor(3, 0.2f, 0.4f, 1, 0.9f);
        utils.Quad_SetRotation(phase);
        utils.Quad_Draw(120 + i * 100, 200 + 40 * std::sin(phase), 60, 60);
    }
    utils.Quad_End();
}

// Drains the queue; false once a key was pressed or a quit arrived.
bool KeepRunning()
{
    bool running = true;
    NCore::CCore* core = NCore::m_pCore;
    core->Update();
    for (; core->GotMessages(); core->DiscardCurrentMessage())
    {
        int32_t type = core->GetCurrentMessage()->m_Type;
        if (type == NCore::MSG_KEYDOWN || type == NCore::MSG_QUIT)
            running = false;
    }
    return running;
}
}

int VornMain(char*)
{
    N3D::CDevice* device = static_cast<N3D::CDevice*>(NClassRegistry::CreateByTag(N3D::aDeviceClassTag));
    if (!device)
    {
        NLog::Write("quads: no render device is registered\n");
        return -1;
    }
    int result = -1;
    N3D::C2DUtils utils;
    if (device->Init(N3D::CMode(640, 480, false, 0)) && utils.Init(device, 1024))
    {
        int64_t start = GetTickCount();
        do
        {
            float seconds = (float)(GetTickCount() - start) / (float)GetTickFrequency();
            device->m_aClearColor[0] = 0.08f;
            device->m_aClearColor[1] = 0.08f;
            device->m_aClearColor[2] = 0.12f;
            device->m_aClearColor[3] = 1;
            device->Clear(N3D::CLEAR_COLOR);
            DrawQuads(utils, seconds);
            DrawStrokeText(utils, 250, 360, 6, "NVORN");
            device->SwapBuffers();
        } while (KeepRunning());
        result = 0;
    }
    device->ClearAllAllocatedIndexes();
    device->Shutdown();
    delete device;
    return result;
}
