#include "render/VertexBuffer.h"

namespace NVorn {
namespace N3D {

CVertexBuffer::CVertexBuffer()
    : m_Count(0), m_pPosition(nullptr), m_pNormal(nullptr), m_pColor(nullptr),
      m_apTexCoord()
{
}

CVertexBuffer::~CVertexBuffer()
{
}

long CVertexBuffer::What() const
{
    long mask = 0;
    for (long k = 0; k < COMPONENT_COUNT; ++k)
        if (GetPointer(k))
            mask |= 1L << k;
    return mask;
}

void* CVertexBuffer::GetPointer(long component) const
{
    switch (component)
    {
    case COMPONENT_POSITION: return m_pPosition;
    case COMPONENT_NORMAL:   return m_pNormal;
    case COMPONENT_COLOR:    return m_pColor;
    default:
        if (component >= COMPONENT_TEXCOORD0 && component < COMPONENT_COUNT)
            return m_apTexCoord[component - COMPONENT_TEXCOORD0];
        return nullptr;
    }
}

long CVertexBuffer::GetPointerElementSize(long component)
{
    switch (component)
    {
    case COMPONENT_POSITION:
    case COMPONENT_NORMAL:   return 12;
    case COMPONENT_COLOR:    return 16;
    default:                 return 8;
    }
}

} // namespace N3D
} // namespace NVorn
