// CRecordingDevice: a render device without a display, for tests and CPU
// benchmarks of the device-independent layers. Buffers are heap buffers that
// stay readable when unlocked; every setter, resource operation and draw is
// appended to m_lCalls as a line ("Flag_Set(3,0)") unless m_bRecord is off,
// and the setters record their values as the base does. A draw keeps its
// primitive count, the state at the call and the vertices it uses in
// m_lDraws; an indexed draw reads them through its indices.
#ifndef NVORN_TESTS_SUPPORT_RECORDINGDEVICE_H
#define NVORN_TESTS_SUPPORT_RECORDINGDEVICE_H

#include <string>
#include <vector>

#include "render/Device.h"

namespace NVorn {
namespace NTest {

// A vertex as the position and texture-unit-0 streams hold it; a component
// without a stream, or an index outside its buffer, reads as 0.
struct SCapturedVertex
{
    float x, y, z, u, v;
};

struct SCapturedDraw
{
    long m_Count;                             // primitives
    N3D::CState m_State;                      // the state recorded at the call
    std::vector<SCapturedVertex> m_lVertices; // the vertices the call uses
};

// The vertices count primitives use; 0 for an unknown type or a count out of
// range.
long VerticesForPrimitives(long prim, long count);

class CRecordingDevice : public N3D::CDevice
{
public:
    ~CRecordingDevice() override;

    std::vector<std::string> m_lCalls;
    bool m_bRecord = true;
    std::vector<N3D::CMode> m_lOfferedModes;      // what EnumDisplayModes offers
    bool m_bFailCreate = false;                   // creations return -1
    bool m_bFailLock = false;                     // locks return null
    std::vector<SCapturedDraw> m_lDraws;          // every draw while recording

    // The buffer behind a handle, or null; readable whether locked or not.
    N3D::CVertexBuffer* VertexBuffer(long handle) const;
    N3D::CIndexBuffer*  IndexBuffer(long handle) const;

    void Flag_Set(long f, bool on) override { Record("Flag_Set(%ld,%d)", f, on); CState::Flag_Set(f, on); }
    void Mode_BlendFunc(int s, int d) override { Record("Mode_BlendFunc(%d,%d)", s, d); CState::Mode_BlendFunc(s, d); }
    void Mode_DepthTest(int t) override { Record("Mode_DepthTest(%d)", t); CState::Mode_DepthTest(t); }
    void Mode_Cull(int m) override { Record("Mode_Cull(%d)", m); CState::Mode_Cull(m); }
    void Mode_StencilFunc(int t, int r, int m) override
    { Record("Mode_StencilFunc(%d,%d,%d)", t, r, m); CState::Mode_StencilFunc(t, r, m); }
    void Mode_StencilOp(int f, int z, int p) override
    { Record("Mode_StencilOp(%d,%d,%d)", f, z, p); CState::Mode_StencilOp(f, z, p); }
    void Mode_PrimaryColor(float r, float g, float b, float a) override
    { Record("Mode_PrimaryColor(%g,%g,%g,%g)", r, g, b, a); CState::Mode_PrimaryColor(r, g, b, a); }
    void Mode_WriteMask(bool r, bool g, bool b, bool a) override
    { Record("Mode_WriteMask(%d,%d,%d,%d)", r, g, b, a); CState::Mode_WriteMask(r, g, b, a); }
    void Stream_Vertex(long h) override { Record("Stream_Vertex(%ld)", h); CState::Stream_Vertex(h); }
    void Stream_Index(long h) override { Record("Stream_Index(%ld)", h); CState::Stream_Index(h); }
    void Stream_Normal(long h) override { Record("Stream_Normal(%ld)", h); CState::Stream_Normal(h); }
    void Stream_Color(long h) override { Record("Stream_Color(%ld)", h); CState::Stream_Color(h); }
    void Stream_Texture(long u, long h, long s) override
    { Record("Stream_Texture(%ld,%ld,%ld)", u, h, s); CState::Stream_Texture(u, h, s); }
    void Shader_Vertex(long h) override { Record("Shader_Vertex(%ld)", h); CState::Shader_Vertex(h); }
    void Shader_Pixel(long h) override { Record("Shader_Pixel(%ld)", h); CState::Shader_Pixel(h); }
    void Texture_Set(int u, long t) override { Record("Texture_Set(%d,%ld)", u, t); CState::Texture_Set(u, t); }
    void Matrix_Model(TMatrix4<float> m) override { Record("Matrix_Model"); CState::Matrix_Model(m); }
    void Matrix_Projection(TMatrix4<float> m) override { Record("Matrix_Projection"); CState::Matrix_Projection(m); }

