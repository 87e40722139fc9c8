#include "render/IndexHandler.h"

namespace NVorn {
namespace N3D {

long CIndexHandler::GetFree(long type)
{
    if (m_aFree.m_Length > 0)
    {
        // Reuse the first free handle; the last one fills its place.
        long handle = m_aFree[0];
        m_aFree[0] = m_aFree[m_aFree.m_Length - 1];
        --m_aFree.m_Length;
        m_aIDs[handle] = SID{type, nullptr};
        return handle;
    }

    long handle = m_aIDs.m_Length;
    m_aIDs.Append(SID{type, nullptr});
    return handle;
}

void CIndexHandler::Remove(long handle)
{
    if (handle < 0 || handle >= m_aIDs.m_Length)
        return;
    // A handle already free must not enter the free list twice, or it would
    // be handed out to two resources at once.
    if (m_aIDs[handle].m_Type == SID_FREE)
        return;
    m_aIDs[handle] = SID{SID_FREE, nullptr};
    m_aFree.Append(handle);
}

void* CIndexHandler::Lookup(long handle, long type) const
{
    if (handle < 0 || handle >= m_aIDs.m_Length)
        return nullptr;
    const SID& entry = m_aIDs[handle];
    return entry.m_Type == type ? entry.m_pData : nullptr;
}

} // namespace N3D
} // namespace NVorn
