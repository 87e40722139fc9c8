// C2DUtils: the 2D batcher. It draws screen-space lines and textured,
// coloured, rotated quads through a render device, in a fixed 640 x 480 space
// (x to the right, y downwards, (0, 0) at the top left) whatever the display
// mode.
//
// A batch is opened with Quad_Begin or Line_Begin, which lock the batcher's
// vertex buffer; Quad_Draw and Line_Draw write vertices straight into the
// locked arrays; Quad_End or Line_End unlocks, sets the complete 2D render
// state and issues one draw call. Colours, texture coordinates and rotation
// apply to each Draw call as they stand at that call; the texture and blend
// mode as they stand at End apply to the whole batch.
//
// A batch never writes past the buffer: a Draw that does not fit draws the
// batch so far and continues in a fresh batch with the same settings.
//
// Ownership: the device is not owned. The vertex buffer is created once by
// Init and kept for the object's life; the destructor does not destroy it.
#ifndef NVORN_UTILS2D_2DUTILS_H
#define NVORN_UTILS2D_2DUTILS_H

#include "render/Device.h"

namespace NVorn {
namespace N3D {

// Batcher modes.
enum
{
    UTILS_NONE  = 0,  // no buffer yet
    UTILS_READY = 1,
    UTILS_QUADS = 2,  // a quad batch is open
    UTILS_LINES = 3   // a line batch is open
};

// Blend modes of a batch.
enum
{
    BLENDMODE_NONE  = 0,
    BLENDMODE_ALPHA = 1,
    BLENDMODE_ADD   = 2
};

class C2DUtils
{
public:
    C2DUtils();
    ~C2DUtils();

    // Creates the batch buffer of the given capacity in vertices (a quad
    // takes 6, a line 2). Succeeds once; false for a null device or when the
    // device cannot create the buffer.
    bool Init(CDevice* device, long vertices);

    // White opaque corners, the whole texture (0,0)-(1,1), no rotation, no
    // texture. Leaves the blend mode and any open batch alone.
    void SetDefaults();

    // Corners are numbered 0 top-left, 1 top-right, 2 bottom-left,
    // 3 bottom-right; corners 0 and 1 also colour a line's start and end.
    // A corner outside 0..3 is ignored.
    void SetColor(float r, float g, float b, float a);
    void SetColor(long corner, float r, float g, float b, float a);
    void SetTexCoord(float uLeft, float vTop, float uRight, float vBottom);
    void SetTexCoord(long corner, float u, float v);
    // Radians; a positive angle turns quads clockwise on the screen.
    void Quad_SetRotation(float radians);
    void SetTexture(long texture);
    void SetBlend(long mode);

    // Open a batch; false when the batcher is not ready or the lock fails.
    bool Line_Begin();
    bool Quad_Begin();
    // Outside a batch of their own kind these do nothing.
    void Line_Draw(float x1, float y1, float x2, float y2);
    void Quad_Draw(float x, float y, float width, float height);   // centred on (x, y)
    void Line_End();
    void Quad_End();

    // The general lock and unlock of the batch buffer. LockVB opens a batch
    // of the given mode (UTILS_QUADS or UTILS_LINES); outside UTILS_READY,
    // or for another mode, it logs and fails.
    bool LockVB(long mode);
    void UnlockVB();

    // The complete render state for a batch: the defaults, then the 2D
    // settings, the buffer, the texture and the blend mode.
    void SetState();

    CDevice*       m_pDevice;       // not owned
    long           m_VB;            // the batch vertex buffer
    CVertexBuffer* m_pLocked;       // its arrays while a batch is open, else null
    long           m_Vertices;      // vertices written into the open batch
    float          m_aColor[4][4];  // per corner: r, g, b, a
    float          m_aTexCoord[4][2];  // per corner: u, v
    float          m_Rotation;      // radians
    long           m_Texture;       // -1 for none
    long           m_Mode;          // UTILS_*
    long           m_Blend;         // BLENDMODE_*

private:
    bool Lock(long mode);
    void End(long mode, long prim, long verticesPerPrimitive);
    bool MakeRoom(long vertices);
    void WriteVertex(long index, float x, float y, const float* color);
    void UpdateRotation();

    // sin and cos of m_fRotationCached, so that a rotation held over many
    // quads is turned into a sine and cosine once.
    float m_fRotationCached;
    float m_fSin;
    float m_fCos;
};

} // namespace N3D
} // namespace NVorn

#endif
