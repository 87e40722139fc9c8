// Shader loading: the source of the first block whose profile the device
// supports, byte for byte. The fuzz target's kept inputs check the loader
// against a line-by-line reading; these pin the exact text.
#include <string>

#include <gtest/gtest.h>

#include "RecordingDevice.h"
#include "foundation/Memory.h"

using namespace NVorn;

namespace {

// A stream that announces more bytes than it delivers.
class CShortMemory : public CMemory
{
public:
    using CMemory::CMemory;
    long GetSize() override { return CMemory::GetSize() + 100; }
};

TEST(CDeviceLoadShader, ReturnsTheFirstSupportedBlockExactly)
{
    NTest::CRecordingDevice device;
    device.m_aShaderProfiles.Append(CString("fp40"));
    device.m_aShaderProfiles.Append(CString("ARBvp1_0"));
    const std::string cases[][2] = {
        {"ARBvp1_0\n{\n  !!ARBvp1.0\nEND\n}\n", "!!ARBvp1.0\nEND\n"},
        {"ARBvp1_0\n{ rest\n\t MOV r0, r1;  \n\n \t\nEND\n}", "MOV r0, r1;  \n\n\nEND\n"},
        {"ps_3_0\n{\nA\n}\nARBvp1_0\n{\nB\n}\nfp40\n{\nC\n}\n", "B\n"},
        {"ARBvp1_0\n{\nA\n  }\nB\n}\n", "A\n}\nB\n"},
    };
    for (const auto& c : cases)
    {
        CMemory file((void*)c[0].data(), long(c[0].size()));
        CString source = device.LoadShader(file);
        EXPECT_EQ(std::string(source.m_pData, source.m_Size - 1), c[1]) << c[0];
    }

    char text[] = "ARBvp1_0\n{\nA\n}\n";
    CShortMemory shortFile(text, sizeof text - 1);
    EXPECT_TRUE(device.LoadShader(shortFile) == "A\n");
    device.m_aShaderProfiles.Clear();
    CMemory file(text, sizeof text - 1);
    EXPECT_TRUE(device.LoadShader(file) == "");
}

} // namespace
