// TDrawCapture<TDevice>: any render device, with every Draw call captured
// before it reaches the device: its arguments, the device's recorded state at
// that moment and the vertices it uses, read back through Lock from the
// buffers bound to the position, colour and texture-unit-0 streams. Every
// device records the state it last applied and keeps its buffers readable,
// so a capture means the same on a recording device and a real one.
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
    float r, g, b, a;
    float u, v;           // texture unit 0
};

struct SCapturedDraw
{
    long m_Prim;
    long m_First;
    long m_Count;                             // primitives
    N3D::CState m_State;                      // the state recorded at the call
    std::vector<SCapturedVertex> m_lVertices; // the vertices the call uses
};

// The vertices count primitives use; 0 for an unknown type or a count out of
// range.
long VerticesForPrimitives(long prim, long count);
// The vertices at the given indices, as the device's bound streams hold them.
std::vector<SCapturedVertex> ReadVertices(N3D::CDevice& device, const std::vector<long>& indices);
SCapturedDraw CaptureDraw(N3D::CDevice& device, long prim, long first, long count);

template<class TDevice>
class TDrawCapture : public TDevice
{
public:
    void Draw(long prim, long first, long count) override
    {
        m_lDraws.push_back(CaptureDraw(*this, prim, first, count));
        TDevice::Draw(prim, first, count);
    }

    std::vector<SCapturedDraw> m_lDraws;
};

} // namespace NTest
} // namespace NVorn

#endif
