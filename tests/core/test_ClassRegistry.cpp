#include <gtest/gtest.h>

#include <string>

#include "core/ClassRegistry.h"
#include "tests/support/LogCapture.h"

using namespace NVorn::NClassRegistry;

namespace {

int g_Created = 0;

struct CFirst : CClass {};
struct CSecond : CClass {};

CClass* CreateFirst() { g_Created++; return new CFirst; }
CClass* CreateSecond() { g_Created++; return new CSecond; }
CClass* CreateNothing() { g_Created++; return nullptr; }

std::string Dump()
{
    NVorn::NTest::CLogCapture log;
    DumpClasses();
    return log.m_Text;
}

class ClassRegistry : public ::testing::Test
{
protected:
    void SetUp() override { Clear(); g_Created = 0; }
    void TearDown() override { Clear(); }
};

TEST_F(ClassRegistry, ClearedRegistryFindsNothing)
{
    Register("CFirst", "3D Device", CreateFirst);
    Clear();
    EXPECT_EQ(nullptr, m_pFirstClass);
    EXPECT_EQ(nullptr, CreateByName("CFirst"));
    EXPECT_EQ(nullptr, CreateByTag("3D Device"));
    EXPECT_EQ(nullptr, CreateByHandle(nullptr));
    EXPECT_EQ("Registerd classes:\n", Dump());
    EXPECT_EQ(0, g_Created);
}

TEST_F(ClassRegistry, NewestRegistrationWins)
{
    Register("CFirst", "3D Device", CreateFirst);
    Register("CSecond", "3D Device", CreateSecond);

    CClass* object = CreateByTag("3D Device");
    EXPECT_NE(nullptr, dynamic_cast<CSecond*>(object));
    delete object;
    object = CreateByName("CFirst");   // each name still reaches its own class
    EXPECT_NE(nullptr, dynamic_cast<CFirst*>(object));
    delete object;
    EXPECT_EQ("Registerd classes:\n\tCSecond\n\tCFirst\n", Dump());

    Register("CFirst", "Other", CreateSecond);
    EXPECT_STREQ("Other", FindHandle("CFirst")->m_aTag);
}

TEST_F(ClassRegistry, LookupsAreExactAndCreationResultIsPassedOn)
{
    Register("CFirst", "3D Device", CreateFirst);
    for (const char* tag : {"3d device", "3D Devic", "3D Device ", static_cast<const char*>(nullptr)})
        EXPECT_EQ(nullptr, FindHandleByTag(tag)) << (tag ? tag : "null");
    EXPECT_EQ(nullptr, FindHandle("3D Device"));    // names and tags are separate keys
    EXPECT_EQ(nullptr, FindHandle(nullptr));
    EXPECT_EQ(0, g_Created);

    Register("CNothing", "Empty", CreateNothing);
    Register("CNoFunction", "None", nullptr);
    EXPECT_EQ(nullptr, CreateByName("CNothing"));
    EXPECT_EQ(1, g_Created);
    EXPECT_EQ(nullptr, CreateByTag("None"));
}

TEST_F(ClassRegistry, OverlongTextsAreCutToTheField)
{
    const std::string longName(100, 'n');
    const std::string longTag(64, 't');
    Register(longName.c_str(), longTag.c_str(), CreateFirst);
    Register(nullptr, nullptr, CreateSecond);

    CHandle* handle = FindHandle(longName.substr(0, 63).c_str());
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(longTag.substr(0, 63), handle->m_aTag);
    ASSERT_NE(nullptr, FindHandle(""));
    EXPECT_STREQ("", FindHandle("")->m_aTag);
}

} // namespace
