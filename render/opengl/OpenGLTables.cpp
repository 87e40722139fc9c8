#include "render/opengl/OpenGLTables.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

// The destination colour factors come before the alpha ones here, unlike
// OpenGL's own numbering.
const GLenum g_aBlendTable[BLEND_COUNT] = {
    GL_ZERO, GL_ONE,
    GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
    GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
    GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
};

const GLenum g_aTestTable[TEST_COUNT] = {
    GL_NEVER, GL_LESS, GL_LEQUAL, GL_GREATER,
    GL_GEQUAL, GL_EQUAL, GL_NOTEQUAL, GL_ALWAYS,
};

const GLenum g_aStencilOpTable[STENCILOP_COUNT] = {
    GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT,
};

const GLenum g_aCullTable[CULL_COUNT] = { GL_CW, GL_CCW };

const GLenum g_aDrawTable[PRIM_COUNT] = {
    GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES,
    GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_QUADS,
};
const long g_aPrimTable[PRIM_COUNT]    = { 1, 2, 1, 3, 1, 1, 4 };
const long g_aPrimAddTable[PRIM_COUNT] = { 0, 0, 1, 0, 2, 2, 0 };

const GLint g_aTexFormatTableInt[TEXFORMAT_COUNT] = {
    GL_RGB, GL_RGBA, GL_ALPHA, GL_LUMINANCE8,
};
const GLenum g_aTexFormatTableFormat[TEXFORMAT_COUNT] = {
    GL_RGB, GL_RGBA, GL_ALPHA, GL_LUMINANCE,
};
const GLenum g_aTexFormatTableType[TEXFORMAT_COUNT] = {
    GL_UNSIGNED_BYTE, GL_UNSIGNED_BYTE, GL_FLOAT, GL_UNSIGNED_BYTE,
};

long PrimToOGL(long type, long count)
{
    if (!IsInEnumeration(type, PRIM_COUNT))
        return 0;
    return g_aPrimTable[type] * count + g_aPrimAddTable[type];
}

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn
