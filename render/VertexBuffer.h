// CVertexBuffer: the description of vertex data that crosses the device
// interface, one array per vertex component (the stream bits of State.h).
//
// An absent component has a null array; every present array holds m_Count
// elements. The description does not own its arrays in this base class:
// whoever derives from it (a back end's buffer, CVertexBufferSW) does.
#ifndef NVORN_RENDER_VERTEXBUFFER_H
#define NVORN_RENDER_VERTEXBUFFER_H

#include "render/Vector.h"

namespace NVorn {
namespace N3D {

// Vertex components; component k has the stream bit 1 << k.
enum
{
    COMPONENT_POSITION  = 0,
    COMPONENT_NORMAL    = 1,
    COMPONENT_COLOR     = 2,
    COMPONENT_TEXCOORD0 = 4,   // texture-coordinate set n is component 4 + n
    COMPONENT_COUNT     = 12
};

class CVertexBuffer
{
public:
    CVertexBuffer();
    virtual ~CVertexBuffer();

    // The stream-bit mask of the components whose arrays are present.
    long What() const;
    // The array of a component (0 position, 1 normal, 2 colour, 4..11
    // texture sets 0..7); null for component 3 and any number outside 0..11.
    void* GetPointer(long component) const;
    // Bytes per element: 12 for position and normal, 16 for colour, 8 for
    // every other number.
    static long GetPointerElementSize(long component);

    long             m_Count;                        // vertices in every array
    TVector3<float>* m_pPosition;
    TVector3<float>* m_pNormal;
    float*           m_pColor;                       // 4 floats r, g, b, a per vertex
    TVector2<float>* m_apTexCoord[8];                // u, v of sets 0..7
};

} // namespace N3D
} // namespace NVorn

#endif
