#include "render/VertexBufferSW.h"

#include "render/State.h"

namespace NVorn {
namespace N3D {

CVertexBufferSW::~CVertexBufferSW()
{
    delete[] m_pPosition;
    delete[] m_pNormal;
    delete[] m_pColor;
    for (TVector2<float>* coords : m_apTexCoord)
        delete[] coords;
}

CVertexBuffer* CreateVertexBufferSW(long count, long format, long)
{
    if (count < 0)
        return nullptr;

    CVertexBufferSW* buffer = new CVertexBufferSW;
    buffer->m_Count = count;
    // Every component starts at zero: the vector types by construction, the
    // colours by value-initialisation.
    for (int n = 0; n < 8; ++n)
        if (format & (STREAM_TEXTURE0 << n))
            buffer->m_apTexCoord[n] = new TVector2<float>[count];
    if (format & STREAM_POSITION)
        buffer->m_pPosition = new TVector3<float>[count];
    if (format & STREAM_NORMAL)
        buffer->m_pNormal = new TVector3<float>[count];
    if (format & STREAM_COLOR)
        buffer->m_pColor = new float[count * 4]();
    return buffer;
}

} // namespace N3D
} // namespace NVorn
