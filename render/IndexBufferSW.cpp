#include "render/IndexBufferSW.h"

namespace NVorn {
namespace N3D {

CIndexBufferSW::~CIndexBufferSW()
{
    delete[] m_pIndices;
}

CIndexBuffer* CreateIndexBufferSW(long count, long)
{
    if (count < 0)
        return nullptr;

    CIndexBufferSW* buffer = new CIndexBufferSW;
    buffer->m_Count = count;
    buffer->m_pIndices = new uint16_t[count];
    return buffer;
}

} // namespace N3D
} // namespace NVorn
