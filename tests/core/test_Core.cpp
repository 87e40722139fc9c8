#include <gtest/gtest.h>

#include <string>

#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "core/SubSystem.h"

using namespace NVorn;
using namespace NVorn::NCore;

namespace {

std::string g_Trace;

// Appends its name to the trace on each update and returns what it is told.
class CTraceSubSystem : public CSubSystem
{
public:
    explicit CTraceSubSystem(char name) : m_Name(name) {}
    bool Update() override
    {
        g_Trace += m_Name;
        return m_bResult;
    }

    char m_Name;
    bool m_bResult = true;
};

CMessage* NewMessage(int32_t type, int32_t key = 0)
{
    CMessage* message = new CMessage();
    message->m_Type = type;
    message->m_aParam[0] = key;
    return message;
}

// SDL is not started here: the pump must leave it alone.
class Core : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Trace.clear();
        g_QuitRequest = 0;
        m_pTestCore = new CCore;
        ASSERT_EQ(m_pTestCore, m_pCore);
    }
    void TearDown() override
    {
        delete m_pTestCore;
        m_pCore = nullptr;
    }

    CCore* m_pTestCore = nullptr;
};

TEST_F(Core, UpdateVisitsNewestFirstAndStopsAtFalse)
{
    CTraceSubSystem a('A');
    CTraceSubSystem* b = new CTraceSubSystem('B');
    CTraceSubSystem c('C');
    EXPECT_TRUE(m_pTestCore->Update());
    EXPECT_EQ("CBA", g_Trace);

    g_Trace.clear();
    b->m_bResult = false;
    EXPECT_FALSE(m_pTestCore->Update());
    EXPECT_EQ("CB", g_Trace);

    // A destroyed subsystem leaves the list; the others keep their order.
    g_Trace.clear();
    delete b;
    EXPECT_TRUE(m_pTestCore->Update());
    EXPECT_EQ("CA", g_Trace);
}

TEST_F(Core, UpdateAndPumpStopsAtQuit)
{
    m_pTestCore->DiscardCurrentMessage();   // harmless on an empty queue
    m_pTestCore->AddMessage(NewMessage(MSG_KEYDOWN, 65));
    m_pTestCore->AddMessage(NewMessage(MSG_KEYUP, 65));
    m_pTestCore->AddMessage(NewMessage(MSG_QUIT));
    m_pTestCore->AddMessage(NewMessage(MSG_KEYDOWN, 32));

    EXPECT_FALSE(m_pTestCore->UpdateAndPump());
    ASSERT_EQ(2, m_pTestCore->m_lMessages.m_Length);
    EXPECT_EQ(MSG_QUIT, m_pTestCore->GetCurrentMessage()->m_Type);
    EXPECT_FALSE(m_pTestCore->UpdateAndPump());     // stays until taken

    m_pTestCore->DiscardCurrentMessage();
    EXPECT_TRUE(m_pTestCore->UpdateAndPump());
    EXPECT_FALSE(m_pTestCore->GotMessages());
}

NClassRegistry::CClass* CreateNothing() { return nullptr; }

TEST_F(Core, DestructionEmptiesRegistryAndQueue)
{
    NClassRegistry::Register("CNothing", "3D Device", CreateNothing);
    m_pTestCore->AddMessage(NewMessage(MSG_KEYUP));     // the leak checker watches it
    delete m_pTestCore;
    m_pTestCore = nullptr;
    m_pCore = nullptr;
    EXPECT_EQ(nullptr, NClassRegistry::m_pFirstClass);

    // A subsystem made while no core exists is left out of later cores.
    CTraceSubSystem orphan('X');
    CCore core;
    EXPECT_TRUE(core.Update());
    EXPECT_EQ("", g_Trace);
    m_pCore = nullptr;
}

} // namespace
