// CVertexBufferSW: a vertex buffer description whose arrays live on the heap
// and belong to it; the destructor deletes them.
#ifndef NVORN_RENDER_VERTEXBUFFERSW_H
#define NVORN_RENDER_VERTEXBUFFERSW_H

#include "render/VertexBuffer.h"

namespace NVorn {
namespace N3D {

class CVertexBufferSW : public CVertexBuffer
{
public:
    CVertexBufferSW() = default;
    ~CVertexBufferSW() override;

    CVertexBufferSW(const CVertexBufferSW&) = delete;
    CVertexBufferSW& operator=(const CVertexBufferSW&) = delete;
};

// A new buffer of count vertices with the components in the stream-bit mask
// format. Positions, normals and texture coordinates start at zero; colours
// are not initialised. The caller owns the result and deletes it through the
// virtual destructor. Null for a negative count. The last argument is not used.
CVertexBuffer* CreateVertexBufferSW(long count, long format, long);

} // namespace N3D
} // namespace NVorn

#endif
