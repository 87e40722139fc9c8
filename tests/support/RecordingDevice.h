// CRecordingDevice: a render device without a display, for tests and CPU
// benchmarks of the device-independent layers.
//
// Resources live in memory: vertex and index buffers are heap buffers that
// stay readable after they are unlocked, textures and shaders are plain
// records. Every setter, resource operation and draw call is appended to
// m_lCalls as one line of text, in call order, and the setters record their
// values in the CState fields exactly as the base does. Turn m_bRecord off to
// keep the call log out of a measurement.
//
// The device frees every resource record it still holds when it is
// destroyed, so tests need not clean up behind the code under test.
#ifndef NVORN_TESTS_SUPPORT_RECORDINGDEVICE_H
#define NVORN_TESTS_SUPPORT_RECORDINGDEVICE_H

#include <string>
#include <vector>

#include "render/Device.h"

namespace NVorn {
namespace NTest {

class CRecordingDevice : public N3D::CDevice
{
public:
    CRecordingDevice() = default;
    ~CRecordingDevice() override;

    // The recorded calls, oldest first, e.g. "Flag_Set(3,0)",
    // "Mode_PrimaryColor(1,1,1,0.5)", "Matrix_Model", "Draw(3,0,4)".
    std::vector<std::string> m_lCalls;
    bool m_bRecord = true;

    // The concrete modes EnumDisplayModes offers, in this order.
    std::vector<N3D::CMode> m_lOfferedModes;

    // Failure injection: creation operations return -1, locks return null.
    bool m_bFailCreate = false;
    bool m_bFailLock = false;

    // The buffer behind a handle, or null; readable whether locked or not.
    N3D::CVertexBuffer* VertexBuffer(long handle) const;
    N3D::CIndexBuffer*  IndexBuffer(long handle) const;

    // CState setters: record, then store as the base does.
    void Flag_Set(long flag, bool on) override;
    void Mode_BlendFunc(int src, int dst) override;
    void Mode_DepthTest(int test) override;
    void Mode_Cull(int mode) override;
    void Mode_StencilFunc(int test, int ref, int mask) override;
    void Mode_StencilOp(int fail, int zfail, int pass) override;
    void Mode_PrimaryColor(float r, float g, float b, float a) override;
    void Mode_WriteMask(bool r, bool g, bool b, bool a) override;
    void Stream_Vertex(long buffer) override;
    void Stream_Index(long buffer) override;
    void Stream_Normal(long buffer) override;
    void Stream_Color(long buffer) override;
    void Stream_Texture(long unit, long buffer, long set) override;
    void Shader_Vertex(long shader) override;
    void Shader_Pixel(long shader) override;
    void Texture_Set(int unit, long texture) override;
    void Matrix_Model(TMatrix4<float> m) override;
    void Matrix_Projection(TMatrix4<float> m) override;

    // Display: the offered modes; Init picks the best and applies the
    // default state.
    void EnumDisplayModes(TDynamicArray<N3D::CMode>& list, N3D::CMode request) override;
    bool Init(N3D::CMode request) override;
    void SwapBuffers() override;
    bool Update() override;
    bool Shutdown() override;

    long CreateTexture(long width, long height, long format) override;
    long CreateTexture(CImage& image) override;
    bool DestroyTexture(long texture) override;
    N3D::STextureInfo GetTextureInfo(long texture) override;

    using CDevice::CreateVertexBuffer;
    long CreateVertexBuffer(long count, long format, long) override;
    bool DestroyVertexBuffer(long buffer) override;
    N3D::CVertexBuffer* LockVertexBuffer(long buffer, long mask) override;
    void UnlockVertexBuffer(long buffer, long mask) override;

    using CDevice::CreateIndexBuffer;
    long CreateIndexBuffer(long count, long) override;
    bool DestroyIndexBuffer(long buffer) override;
    N3D::CIndexBuffer* LockIndexBuffer(long buffer) override;
    void UnlockIndexBuffer(long buffer) override;

    long CreateVertexShader(const char* source) override;
    long CreatePixelShader(const char* source) override;
    bool DestroyVertexShader(long shader) override;
    bool DestroyPixelShader(long shader) override;

    void Clear(int buffers) override;
    void Draw(long prim, long first, long count) override;
    void DrawIndexed(long prim, long first, long count) override;
    bool Grab(long texture, long what) override;
    void SetViewport(long x, long y, long width, long height) override;

private:
    struct SRecord;

    void Record(const char* format, ...) __attribute__((format(printf, 2, 3)));
    long Add(long type, SRecord* record);
    long AddTexture(long width, long height, long format);
    SRecord* Find(long handle, long type) const;
    SRecord* Lock(long handle, long type);
    bool Destroy(long handle, long type);
};

} // namespace NTest
} // namespace NVorn

#endif
