#include "render/Mode.h"

namespace NVorn {
namespace N3D {

bool CMode::SParameter::Accaptable(SParameter candidate) const
{
    switch (m_Match)
    {
    case MATCH_ANY:      return true;
    case MATCH_POSITIVE: return candidate.m_Value > 0;
    case MATCH_EXACT:    return candidate.m_Value == m_Value;
    default:             return false;
    }
}

CMode::CMode()
{
    Clear();
}

CMode::CMode(long width, long height, bool fullscreen, long)
{
    Clear();
    m_aParameters[MODE_WIDTH] = SParameter{width, MATCH_EXACT};
    m_aParameters[MODE_HEIGHT] = SParameter{height, MATCH_EXACT};
    m_aParameters[MODE_FULLSCREEN] = SParameter{fullscreen ? 1 : 0, MATCH_EXACT};
}

void CMode::Clear()
{
    for (SParameter& p : m_aParameters)
        p = SParameter{0, MATCH_ANY};
    m_aParameters[MODE_DISPLAY] = SParameter{0, MATCH_EXACT};
}

bool CMode::Compare(CMode other) const
{
    for (long i = 0; i < MODE_COUNT; ++i)
    {
        const SParameter& a = m_aParameters[i];
        const SParameter& b = other.m_aParameters[i];
        if (a.m_Value != b.m_Value || a.m_Match != b.m_Match)
            return false;
    }
    return true;
}

bool CMode::Acceptable(CMode candidate) const
{
    for (long i = 0; i < MODE_COUNT; ++i)
        if (!m_aParameters[i].Accaptable(candidate.m_aParameters[i]))
            return false;
    return true;
}

} // namespace N3D
} // namespace NVorn
