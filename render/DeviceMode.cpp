// Display-mode selection of CDevice.
#include "render/Device.h"

#include <algorithm>

#include "foundation/Log.h"

namespace NVorn {
namespace N3D {

namespace {

// Parameters in the order they decide between candidates. The display index
// takes no part.
const long aModePriority[] = {
    MODE_REFRESHRATE, MODE_BITSPERPIXEL, MODE_PARAM6, MODE_WIDTH,
    MODE_HEIGHT, MODE_FULLSCREEN, MODE_PARAM7, MODE_PARAM5
};

long LargestValue(const TDynamicArray<CMode>& list, long parameter)
{
    long largest = -1;
    for (long i = 0; i < list.m_Length; ++i)
        largest = std::max(largest, list[i].m_aParameters[parameter].m_Value);
    return largest;
}

// Drops every candidate whose value of the parameter is below the largest.
// A dropped slot takes the last candidate and is examined again, which fixes
// the order that decides between otherwise equal candidates.
void KeepLargest(TDynamicArray<CMode>& list, long parameter)
{
    long largest = LargestValue(list, parameter);
    long i = 0;
    while (i < list.m_Length)
    {
        if (list[i].m_aParameters[parameter].m_Value < largest)
        {
            list[i] = list[list.m_Length - 1];
            --list.m_Length;
        }
        else
            ++i;
    }
}

} // namespace

bool CDevice::GetBestMode(CMode request, CMode& best)
{
    TDynamicArray<CMode> list;
    EnumDisplayModes(list, request);
    if (list.m_Length == 0)
        return false;

    for (long parameter : aModePriority)
        KeepLargest(list, parameter);
    if (list.m_Length == 0)
        return false;

    best = list[0];
    const CMode::SParameter* p = best.m_aParameters;
    NLog::WriteF("3ddevice: Best mode: %4d %4d %4d %4d %4d %4d %4d %4d %4d \n",
                 (int)p[0].m_Value, (int)p[1].m_Value, (int)p[2].m_Value,
                 (int)p[3].m_Value, (int)p[4].m_Value, (int)p[5].m_Value,
                 (int)p[6].m_Value, (int)p[7].m_Value, (int)p[8].m_Value);
    return true;
}

bool CDevice::CheckMode(CMode)
{
    return true;
}

} // namespace N3D
} // namespace NVorn
