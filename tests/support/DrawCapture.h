// TDrawCapture<TDevice>: a render device with every Draw call captured before
// it reaches the device: its primitive count, the device's recorded state at
// that moment and the vertices it uses, read back through Lock from the
// buffers bound to the position and texture-unit-0 streams.
#ifndef NVORN_TESTS_SUPPORT_DRAWCAPTURE_H
#define NVORN_TESTS_SUPPORT_DRAWCAPTURE_H

#include <vector>

#include "render/Device.h"

namespace NVorn {
namespace NTest {

// A component that has no bound stream, or an index outside its buffer,
// reads as 0.
struct SCapturedVertex
{
    float x, y, z;
    float u, v;           // texture unit 0
};

struct SCapturedDraw
{
    long m_Count;                             // primitives
    N3D::CState m_State;                      // the state recorded at the call
    std::vector<SCapturedVertex> m_lVertices; // the vertices the call uses
};

// The vertices count primitives use; 0 for an unknown type or a count out of
// range.
long VerticesForPrimitives(long prim, long count);
// The vertices at the given indices, as the device's bound streams hold them.
std::vector<SCapturedVertex> ReadVertices(N3D::CDevice& device, const std::vector<long>& indices);

template<class TDevice>
class TDrawCapture : public TDevice
{
public:
    void Draw(long prim, long first, long count) override
    {
        std::vector<long> indices;
        for (long i = 0; i < VerticesForPrimitives(prim, count); ++i)
            indices.push_back(first + i);
        m_lDraws.push_back(SCapturedDraw{count, *this, ReadVertices(*this, indices)});
        TDevice::Draw(prim, first, count);
    }

    std::vector<SCapturedDraw> m_lDraws;
};

} // namespace NTest
} // namespace NVorn

#endif
