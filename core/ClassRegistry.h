// The class registry: a process-wide list that maps a class name and a class
// tag (the role it plays, such as "3D Device") to a creation function, so that
// a program can create an implementation by its role without naming it.
//
// Entries are kept newest first, so when several entries share a name or a
// tag, every lookup finds the most recent registration. The registry owns its
// entries; an object made through it belongs to whoever asked for it.
//
// A class becomes creatable by defining, next to the class:
//   CClass* ClassCreate_X() { return new X; }
//   void Touch_X() {}
//   a file-scope object whose initialisation calls Register("X", tag, ClassCreate_X).
// A source file that creates X by tag defines a file-scope object whose
// initialisation calls Touch_X(); that reference keeps X and its registrar in
// every link that includes the user, also when the engine is a static library.
#ifndef NVORN_CORE_CLASSREGISTRY_H
#define NVORN_CORE_CLASSREGISTRY_H

namespace NVorn {
namespace NClassRegistry {

// Root of everything the registry can create. Derived classes add their own
// virtual operations after the destructor.
class CClass
{
public:
    virtual ~CClass() {}
};

// One registry entry. Name and tag hold at most 63 characters; longer texts
// are cut to fit.
class CHandle
{
public:
    CHandle(const char* name, const char* tag, CClass* (*create)());

    char     m_aName[64];
    char     m_aTag[64];
    CClass*  (*m_pCreate)();
    CHandle* m_pNext;   // the entry registered before this one, or null
};

// Head of the list: the newest registration, or null when the registry is empty.
extern CHandle* m_pFirstClass;

void     Register(const char* name, const char* tag, CClass* (*create)());

// Lookups compare byte for byte (case-sensitive) and return the newest match,
// or null when nothing matches.
CHandle* FindHandle(const char* name);
CHandle* FindHandleByTag(const char* tag);

CClass*  CreateByTag(const char* tag);
CClass*  CreateByName(const char* name);
CClass*  CreateByHandle(CHandle* handle);

// Logs every registered name, newest first.
void     DumpClasses();

// Deletes every entry; the registry is empty afterwards.
void     Clear();

} // namespace NClassRegistry
} // namespace NVorn

#endif
