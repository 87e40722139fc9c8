// COpenGLDevice: the render-state setters and drawing.
#include "render/opengl/OpenGLDevice.h"

#include <algorithm>

#include "foundation/Log.h"
#include "render/opengl/GLExt.h"
#include "render/opengl/OpenGLBuffer.h"
#include "render/opengl/OpenGLTables.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

namespace
{

void SetCapability(GLenum capability, bool on)
{
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void SetClientState(GLenum array, bool on)
{
    if (on)
        glEnableClientState(array);
    else
        glDisableClientState(array);
}

// The vertex count of a buffer that supplies an enabled array, folded into
// the smallest count seen so far (-1 while none was seen).
long FoldCount(long smallest, const COpenGLVertexBuffer* buffer, const void* array)
{
    if (!buffer || !array)
        return smallest;
    long count = buffer->m_Buffer.m_Count;
    return smallest < 0 || count < smallest ? count : smallest;
}

} // namespace

void CheckPointer(unsigned long pointerName, unsigned long arrayName, const char* label)
{
    void* pointer = nullptr;
    glGetPointerv(static_cast<GLenum>(pointerName), &pointer);
    if (glIsEnabled(static_cast<GLenum>(arrayName)) && !pointer)
        NLog::WriteF("opengl: warning, %s is enabled and has a null pointer\n", label);
}

void CheckPointers()
{
    CheckPointer(GL_COLOR_ARRAY_POINTER, GL_COLOR_ARRAY, "color array");
    CheckPointer(GL_INDEX_ARRAY_POINTER, GL_INDEX_ARRAY, "index array");
    CheckPointer(GL_NORMAL_ARRAY_POINTER, GL_NORMAL_ARRAY, "normal array");
    CheckPointer(GL_TEXTURE_COORD_ARRAY_POINTER, GL_TEXTURE_COORD_ARRAY, "texcoord array");
    CheckPointer(GL_VERTEX_ARRAY_POINTER, GL_VERTEX_ARRAY, "vertex array");
}

void COpenGLDevice::Flag_Set(long flag, bool on)
{
    switch (flag)
    {
    case FLAG_BLEND:        SetCapability(GL_BLEND, on); break;
    case FLAG_CULL:         SetCapability(GL_CULL_FACE, on); break;
    case FLAG_COLORWRITE:   glColorMask(on, on, on, on); break;
    case FLAG_DEPTHTEST:    SetCapability(GL_DEPTH_TEST, on); break;
    case FLAG_DEPTHWRITE:   glDepthMask(on); break;
    case FLAG_STENCILTEST:  SetCapability(GL_STENCIL_TEST, on); break;
    case FLAG_STENCILWRITE: glStencilMask(on ? 0xFF : 0); break;
    default: return;
    }
    CState::Flag_Set(flag, on);
}

void COpenGLDevice::Mode_BlendFunc(int src, int dst)
{
    if (!IsInEnumeration(src, BLEND_COUNT) || !IsInEnumeration(dst, BLEND_COUNT))
        return;
    glBlendFunc(g_aBlendTable[src], g_aBlendTable[dst]);
    CState::Mode_BlendFunc(src, dst);
}

void COpenGLDevice::Mode_DepthTest(int test)
{
    if (!IsInEnumeration(test, TEST_COUNT))
        return;
    glDepthFunc(g_aTestTable[test]);
    CState::Mode_DepthTest(test);
}

void COpenGLDevice::Mode_Cull(int winding)
{
    if (!IsInEnumeration(winding, CULL_COUNT))
        return;
    glFrontFace(g_aCullTable[winding]);
    CState::Mode_Cull(winding);
}

void COpenGLDevice::Mode_StencilFunc(int test, int ref, int mask)
{
    if (!IsInEnumeration(test, TEST_COUNT))
        return;
    glStencilFunc(g_aTestTable[test], ref, static_cast<GLuint>(mask));
    CState::Mode_StencilFunc(test, ref, mask);
}

void COpenGLDevice::Mode_StencilOp(int fail, int zfail, int pass)
{
    if (!IsInEnumeration(fail, STENCILOP_COUNT) || !IsInEnumeration(zfail, STENCILOP_COUNT) ||
        !IsInEnumeration(pass, STENCILOP_COUNT))
        return;
    glStencilOp(g_aStencilOpTable[fail], g_aStencilOpTable[zfail], g_aStencilOpTable[pass]);
    CState::Mode_StencilOp(fail, zfail, pass);
}

void COpenGLDevice::Mode_PrimaryColor(float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
    CState::Mode_PrimaryColor(r, g, b, a);
}

void COpenGLDevice::Mode_WriteMask(bool r, bool g, bool b, bool a)
{
    glColorMask(r, g, b, a);
    CState::Mode_WriteMask(r, g, b, a);
}

void COpenGLDevice::Stream_Vertex(long handle)
{
    COpenGLVertexBuffer* buffer = FindVertexBuffer(handle);
    const void* positions = buffer ? buffer->m_Buffer.m_pPosition : nullptr;
    if (positions)
        glVertexPointer(3, GL_FLOAT, 0, positions);
    SetClientState(GL_VERTEX_ARRAY, positions != nullptr);
    CState::Stream_Vertex(handle);
}

void COpenGLDevice::Stream_Index(long handle)
{
    COpenGLIndexBuffer* buffer = FindIndexBuffer(handle);
    m_pIndexData = buffer ? buffer->m_Buffer.m_pIndices : nullptr;
    m_pIndexBuffer = m_pIndexData ? buffer : nullptr;
    CState::Stream_Index(handle);
}

void COpenGLDevice::Stream_Normal(long handle)
{
    COpenGLVertexBuffer* buffer = FindVertexBuffer(handle);
    const void* normals = buffer ? buffer->m_Buffer.m_pNormal : nullptr;
    if (normals)
        glNormalPointer(GL_FLOAT, 0, normals);
    SetClientState(GL_NORMAL_ARRAY, normals != nullptr);
    CState::Stream_Normal(handle);
}

void COpenGLDevice::Stream_Color(long handle)
{
    COpenGLVertexBuffer* buffer = FindVertexBuffer(handle);
    const void* colors = buffer ? buffer->m_Buffer.m_pColor : nullptr;
    if (colors)
        glColorPointer(4, GL_FLOAT, 0, colors);
    SetClientState(GL_COLOR_ARRAY, colors != nullptr);
    CState::Stream_Color(handle);
}

bool COpenGLDevice::SelectTextureUnit(long unit, bool client)
{
    if (!IsInEnumeration(unit, TEXTURE_UNIT_COUNT))
        return false;
    // Without the extension's entry points only the first unit exists.
    if (!m_bMultitexture)
        return unit == 0;
    glextActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
    if (client)
        glextClientActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
    return true;
}

void COpenGLDevice::Stream_Texture(long unit, long handle, long set)
{
    if (!SelectTextureUnit(unit, true))
        return;
    COpenGLVertexBuffer* buffer = FindVertexBuffer(handle);
    const void* coordinates = nullptr;
    if (buffer && IsInEnumeration(set, 8))
        coordinates = buffer->m_Buffer.m_apTexCoord[set];
    if (coordinates)
        glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
    SetClientState(GL_TEXTURE_COORD_ARRAY, coordinates != nullptr);
    CState::Stream_Texture(unit, handle, set);
}

void COpenGLDevice::Shader_Vertex(long handle)
{
    // Without vertex programs there is nothing to bind and OpenGL would not
    // know the capability.
    if (m_bVertexProgram)
    {
        SVertexShader* shader = FindVertexShader(handle);
        if (shader)
            glextBindProgramARB(GL_VERTEX_PROGRAM_ARB, shader->glProgram);
        SetCapability(GL_VERTEX_PROGRAM_ARB, shader != nullptr);
    }
    CState::Shader_Vertex(handle);
}

void COpenGLDevice::Shader_Pixel(long handle)
{
    CState::Shader_Pixel(handle);
}

void COpenGLDevice::Shader_GlobalParam()
{
}

void COpenGLDevice::Shader_VertexParamFloat(long first, const TVector4<float>* values, long count)
{
    if (!m_bVertexProgram || !values)
        return;
    for (long i = 0; i < count; ++i)
    {
        const GLfloat parameter[4] = { values[i].x, values[i].y, values[i].z, values[i].w };
        glextProgramLocalParameter4fvARB(GL_VERTEX_PROGRAM_ARB, static_cast<GLuint>(first + i),
                                         parameter);
    }
}

void COpenGLDevice::Shader_PixelParam()
{
}

void COpenGLDevice::Texture_Set(int unit, long handle)
{
    if (!SelectTextureUnit(unit, false))
        return;
    STexture* texture = FindTexture(handle);
    if (texture)
        glBindTexture(GL_TEXTURE_2D, texture->glName);
    SetCapability(GL_TEXTURE_2D, texture != nullptr);
    CState::Texture_Set(unit, handle);
}

void COpenGLDevice::Matrix_Model(TMatrix4<float> m)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m.m);
    CState::Matrix_Model(m);
}

