#include "utils2d/2DUtils.h"

#include "foundation/Log.h"
#include "foundation/Utils.h"
#include "render/Matrix.h"

namespace NVorn {
namespace N3D {

namespace {

// The fixed screen space of the batcher.
const float kScreenWidth = 640.0f;
const float kScreenHeight = 480.0f;

// The stream bits of the batch buffer: position, colour, texture set 0.
const long kBatchFormat = STREAM_POSITION | STREAM_COLOR | STREAM_TEXTURE0;

// Corners of the two triangles of a quad, (0, 1, 2) and (1, 3, 2).
const int aQuadCorners[6] = {0, 1, 2, 1, 3, 2};

// One quad corner as its vertices carry it.
struct SQuadCorner
{
    float m_X;
    float m_Y;
    float m_aColor[4];
    float m_U;
    float m_V;
};

} // namespace

C2DUtils::C2DUtils()
    : m_pDevice(nullptr), m_VB(-1), m_pLocked(nullptr), m_Vertices(0),
      m_Rotation(0.0f), m_Texture(-1), m_Mode(UTILS_NONE), m_Blend(BLENDMODE_NONE),
      m_fRotationCached(0.0f), m_fSin(0.0f), m_fCos(1.0f)
{
    SetDefaults();
}

C2DUtils::~C2DUtils()
{
}

bool C2DUtils::Init(CDevice* device, long vertices)
{
    if (m_Mode != UTILS_NONE)
        return false;
    m_pDevice = device;
    if (!device)
        return false;
    m_VB = device->CreateVertexBuffer(vertices, kBatchFormat, 0);
    if (m_VB < 0)
        return false;
    m_Mode = UTILS_READY;
    return true;
}

// ---------------------------------------------------------------------------
// Settings

void C2DUtils::SetDefaults()
{
    SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    SetTexCoord(0.0f, 0.0f, 1.0f, 1.0f);
    m_Rotation = 0.0f;
    m_Texture = -1;
}

void C2DUtils::SetColor(float r, float g, float b, float a)
{
    for (long corner = 0; corner < 4; ++corner)
        SetColor(corner, r, g, b, a);
}

void C2DUtils::SetColor(long corner, float r, float g, float b, float a)
{
    if (corner < 0 || corner > 3)
        return;
    float* c = m_aColor[corner];
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
}

void C2DUtils::SetTexCoord(float uLeft, float vTop, float uRight, float vBottom)
{
    SetTexCoord(0, uLeft, vTop);
    SetTexCoord(1, uRight, vTop);
    SetTexCoord(2, uLeft, vBottom);
    SetTexCoord(3, uRight, vBottom);
}

void C2DUtils::SetTexCoord(long corner, float u, float v)
{
    if (corner < 0 || corner > 3)
        return;
    m_aTexCoord[corner][0] = u;
    m_aTexCoord[corner][1] = v;
}

void C2DUtils::Quad_SetRotation(float radians) { m_Rotation = radians; }
void C2DUtils::SetTexture(long texture)        { m_Texture = texture; }
void C2DUtils::SetBlend(long mode)             { m_Blend = mode; }

// ---------------------------------------------------------------------------
// Batches

// Locks the batch buffer and opens a batch of the given mode. A buffer
// without the arrays a batch writes counts as a failed lock.
bool C2DUtils::Lock(long mode)
{
    CVertexBuffer* locked = m_pDevice->LockVertexBuffer(m_VB, STREAM_ALL);
    if (!locked)
        return false;
    if (!locked->m_pPosition || !locked->m_pColor || !locked->m_apTexCoord[0])
    {
        m_pDevice->UnlockVertexBuffer(m_VB, STREAM_ALL);
        return false;
    }
    m_pLocked = locked;
    m_Mode = mode;
    m_Vertices = 0;
    return true;
}

bool C2DUtils::LockVB(long mode)
{
    if (m_Mode != UTILS_READY || (mode != UTILS_QUADS && mode != UTILS_LINES))
    {
        NLog::Write("C2DUtils::LockVB: Errors mode\n");
        return false;
    }
    return Lock(mode);
}

void C2DUtils::UnlockVB()
{
    if (m_Mode <= UTILS_READY)
        return;
    m_Mode = UTILS_READY;
    m_pDevice->UnlockVertexBuffer(m_VB, STREAM_ALL);
    m_pLocked = nullptr;
}

bool C2DUtils::Quad_Begin()
{
    return m_Mode == UTILS_READY && Lock(UTILS_QUADS);
}

bool C2DUtils::Line_Begin()
{
    return m_Mode == UTILS_READY && Lock(UTILS_LINES);
}

void C2DUtils::Quad_End()
{
    End(UTILS_QUADS, PRIM_TRIANGLES, 3);
}

void C2DUtils::Line_End()
{
    End(UTILS_LINES, PRIM_LINES, 2);
}

void C2DUtils::End(long mode, long prim, long verticesPerPrimitive)
{
    if (m_Mode != mode)
        return;
    UnlockVB();
    SetState();
    m_pDevice->Draw(prim, 0, m_Vertices / verticesPerPrimitive);
}

// Makes room for more vertices in the open batch. When they do not fit, the
// batch so far is drawn and a fresh one opened with the same settings, so
// nothing is written past the buffer and nothing is lost. False when the
// vertices cannot be written: they do not fit even an empty batch, or the
// fresh batch could not be locked.
bool C2DUtils::MakeRoom(long vertices)
{
    long capacity = m_pLocked->m_Count;
    if (m_Vertices + vertices <= capacity)
        return true;
    if (vertices > capacity)
        return false;
    long mode = m_Mode;
    End(mode, mode == UTILS_QUADS ? PRIM_TRIANGLES : PRIM_LINES, mode == UTILS_QUADS ? 3 : 2);
    return Lock(mode);
}

void C2DUtils::SetState()
{
    m_pDevice->State_SetDefaults(true);
    m_pDevice->Flag_Set(FLAG_DEPTHTEST, false);
    m_pDevice->Flag_Set(FLAG_CULL, false);
    m_pDevice->Stream_Set(m_VB, STREAM_ALL);
    m_pDevice->Matrix_Projection(NMatrix::Ortho(0.0f, kScreenWidth, 0.0f, kScreenHeight, 2.0f, 0.0f));
    m_pDevice->Texture_Set(0, m_Texture);
    m_pDevice->Matrix_Model(NMatrix::Unit());
    m_pDevice->Flag_Set(FLAG_BLEND, m_Blend != BLENDMODE_NONE);
    if (m_Blend == BLENDMODE_ALPHA)
        m_pDevice->Mode_BlendFunc(BLEND_SRCALPHA, BLEND_INVSRCALPHA);
    else if (m_Blend == BLENDMODE_ADD)
        m_pDevice->Mode_BlendFunc(BLEND_ONE, BLEND_ONE);
}

// ---------------------------------------------------------------------------
// Drawing

void C2DUtils::WriteVertex(long index, float x, float y, const float* color)
{
    TVector3<float>& position = m_pLocked->m_pPosition[index];
    position.x = x;
    position.y = y;
    position.z = -1.0f;
    float* c = m_pLocked->m_pColor + 4 * index;
    c[0] = color[0];
    c[1] = color[1];
    c[2] = color[2];
    c[3] = color[3];
}

void C2DUtils::Line_Draw(float x1, float y1, float x2, float y2)
{
    if (m_Mode != UTILS_LINES || !MakeRoom(2))
        return;
    WriteVertex(m_Vertices, x1, y1, m_aColor[0]);
    WriteVertex(m_Vertices + 1, x2, y2, m_aColor[1]);
    m_Vertices += 2;
}

void C2DUtils::UpdateRotation()
{
    m_fRotationCached = m_Rotation;
    m_fSin = NVorn::sin(m_Rotation);
    m_fCos = NVorn::cos(m_Rotation);
}

void C2DUtils::Quad_Draw(float x, float y, float width, float height)
{
    if (m_Mode != UTILS_QUADS || !MakeRoom(6))
        return;
    // A NaN rotation never equals its cache and is simply recomputed.
    if (m_Rotation != m_fRotationCached)
        UpdateRotation();

    float left = x - 0.5f * width;
    float top = y - 0.5f * height;
    float right = left + width;
    float bottom = top + height;
    const float cornerX[4] = {left, right, left, right};
    const float cornerY[4] = {top, top, bottom, bottom};

    // Everything a corner's vertices carry, gathered in locals first: the
    // stores into the buffer could otherwise alias the settings and force
    // them to be reloaded for every vertex.
    SQuadCorner corners[4];
    for (int i = 0; i < 4; ++i)
    {
        // Turned about the centre: (cos a dx - sin a dy, sin a dx + cos a dy).
        float dx = cornerX[i] - x;
        float dy = cornerY[i] - y;
        corners[i].m_X = x + (m_fCos * dx - m_fSin * dy);
        corners[i].m_Y = y + (m_fSin * dx + m_fCos * dy);
        for (int c = 0; c < 4; ++c)
            corners[i].m_aColor[c] = m_aColor[i][c];
        corners[i].m_U = m_aTexCoord[i][0];
        corners[i].m_V = m_aTexCoord[i][1];
    }

    TVector3<float>* position = m_pLocked->m_pPosition + m_Vertices;
    float* color = m_pLocked->m_pColor + 4 * m_Vertices;
    TVector2<float>* coords = m_pLocked->m_apTexCoord[0] + m_Vertices;
    for (int i = 0; i < 6; ++i)
    {
        const SQuadCorner& corner = corners[aQuadCorners[i]];
        position[i].x = corner.m_X;
        position[i].y = corner.m_Y;
        position[i].z = -1.0f;
        for (int c = 0; c < 4; ++c)
            color[4 * i + c] = corner.m_aColor[c];
        coords[i].x = corner.m_U;
        coords[i].y = corner.m_V;
    }
    m_Vertices += 6;
}

} // namespace N3D
} // namespace NVorn
