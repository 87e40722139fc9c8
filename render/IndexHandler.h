// CIndexHandler: hands out the small integer handles that name device
// resources and maps each to a typed entry.
//
// A handle is the index of its entry in m_aIDs and is never negative.
// Removed handles are reused before the table grows; the table never shrinks.
// The handler owns only its two arrays: m_pData of an entry is the back end's
// object, which the back end stores right after GetFree and deletes itself.
// A handle names a resource only together with the type the caller expects:
// an entry that is free, of another type, or outside the table names nothing.
#ifndef NVORN_RENDER_INDEXHANDLER_H
#define NVORN_RENDER_INDEXHANDLER_H

#include "foundation/DynamicArray.h"

namespace NVorn {
namespace N3D {

// Resource types of a handle-table entry.
enum
{
    SID_FREE         = -1,
    SID_TEXTURE      = 0,
    SID_VERTEXSHADER = 1,
    SID_PIXELSHADER  = 2,
    SID_VERTEXBUFFER = 3,
    SID_INDEXBUFFER  = 4
};

class CIndexHandler
{
public:
    // One table entry: (SID_FREE, null) when free.
    struct SID
    {
        bool operator==(const SID& other) const
        {
            return m_Type == other.m_Type && m_pData == other.m_pData;
        }

        long  m_Type;
        void* m_pData;
    };

    // A handle for a new resource of the given type; its entry is (type, null).
    // The first free handle is reused, and the last free one takes its place
    // in the free list; otherwise the table grows by one entry.
    long  GetFree(long type);
    // Frees a handle inside the table; any other value is ignored.
    void  Remove(long handle);
    // The object of handle if its entry has the given type, else null.
    void* Lookup(long handle, long type) const;

    TDynamicArray<SID>  m_aIDs;   // the handle is the entry's index
    TDynamicArray<long> m_aFree;  // handles of removed entries, for reuse
};

} // namespace N3D
} // namespace NVorn

#endif