void COpenGLDevice::Matrix_Projection(TMatrix4<float> m)
{
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m.m);
    CState::Matrix_Projection(m);
}

void COpenGLDevice::Clear(int what)
{
    GLbitfield mask = 0;
    if (what & CLEAR_COLOR)
        mask |= GL_COLOR_BUFFER_BIT;
    if (what & CLEAR_DEPTH)
        mask |= GL_DEPTH_BUFFER_BIT;
    if (what & CLEAR_STENCIL)
        mask |= GL_STENCIL_BUFFER_BIT;
    glClearColor(m_aClearColor[0], m_aClearColor[1], m_aClearColor[2], m_aClearColor[3]);
    glClearStencil(m_ClearStencil);
    glClearDepth(m_ClearDepth);
    glClear(mask);
}

long COpenGLDevice::EnabledVertexCount() const
{
    long smallest = -1;
    const COpenGLVertexBuffer* buffer = FindVertexBuffer(m_VertexStream);
    smallest = FoldCount(smallest, buffer, buffer ? buffer->m_Buffer.m_pPosition : nullptr);
    buffer = FindVertexBuffer(m_NormalStream);
    smallest = FoldCount(smallest, buffer, buffer ? buffer->m_Buffer.m_pNormal : nullptr);
    buffer = FindVertexBuffer(m_ColorStream);
    smallest = FoldCount(smallest, buffer, buffer ? buffer->m_Buffer.m_pColor : nullptr);
    const long units = m_bMultitexture ? TEXTURE_UNIT_COUNT : 1;
    for (long unit = 0; unit < units; ++unit)
    {
        long set = m_aTextureSet[unit];
        buffer = FindVertexBuffer(m_aTextureStream[unit]);
        if (buffer && IsInEnumeration(set, 8))
            smallest = FoldCount(smallest, buffer, buffer->m_Buffer.m_apTexCoord[set]);
    }
    return smallest;
}

