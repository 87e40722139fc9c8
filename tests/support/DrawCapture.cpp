#include "DrawCapture.h"

namespace NVorn {
namespace NTest {

using namespace N3D;

long VerticesForPrimitives(long prim, long count)
{
    if (count < 0)
        return 0;
    switch (prim)
    {
    case PRIM_POINTS:        return count;
    case PRIM_LINES:         return 2 * count;
    case PRIM_LINESTRIP:     return count + 1;
    case PRIM_TRIANGLES:     return 3 * count;
    case PRIM_TRIANGLESTRIP:
    case PRIM_TRIANGLEFAN:   return count + 2;
    case PRIM_QUADS:         return 4 * count;
    default:                 return 0;
    }
}

namespace {

// floats values per vertex of one component of a buffer, for n vertices from
// first on. Vertices the buffer does not hold, or a buffer or component that
// is missing, read as zero.
std::vector<float> ReadComponent(CDevice& device, long handle, long component,
                                 long floats, long first, long n)
{
    std::vector<float> values(n * floats, 0.0f);
    CVertexBuffer* buffer = device.LockVertexBuffer(handle, STREAM_ALL);
    if (!buffer)
        return values;
    const float* data = static_cast<const float*>(buffer->GetPointer(component));
    for (long i = 0; data && i < n; ++i)
    {
        long index = first + i;
        if (index < 0 || index >= buffer->m_Count)
            continue;
        for (long f = 0; f < floats; ++f)
            values[i * floats + f] = data[index * floats + f];
    }
    device.UnlockVertexBuffer(handle, STREAM_ALL);
    return values;
}

} // namespace

SCapturedDraw CaptureDraw(CDevice& device, long prim, long first, long count)
{
    SCapturedDraw draw{prim, first, count, device, {}};
    const CState& state = draw.m_State;
    long n = VerticesForPrimitives(prim, count);

    std::vector<float> position = ReadComponent(device, state.m_VertexStream,
                                                COMPONENT_POSITION, 3, first, n);
    std::vector<float> color = ReadComponent(device, state.m_ColorStream,
                                             COMPONENT_COLOR, 4, first, n);
    std::vector<float> coords(n * 2, 0.0f);
    long set = state.m_aTextureSet[0];
    if (IsInEnumeration(set, 8))
        coords = ReadComponent(device, state.m_aTextureStream[0],
                               COMPONENT_TEXCOORD0 + set, 2, first, n);

    for (long i = 0; i < n; ++i)
    {
        const float* p = &position[i * 3];
        const float* c = &color[i * 4];
        const float* t = &coords[i * 2];
        draw.m_lVertices.push_back(SCapturedVertex{p[0], p[1], p[2], c[0], c[1], c[2], c[3],
                                                   t[0], t[1]});
    }
    return draw;
}

} // namespace NTest
} // namespace NVorn
