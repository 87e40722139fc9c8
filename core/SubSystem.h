// A subsystem: an object the core updates once per frame (the render device
// is one). Constructing a subsystem registers it with the core; destroying it
// unregisters it. The core does not own its subsystems, and it must exist for
// their whole lifetime: create them after the core, destroy them before it.
#ifndef NVORN_CORE_SUBSYSTEM_H
#define NVORN_CORE_SUBSYSTEM_H

#include "core/ClassRegistry.h"

namespace NVorn {
namespace NCore {

class CSubSystem : public NClassRegistry::CClass
{
public:
    CSubSystem();
    ~CSubSystem() override;

    // A copy would be an object the core never heard of.
    CSubSystem(const CSubSystem&) = delete;
    CSubSystem& operator=(const CSubSystem&) = delete;

    // One frame of work. True lets the frame's update go on; false stops it.
    virtual bool Update() = 0;
};

} // namespace NCore
} // namespace NVorn

#endif
