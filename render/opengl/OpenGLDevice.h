// COpenGLDevice: the render device over OpenGL 1.x.
//
// Vertex and index data live in client memory (COpenGLBuffer) and are drawn
// with client-side vertex arrays that point straight into it; no OpenGL
// buffer objects are created. Textures are OpenGL texture objects, vertex
// shaders GL_ARB_vertex_program programs; pixel shaders are not supported.
//
// Every CState setter is overridden to make its OpenGL calls and then record
// the value as the base does, so the recorded state mirrors OpenGL as long as
// all changes go through the setters. Enumeration values outside their
// translation table are refused: no OpenGL call and nothing recorded.
//
// The device owns every resource record behind its handles. It does not
// destroy them when it is destroyed (ClearAllAllocatedIndexes does) and makes
// no OpenGL call before Init or in its destructor. A window layer derived
// from it creates the context, makes it current and then calls Init; every
// call after that must come from the thread that holds the context.
//
// Without GL_ARB_multitexture the device works on texture unit 0 alone and
// ignores the other units; without GL_ARB_vertex_program it creates no
// vertex shaders.
#ifndef NVORN_RENDER_OPENGL_OPENGLDEVICE_H
#define NVORN_RENDER_OPENGL_OPENGLDEVICE_H

#include <cstdint>

#include <GL/gl.h>

#include "render/Device.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

class COpenGLVertexBuffer;
class COpenGLIndexBuffer;

// One texture.
struct STexture
{
    GLuint  glName;
    GLenum  glFormat;   // pixel format the texels were supplied in
    int32_t handle;
    int32_t width;
    int32_t height;
    int32_t format;     // engine texture format
};

// One vertex shader.
struct SVertexShader
{
    GLuint glProgram;
};

// Logs a warning when the client array arrayName is enabled while the pointer
// pointerName reads back null.
void CheckPointer(unsigned long pointerName, unsigned long arrayName, const char* label);
// Runs CheckPointer on the colour, index, normal, texture coordinate and vertex arrays.
void CheckPointers();
// Whether size is a count OpenGL can take: a GLsizei, which a larger value
// would overflow, and not negative.
bool FitsGLSize(long size);

class COpenGLDevice : public CDevice
{
public:
    COpenGLDevice();
    ~COpenGLDevice() override;

    // OpenGL-side initialisation, with the context current: resolves the
    // extensions, logs them and pushes the default render state. The mode is
    // not used. Always true.
    bool Init(CMode mode) override;

    // Render-state setters.
    void Flag_Set(long flag, bool on) override;
    void Mode_BlendFunc(int src, int dst) override;
    void Mode_DepthTest(int test) override;
    void Mode_Cull(int winding) override;
    void Mode_StencilFunc(int test, int ref, int mask) override;
    void Mode_StencilOp(int fail, int zfail, int pass) override;
    void Mode_PrimaryColor(float r, float g, float b, float a) override;
    void Mode_WriteMask(bool r, bool g, bool b, bool a) override;
    void Stream_Vertex(long handle) override;
    void Stream_Index(long handle) override;
    void Stream_Normal(long handle) override;
    void Stream_Color(long handle) override;
    // Leaves unit active and client-active.
    void Stream_Texture(long unit, long handle, long set) override;
    void Shader_Vertex(long handle) override;
    void Shader_Pixel(long handle) override;
    void Shader_GlobalParam() override;
    // Local parameters first .. first + count - 1 of the bound vertex program.
    void Shader_VertexParamFloat(long first, const TVector4<float>* values, long count) override;
    void Shader_PixelParam() override;
    // Leaves unit active.
    void Texture_Set(int unit, long handle) override;
    void Matrix_Model(TMatrix4<float> m) override;
    void Matrix_Projection(TMatrix4<float> m) override;

    // Textures. Texel rows are read tightly packed. The new texture stays
    // bound to the active unit, filtered linearly, without mipmaps.
    long Internal_CreateTexture(long width, long height, long format, unsigned char* pixels);
    long CreateTexture(long width, long height, long format) override;
    long CreateTexture(CImage& image) override;
    bool DestroyTexture(long handle) override;
    STextureInfo GetTextureInfo(long handle) override;

    // Buffers. Destroying a buffer that a stream reads unbinds that stream.
    using CDevice::CreateVertexBuffer;
    using CDevice::CreateIndexBuffer;
    long CreateVertexBuffer(long count, long format, long) override;
    bool DestroyVertexBuffer(long handle) override;
    CVertexBuffer* LockVertexBuffer(long handle, long) override;
    void UnlockVertexBuffer(long handle, long) override;
    long CreateIndexBuffer(long count, long) override;
    bool DestroyIndexBuffer(long handle) override;
    CIndexBuffer* LockIndexBuffer(long handle) override;
    void UnlockIndexBuffer(long handle) override;

    // Shaders: ARB vertex programs only.
    long CreateVertexShader(const char* source) override;
    long CreatePixelShader(const char* source) override;
    bool DestroyVertexShader(long handle) override;
    bool DestroyPixelShader(long handle) override;

    // Drawing. Draw and DrawIndexed draw nothing when the range they would
    // read lies outside the enabled arrays or the selected index buffer;
    // DrawIndexed also logs and draws nothing when an index of its range is
    // not below the vertex count of every enabled array.
    // The target is taken as 480 pixels high: Grab copies its top-left
    // corner and SetViewport turns the top-left origin into OpenGL's.
    void Clear(int what) override;
    void Draw(long type, long first, long count) override;
    void DrawIndexed(long type, long first, long count) override;
    bool Grab(long texture, long what) override;
    void SetViewport(long x, long y, long width, long height) override;

    bool      m_bVertexProgram;  // every GL_ARB_vertex_program entry point found
    bool      m_bMultitexture;   // every GL_ARB_multitexture entry point found
    uint16_t* m_pIndexData;      // indices of the index stream, or null

private:
    STexture*            FindTexture(long handle) const;
    SVertexShader*       FindVertexShader(long handle) const;
    COpenGLVertexBuffer* FindVertexBuffer(long handle) const;
    COpenGLIndexBuffer*  FindIndexBuffer(long handle) const;

    // Makes unit the active (and, with client, the client-active) texture
    // unit; false when the unit cannot be reached.
    bool SelectTextureUnit(long unit, bool client);
    // The number of vertices every enabled array can supply, or -1 when no
    // array is enabled.
    long EnabledVertexCount() const;
    // Whether the count indices from first name vertices that every enabled
    // array holds.
    bool IndicesFit(long first, long count) const;
    void UnbindVertexBuffer(long handle);

    const COpenGLIndexBuffer* m_pIndexBuffer;   // the index stream's buffer, when it has indices
};

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn

#endif
