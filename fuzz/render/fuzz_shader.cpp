// Feeds arbitrary text to the shader loader as a shader file. The first byte
// picks the device's profiles; the rest is the file. The loader must return
// exactly what a plain line-by-line reading of the file gives.
#include "RecordingDevice.h"
#include "foundation/Memory.h"
#include "foundation/Utils.h"

#include <cstddef>
#include <cstdint>

using namespace NVorn;

namespace {

// The file read line by line with the string's own splitting: slow, but
// plainly right, and the loader's result must match it byte for byte.
CString Expected(const TDynamicArray<CString>& profiles, const char* data, long size)
{
    CString text;
    text.CopyData(data, size);
    CString body, name;
    bool inside = false;
    while (text.m_Size != 1)
    {
        CString line = text.GetStrSep("\n");
        if (inside && line.m_pData[0] == '}')
        {
            inside = false;
            for (long i = 0; i < profiles.m_Length; ++i)
                if (name == profiles[i].m_pData)
                    return body;
        }
        else if (inside)
        {
            line.TrimWhitespaces();
            body += line;
            body += CString("\n");
        }
        else if (line.m_pData[0] == '{')
        {
            inside = true;
            body.Clear();
        }
        else
            name = line;
    }
    return CString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const aProfiles[] = {"ARBvp1_0", "fp40", "", "ARBvp1_0\r"};
    NTest::CRecordingDevice device;
    for (int i = 0; i < 4; ++i)
        if (data[0] & (1 << i))
            device.m_aShaderProfiles.Append(CString("%s", aProfiles[i]));

    CMemory file((void*)(data + 1), long(size - 1));
    CString got = device.LoadShader(file);
    CString want = Expected(device.m_aShaderProfiles, (const char*)data + 1, long(size - 1));
    if (got.m_Size != want.m_Size || MemoryCompare(got.m_pData, want.m_pData, int(got.m_Size)) != 0)
        __builtin_trap();
    return 0;
}
