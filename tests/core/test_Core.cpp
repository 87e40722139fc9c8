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

class Core : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Trace.clear();
        g_QuitRequest = 0;
        m_pTestCore = new CCore;
    }
    void TearDown() override
    {
        delete m_pTestCore;
        m_pCore = nullptr;
    }

    CCore* m_pTestCore = nullptr;
};

TEST_F(Core, ConstructionMakesTheSingleton)
{
    EXPECT_EQ(m_pTestCore, m_pCore);
    EXPECT_EQ(0, m_pTestCore->m_lSubSystems.m_Length);
    EXPECT_EQ(1, m_pTestCore->m_lMessages.m_Capacity);
    EXPECT_FALSE(m_pTestCore->GotMessages());
    EXPECT_EQ(nullptr, m_pTestCore->GetCurrentMessage());
    m_pTestCore->DiscardCurrentMessage();   // harmless on an empty queue
    EXPECT_TRUE(m_pTestCore->Update());     // no subsystems, SDL not started
    EXPECT_FALSE(m_pTestCore->GotMessages());
}

TEST_F(Core, UpdateVisitsNewestFirstAndStopsAtFalse)
{
    CTraceSubSystem a('A'), b('B'), c('C');
    ASSERT_EQ(3, m_pTestCore->m_lSubSystems.m_Length);

    EXPECT_TRUE(m_pTestCore->Update());
    EXPECT_EQ("CBA", g_Trace);

    g_Trace.clear();
    b.m_bResult = false;
    EXPECT_FALSE(m_pTestCore->Update());
    EXPECT_EQ("CB", g_Trace);
}

TEST_F(Core, SubSystemsLeaveTheListOnDestruction)
{
    CTraceSubSystem a('A');
    {
        CTraceSubSystem b('B');
        CTraceSubSystem* c = new CTraceSubSystem('C');
        delete c;
        EXPECT_TRUE(m_pTestCore->Update());
        EXPECT_EQ("BA", g_Trace);
    }
    g_Trace.clear();
    EXPECT_TRUE(m_pTestCore->Update());
    EXPECT_EQ("A", g_Trace);
    EXPECT_EQ(1, m_pTestCore->m_lSubSystems.m_Length);
}

TEST_F(Core, QueueIsFirstInFirstOut)
{
    for (int32_t i = 0; i < 25; i++)   // past two growth steps
        m_pTestCore->AddMessage(NewMessage(MSG_KEYDOWN, i));
    for (int32_t i = 0; i < 25; i++) {
        ASSERT_TRUE(m_pTestCore->GotMessages());
        EXPECT_EQ(i, m_pTestCore->GetCurrentMessage()->m_aParam[0]);
        m_pTestCore->DiscardCurrentMessage();
    }
    EXPECT_FALSE(m_pTestCore->GotMessages());
    // Messages still queued are the core's to delete (the leak checker
    // watches this one).
    m_pTestCore->AddMessage(NewMessage(MSG_KEYUP, 1));
}

TEST_F(Core, UpdateAndPumpStopsAtQuit)
{
    m_pTestCore->AddMessage(NewMessage(MSG_KEYDOWN, 65));
    m_pTestCore->AddMessage(NewMessage(MSG_KEYUP, 65));
    m_pTestCore->AddMessage(NewMessage(MSG_QUIT));
    m_pTestCore->AddMessage(NewMessage(MSG_KEYDOWN, 32));

    EXPECT_FALSE(m_pTestCore->UpdateAndPump());
    ASSERT_EQ(2, m_pTestCore->m_lMessages.m_Length);
    EXPECT_EQ(MSG_QUIT, m_pTestCore->GetCurrentMessage()->m_Type);

    // The quit stays put until the application takes it.
    EXPECT_FALSE(m_pTestCore->UpdateAndPump());
    EXPECT_EQ(MSG_QUIT, m_pTestCore->GetCurrentMessage()->m_Type);
    m_pTestCore->DiscardCurrentMessage();
    EXPECT_TRUE(m_pTestCore->UpdateAndPump());
    EXPECT_FALSE(m_pTestCore->GotMessages());
}

TEST_F(Core, UpdateAndPumpFailsWithItsSubsystem)
{
    CTraceSubSystem a('A');
    a.m_bResult = false;
    m_pTestCore->AddMessage(NewMessage(MSG_KEYDOWN, 65));
    EXPECT_FALSE(m_pTestCore->UpdateAndPump());
    EXPECT_EQ(1, m_pTestCore->m_lMessages.m_Length);   // not drained
}

TEST_F(Core, QuitRequestBecomesOneMessage)
{
    QuitEventHandler();
    EXPECT_EQ(1, g_QuitRequest);
    EXPECT_TRUE(m_pTestCore->Update());
    EXPECT_EQ(0, g_QuitRequest);
    ASSERT_EQ(1, m_pTestCore->m_lMessages.m_Length);
    CMessage* quit = m_pTestCore->GetCurrentMessage();
    EXPECT_EQ(MSG_QUIT, quit->m_Type);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(0, quit->m_aParam[i]);

    EXPECT_TRUE(m_pTestCore->Update());
    EXPECT_EQ(1, m_pTestCore->m_lMessages.m_Length);
}

NClassRegistry::CClass* CreateNothing() { return nullptr; }

TEST_F(Core, DestructionEmptiesTheRegistry)
{
    NClassRegistry::Register("CNothing", "3D Device", CreateNothing);
    delete m_pTestCore;
    m_pTestCore = nullptr;
    EXPECT_EQ(nullptr, NClassRegistry::m_pFirstClass);
}

TEST(CoreAbsent, SubSystemWithoutCoreIsHarmless)
{
    ASSERT_EQ(nullptr, m_pCore);
    g_Trace.clear();
    CTraceSubSystem orphan('X');
    CCore core;
    EXPECT_TRUE(core.Update());
    EXPECT_EQ("", g_Trace);
    m_pCore = nullptr;
}

} // namespace
