#include "render/opengl/OpenGLBuffer.h"

#include <algorithm>
#include <climits>
#include <new>

#include "foundation/Log.h"
#include "render/State.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

bool COpenGLBuffer::Lock()
{
    if (IsLocked())
    {
        NLog::Write("opengl: Lock() called on a buffer that is already locked\n");
        return false;
    }
    m_Flags |= FLAG_LOCKED;
    return true;
}

void COpenGLBuffer::Unlock()
{
    if (!IsLocked())
    {
        NLog::Write("opengl: Unlock() called on a buffer that isn't locked\n");
        return;
    }
    m_Flags &= ~static_cast<uint32_t>(FLAG_LOCKED);
}

COpenGLVertexBuffer::~COpenGLVertexBuffer()
{
    delete[] m_Buffer.m_pPosition;
    delete[] m_Buffer.m_pNormal;
    delete[] m_Buffer.m_pColor;
    for (TVector2<float>* coordinates : m_Buffer.m_apTexCoord)
        delete[] coordinates;
}

bool COpenGLVertexBuffer::Allocate(long count, long format)
{
    m_Buffer.m_Count = count;
    // Even a nothrow array allocation throws when the byte size is beyond
    // what C++ allows; the colour, 16 bytes a vertex, is the largest.
    if (count > LONG_MAX / 16)
        return false;
    for (int set = 0; set < 8; ++set)
    {
        if (!(format & (STREAM_TEXTURE0 << set)))
            continue;
        m_Buffer.m_apTexCoord[set] = new (std::nothrow) TVector2<float>[count];
        if (!m_Buffer.m_apTexCoord[set])
            return false;
    }
    if (format & STREAM_POSITION)
    {
        m_Buffer.m_pPosition = new (std::nothrow) TVector3<float>[count];
        if (!m_Buffer.m_pPosition)
            return false;
    }
    if (format & STREAM_NORMAL)
    {
        m_Buffer.m_pNormal = new (std::nothrow) TVector3<float>[count];
        if (!m_Buffer.m_pNormal)
            return false;
    }
    if (format & STREAM_COLOR)
    {
        m_Buffer.m_pColor = new (std::nothrow) float[count * 4];
        if (!m_Buffer.m_pColor)
            return false;
    }
    return true;
}

COpenGLIndexBuffer::~COpenGLIndexBuffer()
{
    delete[] m_Buffer.m_pIndices;
}

bool COpenGLIndexBuffer::Allocate(long count)
{
    m_Buffer.m_Count = count;
    if (count > LONG_MAX / 16) // as for vertices, well past any real buffer
        return false;
    m_Buffer.m_pIndices = new (std::nothrow) uint16_t[count];
    return m_Buffer.m_pIndices != nullptr;
}

void COpenGLIndexBuffer::ScanIndices()
{
    const uint16_t* indices = m_Buffer.m_pIndices;
    m_LargestIndex = 0;
    if (indices && m_Buffer.m_Count > 0)
        m_LargestIndex = *std::max_element(indices, indices + m_Buffer.m_Count);
}

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn
