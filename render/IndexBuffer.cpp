#include "render/IndexBuffer.h"

namespace NVorn {
namespace N3D {

CIndexBuffer::CIndexBuffer()
    : m_Count(0), m_pIndices(nullptr)
{
}

CIndexBuffer::~CIndexBuffer()
{
}

} // namespace N3D
} // namespace NVorn
