#include "core/ClassRegistry.h"

#include "foundation/Log.h"
#include "foundation/Utils.h"

namespace NVorn {
namespace NClassRegistry {

CHandle* m_pFirstClass = nullptr;

// Copies text into a 64-byte field, cutting it at 63 characters so that the
// field always ends in a NUL. A null text is stored as an empty one.
static void CopyField(char (&field)[64], const char* text)
{
    field[0] = 0;
    if (text)
        StringCopy(field, text, (int)sizeof(field) - 1);
    field[sizeof(field) - 1] = 0;
}

CHandle::CHandle(const char* name, const char* tag, CClass* (*create)())
    : m_pCreate(create), m_pNext(nullptr)
{
    CopyField(m_aName, name);
    CopyField(m_aTag, tag);
}

void Register(const char* name, const char* tag, CClass* (*create)())
{
    CHandle* handle = new CHandle(name, tag, create);
    handle->m_pNext = m_pFirstClass;
    m_pFirstClass = handle;
}

CHandle* FindHandle(const char* name)
{
    if (!name)
        return nullptr;
    for (CHandle* handle = m_pFirstClass; handle; handle = handle->m_pNext)
        if (StringCompare(handle->m_aName, name) == 0)
            return handle;
    return nullptr;
}

CHandle* FindHandleByTag(const char* tag)
{
    if (!tag)
        return nullptr;
    for (CHandle* handle = m_pFirstClass; handle; handle = handle->m_pNext)
        if (StringCompare(handle->m_aTag, tag) == 0)
            return handle;
    return nullptr;
}

CClass* CreateByTag(const char* tag)
{
    return CreateByHandle(FindHandleByTag(tag));
}

CClass* CreateByName(const char* name)
{
    return CreateByHandle(FindHandle(name));
}

CClass* CreateByHandle(CHandle* handle)
{
    if (!handle || !handle->m_pCreate)
        return nullptr;
    return handle->m_pCreate();
}

void DumpClasses()
{
    NLog::Write("Registerd classes:\n");
    for (CHandle* handle = m_pFirstClass; handle; handle = handle->m_pNext)
        NLog::WriteF("\t%s\n", handle->m_aName);
}

void Clear()
{
    while (m_pFirstClass) {
        CHandle* next = m_pFirstClass->m_pNext;
        delete m_pFirstClass;
        m_pFirstClass = next;
    }
}

} // namespace NClassRegistry
} // namespace NVorn