void COpenGLDevice::Draw(long type, long first, long count)
{
    // OpenGL counts vertices in 32 bits; within that range the vertex sums
    // below cannot overflow.
    if (!IsInEnumeration(type, PRIM_COUNT) || !FitsGLSize(first) || !FitsGLSize(count))
        return;
    long vertices = PrimToOGL(type, count);
    long available = EnabledVertexCount();
    if (available >= 0 && first + vertices > available)
        return;
    // A draw that fails by unwinding is reported together with the state of
    // the client arrays, and the frame goes on.
    try
    {
        glDrawArrays(g_aDrawTable[type], static_cast<GLint>(first), static_cast<GLsizei>(vertices));
    }
    catch (...)
    {
        NLog::Write("opengl: glDrawArrays generated an error. Checking pointers\n");
        CheckPointers();
    }
}

// The indices are 16-bit, so most buffers' largest index is below the
// vertex count and the range needs no walk.
bool COpenGLDevice::IndicesFit(long first, long count) const
{
    const long vertices = EnabledVertexCount();
    if (vertices < 0 || m_pIndexBuffer->LargestIndex() < vertices)
        return true;
    const uint16_t* begin = m_pIndexData + first;
    const uint16_t* end = begin + count;
    return std::find_if(begin, end,
                        [vertices](uint16_t index) { return index >= vertices; }) == end;
}

void COpenGLDevice::DrawIndexed(long type, long first, long count)
{
    if (!m_pIndexData)
        return;
    if (!IsInEnumeration(type, PRIM_COUNT) || first < 0 || count < 0)
        return;
    // Every primitive takes at least one index; checked first, the sum
    // below cannot overflow.
    const long available = m_pIndexBuffer->m_Buffer.m_Count;
    if (first > available || count > available)
        return;
    long indices = PrimToOGL(type, count);
    if (first + indices > available)
        return;
    // With client-side arrays OpenGL would read the vertices that such an
    // index names from outside the arrays.
    if (!IndicesFit(first, indices))
    {
        NLog::Write("opengl: warning, DrawIndexed called with an index past the vertex arrays, nothing drawn\n");
        return;
    }
    try
    {
        glDrawElements(g_aDrawTable[type], static_cast<GLsizei>(indices), GL_UNSIGNED_SHORT,
                       m_pIndexData + first);
    }
    catch (...)
    {
        NLog::Write("opengl: glDrawElements generated an error. Checking pointers\n");
        CheckPointers();
    }
}

bool COpenGLDevice::Grab(long handle, long what)
{
    STexture* texture = FindTexture(handle);
    if (!texture)
        return false;
    glBindTexture(GL_TEXTURE_2D, texture->glName);
    const GLint y = std::max<GLint>(480 - texture->height, 0);
    GLenum format;
    if (what == GRAB_COLOR)
        format = GL_RGBA;
    else if (what == GRAB_DEPTH)
        format = GL_DEPTH_COMPONENT;
    else
        return false;
    glCopyTexImage2D(GL_TEXTURE_2D, 0, format, 0, y, texture->width, texture->height, 0);
    return glGetError() == GL_NO_ERROR;
}

void COpenGLDevice::SetViewport(long x, long y, long width, long height)
{
    glViewport(static_cast<GLint>(x), static_cast<GLint>(480 - y - height),
               static_cast<GLsizei>(width), static_cast<GLsizei>(height));
}

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn
