// TDrawCapture<TDevice>: any render device, with every Draw call captured
// before it reaches the device.
//
// A capture holds the call's arguments, the device's recorded render state at
// that moment and the vertices the call uses, read back from the buffers bound
// to the position, colour and texture-unit-0 streams (each locked and unlocked
// again for the read). Because every device records the state last applied
// and keeps its buffers in memory, a capture means the same on every device,
// which lets one set of drawing tests run on a recording device and on a
// real one alike.
#ifndef NVORN_TESTS_SUPPORT_DRAWCAPTURE_H
#define NVORN_TESTS_SUPPORT_DRAWCAPTURE_H

#include <vector>

#include "render/Device.h"

namespace NVorn {
namespace NTest {

struct SCapturedVertex
{
    float x, y, z;        // position; 0 when no position stream is bound
    float r, g, b, a;     // colour; 0 when no colour stream is bound
    float u, v;           // texture unit 0's coordinates; 0 when unbound
};

struct SCapturedDraw
{
    long m_Prim;
    long m_First;
    long m_Count;                            // primitives
    N3D::CState m_State;                     // the state recorded at the call
    std::vector<SCapturedVertex> m_lVertices; // the vertices the call uses
};

// The number of vertices count primitives of the given type use; 0 for an
// unknown type or a negative count.
long VerticesForPrimitives(long prim, long count);

// Captures one Draw call on device, as described above.
SCapturedDraw CaptureDraw(N3D::CDevice& device, long prim, long first, long count);

template<class TDevice>
class TDrawCapture : public TDevice
{
public:
    using TDevice::TDevice;

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
