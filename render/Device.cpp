#include "render/Device.h"

#include "foundation/Utils.h"

namespace NVorn {
namespace N3D {

const char aDeviceClassTag[] = "3D Device";

CDevice::CDevice()
    : m_ClearDepth(1.0f), m_aClearColor{0.0f, 0.0f, 0.0f, 0.0f}, m_ClearStencil(0)
{
}

CDevice::~CDevice()
{
}

long CDevice::GetVertexShaderCapabilities()
{
    return 0;
}

long CDevice::GetPixelShaderCapabilities()
{
    return 0;
}

void CDevice::GetShaderBaseDir(CString&)
{
}

// ---------------------------------------------------------------------------
// Uploads

long CDevice::CreateVertexBuffer(CVertexBuffer* source, long count, long mask)
{
    if (!source)
        return -1;
    if (count < 0)
        count = source->m_Count;
    if (count > source->m_Count)
        return -1;

    long format = source->What() & mask;
    long handle = CreateVertexBuffer(count, format, 0);
    if (handle < 0)
        return -1;
    CVertexBuffer* destination = LockVertexBuffer(handle, STREAM_ALL);
    if (!destination || destination->m_Count < count)
    {
        // Nobody could reach a buffer we cannot fill; do not leave it behind.
        if (destination)
            UnlockVertexBuffer(handle, STREAM_ALL);
        DestroyVertexBuffer(handle);
        return -1;
    }

    for (long k = 0; k < COMPONENT_COUNT; ++k)
    {
        if (!(format & (1L << k)))
            continue;
        void* to = destination->GetPointer(k);
        const void* from = source->GetPointer(k);
        if (to && from)
            MemoryCopy(to, from, (int)(count * CVertexBuffer::GetPointerElementSize(k)));
    }

    UnlockVertexBuffer(handle, STREAM_ALL);
    return handle;
}

long CDevice::CreateIndexBuffer(CIndexBuffer* source, long)
{
    if (!source || source->m_Count < 0 || (source->m_Count > 0 && !source->m_pIndices))
        return -1;

    long count = source->m_Count;
    long handle = CreateIndexBuffer(count, 0);
    if (handle < 0)
        return -1;
    CIndexBuffer* destination = LockIndexBuffer(handle);
    if (!destination || destination->m_Count < count
        || (count > 0 && !destination->m_pIndices))
    {
        if (destination)
            UnlockIndexBuffer(handle);
        DestroyIndexBuffer(handle);
        return -1;
    }

    if (count > 0)
        MemoryCopy(destination->m_pIndices, source->m_pIndices, (int)(count * 2));
    UnlockIndexBuffer(handle);
    return handle;
}

// ---------------------------------------------------------------------------
// Resources

void CDevice::ClearAllAllocatedIndexes()
{
    for (long h = 0; h < m_IndexHandler.m_aIDs.m_Length; ++h)
    {
        switch (m_IndexHandler.m_aIDs[h].m_Type)
        {
        case SID_TEXTURE:      DestroyTexture(h); break;
        case SID_VERTEXSHADER: DestroyVertexShader(h); break;
        case SID_PIXELSHADER:  DestroyPixelShader(h); break;
        case SID_VERTEXBUFFER: DestroyVertexBuffer(h); break;
        case SID_INDEXBUFFER:  DestroyIndexBuffer(h); break;
        default:               break;  // free, or a type no Destroy knows
        }
    }
}

} // namespace N3D
} // namespace NVorn
