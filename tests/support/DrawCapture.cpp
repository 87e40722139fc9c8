#include "DrawCapture.h"

namespace NVorn {
namespace NTest {

using namespace N3D;

namespace {

// The number of vertices count primitives use; 0 for an unknown type.
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

// floats values per vertex of one component, for n vertices from first on.
// Vertices outside the buffer, and a missing buffer or component, read as 0.
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

    std::vector<float> p = ReadComponent(device, state.m_VertexStream, COMPONENT_POSITION, 3, first, n);
    std::vector<float> c = ReadComponent(device, state.m_ColorStream, COMPONENT_COLOR, 4, first, n);
    std::vector<float> t(n * 2, 0.0f);
    long set = state.m_aTextureSet[0];
    if (IsInEnumeration(set, 8))
        t = ReadComponent(device, state.m_aTextureStream[0], COMPONENT_TEXCOORD0 + set, 2, first, n);

    for (long i = 0; i < n; ++i)
        draw.m_lVertices.push_back(SCapturedVertex{p[i * 3], p[i * 3 + 1], p[i * 3 + 2],
                                                   c[i * 4], c[i * 4 + 1], c[i * 4 + 2], c[i * 4 + 3],
                                                   t[i * 2], t[i * 2 + 1]});
    return draw;
}

} // namespace NTest
} // namespace NVorn
