// CState: the complete fixed-function render state as one value, plus one
// virtual setter per state group.
//
// A plain CState only records: its setters store their arguments and do
// nothing else, so a CState on the stack describes a state that can be filled
// in and handed to a device in one State_Set call. A render device derives
// from CState and overrides every setter to apply the change to the graphics
// API first and then record it exactly as the base does; the recorded fields
// of a device therefore always describe the state last applied, and
// State_Set can skip whatever is already in place.
//
// The fields have no defined contents until State_SetDefaults(true) (or a
// full set of setter calls) has run. Resource handles are device handles;
// -1 means none.
//
// Every enumeration below has fixed values that a back end's translation
// tables index. A back end must not index a table with a value for which
// IsInEnumeration(value, <ENUM>_COUNT) is false: it refuses such a value
// (no graphics call). The base setters record the low bits as stated.
#ifndef NVORN_RENDER_STATE_H
#define NVORN_RENDER_STATE_H

#include <cstdint>

#include "render/Matrix.h"
#include "render/Vector.h"

namespace NVorn {
namespace N3D {

// Render flags: argument of Flag_Set, index into m_aFlags.
enum
{
    FLAG_BLEND        = 0,
    FLAG_CULL         = 1,
    FLAG_COLORWRITE   = 2,  // all four colour channels at once
    FLAG_DEPTHTEST    = 3,
    FLAG_DEPTHWRITE   = 4,
    FLAG_STENCILTEST  = 5,
    FLAG_STENCILWRITE = 6,  // all eight stencil bits or none
    FLAG_COUNT        = 7
};

// Blend factors, the same set for source and destination.
enum
{
    BLEND_ZERO        = 0,
    BLEND_ONE         = 1,
    BLEND_SRCCOLOR    = 2,
    BLEND_INVSRCCOLOR = 3,
    BLEND_SRCALPHA    = 4,
    BLEND_INVSRCALPHA = 5,
    BLEND_DSTCOLOR    = 6,
    BLEND_INVDSTCOLOR = 7,
    BLEND_DSTALPHA    = 8,
    BLEND_INVDSTALPHA = 9,
    BLEND_COUNT       = 10
};

// Comparisons for the depth and stencil tests. Note the order: less-or-equal
// precedes greater, and equal and not-equal come just before always.
enum
{
    TEST_NEVER        = 0,
    TEST_LESS         = 1,
    TEST_LESSEQUAL    = 2,
    TEST_GREATER      = 3,
    TEST_GREATEREQUAL = 4,
    TEST_EQUAL        = 5,
    TEST_NOTEQUAL     = 6,
    TEST_ALWAYS       = 7,
    TEST_COUNT        = 8
};

enum
{
    STENCILOP_KEEP    = 0,
    STENCILOP_ZERO    = 1,
    STENCILOP_REPLACE = 2,  // with the reference value
    STENCILOP_INCR    = 3,
    STENCILOP_DECR    = 4,
    STENCILOP_INVERT  = 5,
    STENCILOP_COUNT   = 6
};

// Which winding counts as the front face; back faces are culled.
enum
{
    CULL_CW    = 0,
    CULL_CCW   = 1,
    CULL_COUNT = 2
};

// Stream bits: vertex component k has the bit 1 << k. The same bits form the
// vertex format of a vertex buffer and the mask given to Stream_Set.
// Component 3 (bit 8) has no stream and is never set.
enum
{
    STREAM_POSITION = 1 << 0,   // 3 floats
    STREAM_NORMAL   = 1 << 1,   // 3 floats
    STREAM_COLOR    = 1 << 2,   // 4 floats r, g, b, a
    STREAM_TEXTURE0 = 1 << 4,   // 2 floats u, v of coordinate set n ...
    STREAM_TEXTURE1 = 1 << 5,
    STREAM_TEXTURE2 = 1 << 6,
    STREAM_TEXTURE3 = 1 << 7,
    STREAM_TEXTURE4 = 1 << 8,
    STREAM_TEXTURE5 = 1 << 9,
    STREAM_TEXTURE6 = 1 << 10,
    STREAM_TEXTURE7 = 1 << 11,  // ... for n = 0..7

