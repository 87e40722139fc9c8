#include "RecordingDevice.h"

#include <cstdarg>
#include <cstdio>

#include "image/Image.h"
#include "render/IndexBufferSW.h"
#include "render/VertexBufferSW.h"

namespace NVorn {
namespace NTest {

using namespace N3D;

// One record type behind every handle; a record owns its buffers.
struct CRecordingDevice::SRecord
{
    ~SRecord()
    {
        delete m_pVertices;
        delete m_pIndices;
    }

    long m_Width = 0, m_Height = 0, m_Format = 0;   // textures
    CVertexBuffer* m_pVertices = nullptr;
    CIndexBuffer*  m_pIndices = nullptr;
    bool m_bLocked = false;
};

CRecordingDevice::~CRecordingDevice()
{
    for (long h = 0; h < m_IndexHandler.m_aIDs.m_Length; ++h)
        delete static_cast<SRecord*>(m_IndexHandler.m_aIDs[h].m_pData);
}

void CRecordingDevice::Record(const char* format, ...)
{
    if (!m_bRecord)
        return;
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    m_lCalls.push_back(line);
}

long CRecordingDevice::Add(long type, SRecord* record)
{
    long handle = m_IndexHandler.GetFree(type);
    m_IndexHandler.m_aIDs[handle].m_pData = record;
    return handle;
}

long CRecordingDevice::AddTexture(long width, long height, long format)
{
    SRecord* record = new SRecord;
    record->m_Width = width;
    record->m_Height = height;
    record->m_Format = format;
    return Add(SID_TEXTURE, record);
}

CRecordingDevice::SRecord* CRecordingDevice::Find(long handle, long type) const
{
    return static_cast<SRecord*>(m_IndexHandler.Lookup(handle, type));
}

// The record of an unlocked buffer, now locked; null when there is none or
// locks are made to fail.
CRecordingDevice::SRecord* CRecordingDevice::Lock(long handle, long type)
{
    SRecord* record = Find(handle, type);
    if (!record || record->m_bLocked || m_bFailLock)
        return nullptr;
    record->m_bLocked = true;
    return record;
}

bool CRecordingDevice::Destroy(long handle, long type)
{
    SRecord* record = Find(handle, type);
    if (!record)
        return false;
    delete record;
    m_IndexHandler.m_aIDs[handle].m_pData = nullptr;
    m_IndexHandler.Remove(handle);
    return true;
}

CVertexBuffer* CRecordingDevice::VertexBuffer(long handle) const
{
    SRecord* record = Find(handle, SID_VERTEXBUFFER);
    return record ? record->m_pVertices : nullptr;
}

CIndexBuffer* CRecordingDevice::IndexBuffer(long handle) const
{
    SRecord* record = Find(handle, SID_INDEXBUFFER);
    return record ? record->m_pIndices : nullptr;
}

// ---------------------------------------------------------------------------
// Setters

void CRecordingDevice::Flag_Set(long flag, bool on)
{ Record("Flag_Set(%ld,%d)", flag, on ? 1 : 0); CState::Flag_Set(flag, on); }
void CRecordingDevice::Mode_BlendFunc(int src, int dst)
{ Record("Mode_BlendFunc(%d,%d)", src, dst); CState::Mode_BlendFunc(src, dst); }
void CRecordingDevice::Mode_DepthTest(int test)
{ Record("Mode_DepthTest(%d)", test); CState::Mode_DepthTest(test); }
void CRecordingDevice::Mode_Cull(int mode)
{ Record("Mode_Cull(%d)", mode); CState::Mode_Cull(mode); }
void CRecordingDevice::Mode_StencilFunc(int test, int ref, int mask)
{ Record("Mode_StencilFunc(%d,%d,%d)", test, ref, mask); CState::Mode_StencilFunc(test, ref, mask); }
void CRecordingDevice::Mode_StencilOp(int fail, int zfail, int pass)
{ Record("Mode_StencilOp(%d,%d,%d)", fail, zfail, pass); CState::Mode_StencilOp(fail, zfail, pass); }
void CRecordingDevice::Mode_PrimaryColor(float r, float g, float b, float a)
{ Record("Mode_PrimaryColor(%g,%g,%g,%g)", r, g, b, a); CState::Mode_PrimaryColor(r, g, b, a); }
void CRecordingDevice::Mode_WriteMask(bool r, bool g, bool b, bool a)
{ Record("Mode_WriteMask(%d,%d,%d,%d)", r, g, b, a); CState::Mode_WriteMask(r, g, b, a); }
void CRecordingDevice::Stream_Vertex(long buffer)
{ Record("Stream_Vertex(%ld)", buffer); CState::Stream_Vertex(buffer); }
void CRecordingDevice::Stream_Index(long buffer)
{ Record("Stream_Index(%ld)", buffer); CState::Stream_Index(buffer); }
void CRecordingDevice::Stream_Normal(long buffer)
{ Record("Stream_Normal(%ld)", buffer); CState::Stream_Normal(buffer); }
void CRecordingDevice::Stream_Color(long buffer)
{ Record("Stream_Color(%ld)", buffer); CState::Stream_Color(buffer); }
void CRecordingDevice::Stream_Texture(long unit, long buffer, long set)
{ Record("Stream_Texture(%ld,%ld,%ld)", unit, buffer, set); CState::Stream_Texture(unit, buffer, set); }
void CRecordingDevice::Shader_Vertex(long shader)
{ Record("Shader_Vertex(%ld)", shader); CState::Shader_Vertex(shader); }
void CRecordingDevice::Shader_Pixel(long shader)
{ Record("Shader_Pixel(%ld)", shader); CState::Shader_Pixel(shader); }
void CRecordingDevice::Texture_Set(int unit, long texture)
{ Record("Texture_Set(%d,%ld)", unit, texture); CState::Texture_Set(unit, texture); }
void CRecordingDevice::Matrix_Model(TMatrix4<float> m)
{ Record("Matrix_Model"); CState::Matrix_Model(m); }
void CRecordingDevice::Matrix_Projection(TMatrix4<float> m)
{ Record("Matrix_Projection"); CState::Matrix_Projection(m); }

// ---------------------------------------------------------------------------
// Display

void CRecordingDevice::EnumDisplayModes(TDynamicArray<CMode>& list, CMode request)
{
    for (const CMode& mode : m_lOfferedModes)
    {
        bool known = !request.Acceptable(mode);
        for (long i = 0; i < list.m_Length && !known; ++i)
            known = mode.Compare(list[i]);
        if (!known)
            list.Append(mode);
    }
}

bool CRecordingDevice::Init(CMode request)
{
    Record("Init");
    CMode best;
    if (!GetBestMode(request, best))
        return false;
    State_SetDefaults(true);
    return true;
}

void CRecordingDevice::SwapBuffers() { Record("SwapBuffers"); }
bool CRecordingDevice::Update()      { return true; }
bool CRecordingDevice::Shutdown()    { Record("Shutdown"); return true; }

// ---------------------------------------------------------------------------
// Resources

long CRecordingDevice::CreateTexture(long width, long height, long format)
{
    Record("CreateTexture(%ld,%ld,%ld)", width, height, format);
    if (m_bFailCreate || width <= 0 || height <= 0
        || !IsInEnumeration(format, TEXFORMAT_COUNT))
        return -1;
    return AddTexture(width, height, format);
}

long CRecordingDevice::CreateTexture(CImage& image)
{
    Record("CreateTexture(image)");
    long format;
    switch (image.m_Format)
    {
    case 24: format = TEXFORMAT_RGB; break;
    case 32: format = TEXFORMAT_RGBA; break;
    case 8:  format = TEXFORMAT_LUMINANCE; break;
    default: return -1;
    }
    return m_bFailCreate ? -1 : AddTexture(image.m_Width, image.m_Height, format);
}

bool CRecordingDevice::DestroyTexture(long texture)
{ Record("DestroyTexture(%ld)", texture); return Destroy(texture, SID_TEXTURE); }

STextureInfo CRecordingDevice::GetTextureInfo(long texture)
{
    STextureInfo info = {(int32_t)texture, 0, 0, 0};
    if (SRecord* record = Find(texture, SID_TEXTURE))
    {
        info.width = (int32_t)record->m_Width;
        info.height = (int32_t)record->m_Height;
        info.format = (int32_t)record->m_Format;
    }
    return info;
}

long CRecordingDevice::CreateVertexBuffer(long count, long format, long)
{
    Record("CreateVertexBuffer(%ld,%ld)", count, format);
    CVertexBuffer* buffer = m_bFailCreate ? nullptr : CreateVertexBufferSW(count, format, 0);
    if (!buffer)
        return -1;
    SRecord* record = new SRecord;
    record->m_pVertices = buffer;
    return Add(SID_VERTEXBUFFER, record);
}

bool CRecordingDevice::DestroyVertexBuffer(long buffer)
{ Record("DestroyVertexBuffer(%ld)", buffer); return Destroy(buffer, SID_VERTEXBUFFER); }

CVertexBuffer* CRecordingDevice::LockVertexBuffer(long buffer, long)
{
    Record("LockVertexBuffer(%ld)", buffer);
    SRecord* record = Lock(buffer, SID_VERTEXBUFFER);
    return record ? record->m_pVertices : nullptr;
}

void CRecordingDevice::UnlockVertexBuffer(long buffer, long)
{
    Record("UnlockVertexBuffer(%ld)", buffer);
    if (SRecord* record = Find(buffer, SID_VERTEXBUFFER))
        record->m_bLocked = false;
}

long CRecordingDevice::CreateIndexBuffer(long count, long)
{
    Record("CreateIndexBuffer(%ld)", count);
    CIndexBuffer* buffer = m_bFailCreate ? nullptr : CreateIndexBufferSW(count, 0);
    if (!buffer)
        return -1;
    SRecord* record = new SRecord;
    record->m_pIndices = buffer;
    return Add(SID_INDEXBUFFER, record);
}

bool CRecordingDevice::DestroyIndexBuffer(long buffer)
{ Record("DestroyIndexBuffer(%ld)", buffer); return Destroy(buffer, SID_INDEXBUFFER); }

CIndexBuffer* CRecordingDevice::LockIndexBuffer(long buffer)
{
    Record("LockIndexBuffer(%ld)", buffer);
    SRecord* record = Lock(buffer, SID_INDEXBUFFER);
    return record ? record->m_pIndices : nullptr;
}

void CRecordingDevice::UnlockIndexBuffer(long buffer)
{
    Record("UnlockIndexBuffer(%ld)", buffer);
    if (SRecord* record = Find(buffer, SID_INDEXBUFFER))
        record->m_bLocked = false;
}

long CRecordingDevice::CreateVertexShader(const char* source)
{
    Record("CreateVertexShader");
    return m_bFailCreate || !source ? -1 : Add(SID_VERTEXSHADER, new SRecord);
}

long CRecordingDevice::CreatePixelShader(const char* source)
{
    Record("CreatePixelShader");
    return m_bFailCreate || !source ? -1 : Add(SID_PIXELSHADER, new SRecord);
}

bool CRecordingDevice::DestroyVertexShader(long shader)
{ Record("DestroyVertexShader(%ld)", shader); return Destroy(shader, SID_VERTEXSHADER); }

bool CRecordingDevice::DestroyPixelShader(long shader)
{ Record("DestroyPixelShader(%ld)", shader); return Destroy(shader, SID_PIXELSHADER); }

// ---------------------------------------------------------------------------
// Drawing

void CRecordingDevice::Clear(int buffers) { Record("Clear(%d)", buffers); }

void CRecordingDevice::Draw(long prim, long first, long count)
{ Record("Draw(%ld,%ld,%ld)", prim, first, count); }
void CRecordingDevice::DrawIndexed(long prim, long first, long count)
{ Record("DrawIndexed(%ld,%ld,%ld)", prim, first, count); }

bool CRecordingDevice::Grab(long texture, long what)
{
    Record("Grab(%ld,%ld)", texture, what);
    return Find(texture, SID_TEXTURE) && (what == GRAB_COLOR || what == GRAB_DEPTH);
}

void CRecordingDevice::SetViewport(long x, long y, long width, long height)
{ Record("SetViewport(%ld,%ld,%ld,%ld)", x, y, width, height); }

} // namespace NTest
} // namespace NVorn