    // Init picks the best of the offered modes and applies the default state.
    void EnumDisplayModes(TDynamicArray<N3D::CMode>& list, N3D::CMode request) override
    {
        for (const N3D::CMode& mode : m_lOfferedModes)
            if (request.Acceptable(mode))
                list.Append(mode);
    }
    bool Init(N3D::CMode request) override;
    void SwapBuffers() override { Record("SwapBuffers"); }
    bool Update() override { return true; }
    bool Shutdown() override { Record("Shutdown"); return true; }

    long CreateTexture(long width, long height, long format) override;
    long CreateTexture(CImage& image) override;
    bool DestroyTexture(long h) override { return Destroy("Texture", h, N3D::SID_TEXTURE); }
    N3D::STextureInfo GetTextureInfo(long texture) override;

    using CDevice::CreateVertexBuffer;
    long CreateVertexBuffer(long count, long format, long flags) override;
    bool DestroyVertexBuffer(long h) override { return Destroy("VertexBuffer", h, N3D::SID_VERTEXBUFFER); }
    N3D::CVertexBuffer* LockVertexBuffer(long h, long) override
    { Record("LockVertexBuffer(%ld)", h); return Lock(h, N3D::SID_VERTEXBUFFER) ? VertexBuffer(h) : nullptr; }
    void UnlockVertexBuffer(long h, long) override { Record("UnlockVertexBuffer(%ld)", h); Unlock(h, N3D::SID_VERTEXBUFFER); }

    using CDevice::CreateIndexBuffer;
    long CreateIndexBuffer(long count, long) override;
    bool DestroyIndexBuffer(long h) override { return Destroy("IndexBuffer", h, N3D::SID_INDEXBUFFER); }
    N3D::CIndexBuffer* LockIndexBuffer(long h) override
    { Record("LockIndexBuffer(%ld)", h); return Lock(h, N3D::SID_INDEXBUFFER) ? IndexBuffer(h) : nullptr; }
    void UnlockIndexBuffer(long h) override { Record("UnlockIndexBuffer(%ld)", h); Unlock(h, N3D::SID_INDEXBUFFER); }

    long CreateVertexShader(const char* source) override { return CreateShader("Vertex", N3D::SID_VERTEXSHADER, source); }
    long CreatePixelShader(const char* source) override { return CreateShader("Pixel", N3D::SID_PIXELSHADER, source); }
    bool DestroyVertexShader(long h) override { return Destroy("VertexShader", h, N3D::SID_VERTEXSHADER); }
    bool DestroyPixelShader(long h) override { return Destroy("PixelShader", h, N3D::SID_PIXELSHADER); }

    void Clear(int buffers) override { Record("Clear(%d)", buffers); }
    void Draw(long prim, long first, long count) override;
    void DrawIndexed(long prim, long first, long count) override;
    bool Grab(long, long) override { return false; }
    void SetViewport(long x, long y, long w, long h) override { Record("SetViewport(%ld,%ld,%ld,%ld)", x, y, w, h); }

private:
    struct SRecord;

    void Record(const char* format, ...) __attribute__((format(printf, 2, 3)));
    long Add(long type, SRecord* record);
    SRecord* Find(long handle, long type) const { return static_cast<SRecord*>(m_IndexHandler.Lookup(handle, type)); }
    bool Lock(long handle, long type);
    void Unlock(long handle, long type);
    bool Destroy(const char* kind, long handle, long type);
    long CreateShader(const char* kind, long type, const char* source);
    std::vector<SCapturedVertex> ReadVertices(const std::vector<long>& indices) const;
};

} // namespace NTest
} // namespace NVorn

#endif