    // What the engine passes wherever it means every stream of a buffer:
    // position, normal, colour and texture sets 0 to 5 (sets 6 and 7 are
    // outside it).
    STREAM_ALL      = 0x3F7
};

// Primitive types of Draw and DrawIndexed. The count given to those calls is
// a number of primitives.
enum
{
    PRIM_POINTS        = 0,  // n vertices for n primitives
    PRIM_LINES         = 1,  // 2n
    PRIM_LINESTRIP     = 2,  // n + 1
    PRIM_TRIANGLES     = 3,  // 3n
    PRIM_TRIANGLESTRIP = 4,  // n + 2
    PRIM_TRIANGLEFAN   = 5,  // n + 2
    PRIM_QUADS         = 6,  // 4n
    PRIM_COUNT         = 7
};

// Texture units 0..7 exist throughout.
enum { TEXTURE_UNIT_COUNT = 8 };

// Whether value names an entry of an enumeration of count values (0..count-1).
inline bool IsInEnumeration(long value, long count)
{
    return value >= 0 && value < count;
}

class CState
{
public:
    // Setters, in slot order. The base versions record their arguments; a
    // flag outside 0..6 or a texture unit outside 0..7 changes nothing.
    virtual void Flag_Set(long flag, bool on);
    virtual void Mode_BlendFunc(int src, int dst);     // low 4 bits of each
    virtual void Mode_DepthTest(int test);             // low 4 bits
    virtual void Mode_Cull(int mode);                  // low 2 bits
    virtual void Mode_StencilFunc(int test, int ref, int mask); // ref, mask: low 8 bits
    virtual void Mode_StencilOp(int fail, int zfail, int pass);
    virtual void Mode_PrimaryColor(float r, float g, float b, float a);
    virtual void Mode_WriteMask(bool r, bool g, bool b, bool a);
    virtual void Stream_Vertex(long buffer);
    virtual void Stream_Index(long buffer);
    virtual void Stream_Normal(long buffer);
    virtual void Stream_Color(long buffer);
    virtual void Stream_Texture(long unit, long buffer, long set);
    virtual void Shader_Vertex(long shader);
    virtual void Shader_Pixel(long shader);

    // Shader constants are not recorded state: a back end that supports them
    // passes count registers starting at first straight to the API. The base
    // versions do nothing, and State_Set does not transfer them.
    virtual void Shader_GlobalParam();
    virtual void Shader_VertexParamBool(long first, const bool* values, long count);
    virtual void Shader_VertexParamFloat(long first, const TVector4<float>* values, long count);
    virtual void Shader_VertexParamInt(long first, const TVector4<long>* values, long count);
    virtual void Shader_PixelParamBool(long first, const bool* values, long count);
    virtual void Shader_PixelParamFloat(long first, const TVector4<float>* values, long count);
    virtual void Shader_PixelParamInt(long first, const TVector4<long>* values, long count);
    virtual void Shader_PixelParam();

    virtual void Texture_Set(int unit, long texture);
    virtual void Matrix_Model(TMatrix4<float> m);
    virtual void Matrix_Projection(TMatrix4<float> m);

    // Makes this state equal to other through the virtual setters. Without
    // force only the groups that differ are set, except the write mask and
    // both matrices, which are always set; with force every setter is called.
    virtual void State_Set(const CState& other, bool force);
    // Applies the default state: every setter with force, only the
    // differences without.
    virtual void State_SetDefaults(bool force);

    // Unbinds every stream: vertex, index, normal, colour and the texture
    // coordinates of all eight units.
    void Stream_Clear();
    // Binds buffer to every stream named in the stream-bit mask; unit u reads
    // coordinate set u. Streams whose bit is clear, and the index stream,
    // keep their binding.
    void Stream_Set(long buffer, long mask);

    // Recorded state, in declaration order.
    unsigned char m_aFlags[FLAG_COUNT];   // one byte per flag; non-zero is on
    unsigned char m_BlendSrc : 4;
    unsigned char m_BlendDst : 4;
    uint32_t      m_DepthTest : 4;
    uint32_t      m_Cull : 2;
    bool          m_aWriteMask[4];        // red, green, blue, alpha
    uint32_t      m_StencilFail : 4;      // the stencil test fails
    uint32_t      m_StencilZFail : 4;     // stencil passes, depth fails
    uint32_t      m_StencilPass : 4;      // both pass
    uint32_t      m_StencilFunc : 4;
    uint8_t       m_StencilRef;
    uint8_t       m_StencilMask;
    float         m_aPrimaryColor[4];     // red, green, blue, alpha
    long          m_VertexStream;
    long          m_IndexStream;
    long          m_NormalStream;
    long          m_ColorStream;
    long          m_aTextureStream[TEXTURE_UNIT_COUNT];
    long          m_aTextureSet[TEXTURE_UNIT_COUNT];  // coordinate set (0..7) the unit reads
    long          m_VertexShader;
    long          m_PixelShader;
    long          m_aTexture[TEXTURE_UNIT_COUNT];
    TMatrix4<float> m_Model;
    TMatrix4<float> m_Projection;

private:
    void SetChanged(const CState& other);
    void SetAll(const CState& other);
};

} // namespace N3D
} // namespace NVorn

#endif
