// Translation tables from the engine's render enumerations (render/State.h,
// render/Device.h) to OpenGL values, indexed by the engine value. A value
// outside a table's enumeration (IsInEnumeration false) must never be used
// as an index: the device refuses it before it gets here.
#ifndef NVORN_RENDER_OPENGL_OPENGLTABLES_H
#define NVORN_RENDER_OPENGL_OPENGLTABLES_H

#include <GL/gl.h>

#include "render/Device.h"
#include "render/State.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

extern const GLenum g_aBlendTable[BLEND_COUNT];         // both blend factors
extern const GLenum g_aTestTable[TEST_COUNT];           // depth and stencil tests
extern const GLenum g_aStencilOpTable[STENCILOP_COUNT];
extern const GLenum g_aCullTable[CULL_COUNT];           // the front-face winding

// Primitive types: the OpenGL mode, the vertices per primitive, and the
// extra vertices that start a strip or a fan.
extern const GLenum g_aDrawTable[PRIM_COUNT];
extern const long   g_aPrimTable[PRIM_COUNT];
extern const long   g_aPrimAddTable[PRIM_COUNT];

// Engine texture formats: internal format, pixel format and component type
// of the texels as supplied.
extern const GLint  g_aTexFormatTableInt[TEXFORMAT_COUNT];
extern const GLenum g_aTexFormatTableFormat[TEXFORMAT_COUNT];
extern const GLenum g_aTexFormatTableType[TEXFORMAT_COUNT];

// The number of vertices that count primitives of type take; 0 for a type
// that is no primitive.
long PrimToOGL(long type, long count);

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn

#endif
