#include "core/Core.h"

#include "core/ClassRegistry.h"
#include "core/SubSystem.h"

namespace NVorn {
namespace NCore {

CCore* m_pCore = nullptr;

CCore::CCore()
{
    Init();
    m_pCore = this;
}

CCore::~CCore()
{
    Shutdown();
    for (long i = 0; i < m_lMessages.m_Length; i++)
        delete m_lMessages[i];
    m_lMessages.Clear();
    NClassRegistry::Clear();
}

bool CCore::Update()
{
    if (!OSPreUpdate())
        return false;
    // Newest first: a subsystem created on top of another is updated before it.
    for (long i = m_lSubSystems.m_Length - 1; i >= 0; i--)
        if (!m_lSubSystems[i]->Update())
            return false;
    return OSPostUpdate();
}

bool CCore::UpdateAndPump()
{
    if (!Update())
        return false;
    while (GotMessages()) {
        if (GetCurrentMessage()->m_Type == MSG_QUIT)
            return false;
        DiscardCurrentMessage();
    }
    return true;
}

void CCore::AddMessage(CMessage* message)
{
    m_lMessages.Append(message);
}

bool CCore::GotMessages()
{
    return m_lMessages.m_Length > 0;
}

CMessage* CCore::GetCurrentMessage()
{
    return GotMessages() ? m_lMessages[0] : nullptr;
}

void CCore::DiscardCurrentMessage()
{
    if (!GotMessages())
        return;
    delete m_lMessages[0];
    m_lMessages.RemoveAt(0);
}

void CCore::Init()
{
}

void CCore::Shutdown()
{
}

bool CCore::OSPostUpdate()
{
    return true;
}

} // namespace NCore
} // namespace NVorn
