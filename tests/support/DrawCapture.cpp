#include "DrawCapture.h"

namespace NVorn {
namespace NTest {

using namespace N3D;

namespace {

typedef float SCapturedVertex::*FField;

// Fills the given fields of each vertex from one component of a buffer.
void ReadComponent(CDevice& device, long handle, long component, const std::vector<FField>& fields,
                   const std::vector<long>& indices, std::vector<SCapturedVertex>& vertices)
{
    CVertexBuffer* buffer = device.LockVertexBuffer(handle, STREAM_ALL);
    if (!buffer)
        return;
    const float* data = static_cast<const float*>(buffer->GetPointer(component));
    for (size_t i = 0; data && i < indices.size(); ++i)
        if (indices[i] >= 0 && indices[i] < buffer->m_Count)
            for (size_t f = 0; f < fields.size(); ++f)
                vertices[i].*fields[f] = data[indices[i] * long(fields.size()) + long(f)];
    device.UnlockVertexBuffer(handle, STREAM_ALL);
}

} // namespace

long VerticesForPrimitives(long prim, long count)
{
    if (count < 0 || count > (1L << 24))
        return 0;
    const long perPrimitive[PRIM_COUNT] = {1, 2, 1, 3, 1, 1, 4};
    const long extra[PRIM_COUNT] = {0, 0, 1, 0, 2, 2, 0};
    return IsInEnumeration(prim, PRIM_COUNT) ? perPrimitive[prim] * count + extra[prim] : 0;
}

std::vector<SCapturedVertex> ReadVertices(CDevice& device, const std::vector<long>& indices)
{
    typedef SCapturedVertex V;
    std::vector<V> vertices(indices.size(), V{0, 0, 0, 0, 0});
    ReadComponent(device, device.m_VertexStream, COMPONENT_POSITION, {&V::x, &V::y, &V::z}, indices, vertices);
    long set = device.m_aTextureSet[0];
    if (IsInEnumeration(set, 8))
        ReadComponent(device, device.m_aTextureStream[0], COMPONENT_TEXCOORD0 + set, {&V::u, &V::v}, indices, vertices);
    return vertices;
}

} // namespace NTest
} // namespace NVorn
