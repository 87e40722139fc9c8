// Shader loading from real files: the block of the first supported profile.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "RecordingDevice.h"
#include "foundation/File.h"
#include "foundation/Memory.h"

using namespace NVorn;
using NVorn::NTest::CRecordingDevice;

namespace {

class CLoadShaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Device.m_aShaderProfiles.Append(CString("fp40"));
        m_Device.m_aShaderProfiles.Append(CString("ARBvp1_0"));
    }

    void TearDown() override { std::remove(m_Path.c_str()); }

    // Writes text to the test's file and loads it back through a CFile.
    std::string Load(const std::string& text)
    {
        FILE* f = std::fopen(m_Path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (!f)
            return "<no file>";
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        CFile file(m_Path.c_str(), 5);
        EXPECT_TRUE(file.IsReady());
        CString source = m_Device.LoadShader(file);
        return std::string(source.m_pData, source.m_Size - 1);
    }

    CRecordingDevice m_Device;
    std::string m_Path = ::testing::TempDir() + "nvorn_shader_" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(CLoadShaderTest, ReturnsTheFirstSupportedBlockUnindented)
{
    EXPECT_EQ(Load("ARBvp1_0\n{\n  !!ARBvp1.0\nEND\n}\n"), "!!ARBvp1.0\nEND\n");
    // Without a final line break, and with an empty source line kept.
    EXPECT_EQ(Load("ARBvp1_0\n{ rest ignored\n\t MOV r0, r1;\n\nEND\n}"), "MOV r0, r1;\n\nEND\n");
    EXPECT_EQ(Load("ps_3_0\n{\nA\n}\nARBvp1_0\n{\nB\n}\nfp40\n{\nC\n}\n"), "B\n");
    // An indented brace is a source line; the block closes at the next one,
    // and a block left open at the end is never returned.
    EXPECT_EQ(Load("ARBvp1_0\n{\nA\n  }\nB\n}\n"), "A\n}\nB\n");
    EXPECT_EQ(Load("ARBvp1_0\n{\nA\n  }\n"), "");
}

TEST_F(CLoadShaderTest, NameLineMustPrecedeItsBlockExactly)
{
    // The empty line becomes the profile name; carriage returns stay in the
    // names.
    EXPECT_EQ(Load("ARBvp1_0\n\n{\nA\n}\n"), "");
    EXPECT_EQ(Load("ARBvp1_0\r\n{\r\nA\r\n}\r\n"), "");
    EXPECT_EQ(Load(""), "");
    m_Device.m_aShaderProfiles.Clear();
    EXPECT_EQ(Load("ARBvp1_0\n{\nA\n}\n"), "");
}

// A stream that delivers fewer bytes than it announced yields only what it
// delivered.
TEST(CDeviceLoadShader, ShortReadUsesOnlyTheBytesRead)
{
    class CShortMemory : public CMemory
    {
    public:
        using CMemory::CMemory;
        long GetSize() override { return CMemory::GetSize() + 100; }
    };

    char text[] = "ARBvp1_0\n{\nA\n}\n";
    CShortMemory memory(text, sizeof text - 1);
    CRecordingDevice device;
    device.m_aShaderProfiles.Append(CString("ARBvp1_0"));
    EXPECT_TRUE(device.LoadShader(memory) == "A\n");
}

} // namespace
