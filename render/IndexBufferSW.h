// CIndexBufferSW: an index buffer description whose array lives on the heap
// and belongs to it; the destructor deletes it.
#ifndef NVORN_RENDER_INDEXBUFFERSW_H
#define NVORN_RENDER_INDEXBUFFERSW_H

#include "render/IndexBuffer.h"

namespace NVorn {
namespace N3D {

class CIndexBufferSW : public CIndexBuffer
{
public:
    CIndexBufferSW() = default;
    ~CIndexBufferSW() override;

    CIndexBufferSW(const CIndexBufferSW&) = delete;
    CIndexBufferSW& operator=(const CIndexBufferSW&) = delete;
};

// A new buffer of count indices, not initialised. The caller owns the result
// and deletes it through the virtual destructor. Null for a negative count.
// The last argument is not used.
CIndexBuffer* CreateIndexBufferSW(long count, long);

} // namespace N3D
} // namespace NVorn

#endif
