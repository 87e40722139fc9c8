#include "core/SubSystem.h"

#include "core/Core.h"

namespace NVorn {
namespace NCore {

// Without a core there is no list to join; such a subsystem is simply never
// updated, rather than a write through a null core.
CSubSystem::CSubSystem()
{
    if (m_pCore)
        m_pCore->m_lSubSystems.Append(this);
}

CSubSystem::~CSubSystem()
{
    if (m_pCore)
        m_pCore->m_lSubSystems.Remove(this);
}

} // namespace NCore
} // namespace NVorn
