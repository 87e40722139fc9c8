// CIndexBuffer: the description of 16-bit index data that crosses the device
// interface. The base does not own its array; CIndexBufferSW and a back end's
// buffer do.
#ifndef NVORN_RENDER_INDEXBUFFER_H
#define NVORN_RENDER_INDEXBUFFER_H

#include <cstdint>

namespace NVorn {
namespace N3D {

class CIndexBuffer
{
public:
    CIndexBuffer();
    virtual ~CIndexBuffer();

    long      m_Count;     // number of indices
    uint16_t* m_pIndices;
};

} // namespace N3D
} // namespace NVorn

#endif
