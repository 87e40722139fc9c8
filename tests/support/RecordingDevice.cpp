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
    ~SRecord() { delete m_pVertices; delete m_pIndices; }

    long m_Width, m_Height, m_Format;   // textures
    CVertexBuffer* m_pVertices;
    CIndexBuffer*  m_pIndices;
    bool m_bLocked;
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

// Locks an unlocked buffer; false when there is none or locks are made to fail.
bool CRecordingDevice::Lock(long handle, long type)
{
    SRecord* record = Find(handle, type);
    if (!record || record->m_bLocked || m_bFailLock)
        return false;
    return record->m_bLocked = true;
}

void CRecordingDevice::Unlock(long handle, long type)
{
    if (SRecord* record = Find(handle, type))
        record->m_bLocked = false;
}

bool CRecordingDevice::Destroy(const char* kind, long handle, long type)
{
    Record("Destroy%s(%ld)", kind, handle);
    SRecord* record = Find(handle, type);
    if (!record)
        return false;
    delete record;
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

bool CRecordingDevice::Init(CMode request)
{
    Record("Init");
    CMode best;
    bool found = GetBestMode(request, best);
    if (found)
        State_SetDefaults(true);
    return found;
}

long CRecordingDevice::CreateTexture(long width, long height, long format)
{
    Record("CreateTexture(%ld,%ld,%ld)", width, height, format);
    if (m_bFailCreate || width <= 0 || height <= 0 || !IsInEnumeration(format, TEXFORMAT_COUNT))
        return -1;
    return Add(SID_TEXTURE, new SRecord{width, height, format, nullptr, nullptr, false});
}

long CRecordingDevice::CreateTexture(CImage& image)
{
    const long f = image.m_Format;
    return CreateTexture(image.m_Width, image.m_Height,
                         f == 8 ? TEXFORMAT_LUMINANCE : f == 24 ? TEXFORMAT_RGB : f == 32 ? TEXFORMAT_RGBA : -1);
}

STextureInfo CRecordingDevice::GetTextureInfo(long texture)
{
    SRecord* r = Find(texture, SID_TEXTURE);
    return r ? STextureInfo{int32_t(texture), int32_t(r->m_Width), int32_t(r->m_Height), int32_t(r->m_Format)}
             : STextureInfo{int32_t(texture), 0, 0, 0};
}

long CRecordingDevice::CreateVertexBuffer(long count, long format, long flags)
{
    Record("CreateVertexBuffer(%ld,%ld,%ld)", count, format, flags);
    CVertexBuffer* buffer = m_bFailCreate ? nullptr : CreateVertexBufferSW(count, format, 0);
    return buffer ? Add(SID_VERTEXBUFFER, new SRecord{0, 0, 0, buffer, nullptr, false}) : -1;
}

long CRecordingDevice::CreateIndexBuffer(long count, long)
{
    Record("CreateIndexBuffer(%ld)", count);
    CIndexBuffer* buffer = m_bFailCreate ? nullptr : CreateIndexBufferSW(count, 0);
    return buffer ? Add(SID_INDEXBUFFER, new SRecord{0, 0, 0, nullptr, buffer, false}) : -1;
}

long CRecordingDevice::CreateShader(const char* kind, long type, const char* source)
{
    Record("Create%sShader", kind);
    return m_bFailCreate || !source ? -1 : Add(type, new SRecord{0, 0, 0, nullptr, nullptr, false});
}

long VerticesForPrimitives(long prim, long count)
{
    if (count < 0 || count > (1L << 24))
        return 0;
    const long perPrimitive[PRIM_COUNT] = {1, 2, 1, 3, 1, 1, 4};
    const long extra[PRIM_COUNT] = {0, 0, 1, 0, 2, 2, 0};
    return IsInEnumeration(prim, PRIM_COUNT) ? perPrimitive[prim] * count + extra[prim] : 0;
}

// Reads the buffers directly, so capturing a draw records no lock.
std::vector<SCapturedVertex> CRecordingDevice::ReadVertices(const std::vector<long>& indices) const
{
    CVertexBuffer* positions = VertexBuffer(m_VertexStream);
    CVertexBuffer* coordinates = VertexBuffer(m_aTextureStream[0]);
    const TVector3<float>* xyz = positions ? positions->m_pPosition : nullptr;
    const long set = m_aTextureSet[0];
    const TVector2<float>* uv = coordinates && IsInEnumeration(set, 8) ? coordinates->m_apTexCoord[set] : nullptr;
    std::vector<SCapturedVertex> vertices;
    for (long at : indices)
    {
        SCapturedVertex v = {0, 0, 0, 0, 0};
        if (xyz && at >= 0 && at < positions->m_Count)
            v.x = xyz[at].x, v.y = xyz[at].y, v.z = xyz[at].z;
        if (uv && at >= 0 && at < coordinates->m_Count)
            v.u = uv[at].x, v.v = uv[at].y;
        vertices.push_back(v);
    }
    return vertices;
}

void CRecordingDevice::Draw(long prim, long first, long count)
{
    Record("Draw(%ld,%ld,%ld)", prim, first, count);
    if (!m_bRecord)
        return;
    std::vector<long> indices;
    for (long i = 0; i < VerticesForPrimitives(prim, count); ++i)
        indices.push_back(first + i);
    m_lDraws.push_back(SCapturedDraw{count, *this, ReadVertices(indices)});
}

// Draws nothing for a range outside the index buffer.
void CRecordingDevice::DrawIndexed(long prim, long first, long count)
{
    Record("DrawIndexed(%ld,%ld,%ld)", prim, first, count);
    CIndexBuffer* buffer = IndexBuffer(m_IndexStream);
    long n = VerticesForPrimitives(prim, count);
    if (!m_bRecord || !buffer || first < 0 || n == 0 || n > buffer->m_Count - first)
        return;
    std::vector<long> indices(buffer->m_pIndices + first, buffer->m_pIndices + first + n);
    m_lDraws.push_back(SCapturedDraw{count, *this, ReadVertices(indices)});
}

} // namespace NTest
} // namespace NVorn
