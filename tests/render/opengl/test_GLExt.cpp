#include "render/opengl/GLExt.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> g_aAsked;
const char* g_pMissing = nullptr;

// Stands in for an OpenGL library: forwards to the real lookup, records each
// name asked for and hides the one name in g_pMissing.
void* RecordingResolver(const char* name)
{
    g_aAsked.push_back(name);
    if (g_pMissing && std::strcmp(name, g_pMissing) == 0)
        return nullptr;
    return GLExtInit_GetProcAddress(name);
}

class GLExtTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The window layer puts the system's OpenGL library in the global
        // scope before the extensions are resolved; without a window, do the
        // same here.
        ASSERT_NE(dlopen("libGL.so.1", RTLD_NOW | RTLD_GLOBAL), nullptr);
    }

    void SetUp() override
    {
        g_aAsked.clear();
        g_pMissing = nullptr;
        GLExtInit_SetResolver(RecordingResolver);
    }

    void TearDown() override
    {
        GLExtInit_SetResolver(nullptr);
        GLExtInit_arb_multitexture();
        GLExtInit_arb_vertex_program();
    }
};

}  // namespace

TEST_F(GLExtTest, CompleteLibraryResolvesEveryNameInOrder)
{
    EXPECT_EQ(GLExtInit_GetProcAddress("glNoSuchFunctionAnywhereARB"), nullptr);

    ASSERT_TRUE(GLExtInit_arb_multitexture());
    ASSERT_EQ(g_aAsked.size(), 34u);
    EXPECT_EQ(g_aAsked[0], "glActiveTextureARB");
    EXPECT_EQ(g_aAsked[10], "glMultiTexCoord2dARB");
    EXPECT_EQ(g_aAsked[33], "glMultiTexCoord4svARB");

    g_aAsked.clear();
    ASSERT_TRUE(GLExtInit_arb_vertex_program());
    ASSERT_EQ(g_aAsked.size(), 62u);
    EXPECT_EQ(g_aAsked[0], "glVertexAttrib1sARB");
    EXPECT_EQ(g_aAsked[40], "glBindProgramARB");
    EXPECT_EQ(g_aAsked[61], "glIsProgramARB");

    // Each pointer holds the address of its own function.
    EXPECT_EQ(reinterpret_cast<void*>(glextMultiTexCoord4svARB),
              GLExtInit_GetProcAddress("glMultiTexCoord4svARB"));
    EXPECT_EQ(reinterpret_cast<void*>(glextProgramLocalParameter4fvARB),
              GLExtInit_GetProcAddress("glProgramLocalParameter4fvARB"));
}

// A missing name fails its own extension only; the other names are still
// resolved, and a later run with the name present succeeds.
TEST_F(GLExtTest, MissingNameFailsOnlyItsExtension)
{
    g_pMissing = "glIsProgramARB";
    EXPECT_FALSE(GLExtInit_arb_vertex_program());
    EXPECT_EQ(g_aAsked.size(), 62u);
    EXPECT_EQ(glextIsProgramARB, nullptr);
    EXPECT_NE(glextVertexAttrib1sARB, nullptr);
    EXPECT_NE(glextProgramStringARB, nullptr);
    EXPECT_TRUE(GLExtInit_arb_multitexture());

    g_pMissing = "glActiveTextureARB";
    g_aAsked.clear();
    EXPECT_FALSE(GLExtInit_arb_multitexture());
    EXPECT_EQ(g_aAsked.size(), 34u);
    EXPECT_EQ(glextActiveTextureARB, nullptr);
    EXPECT_NE(glextClientActiveTextureARB, nullptr);
    EXPECT_NE(glextMultiTexCoord4svARB, nullptr);
    EXPECT_TRUE(GLExtInit_arb_vertex_program());
    EXPECT_NE(glextIsProgramARB, nullptr);
}
