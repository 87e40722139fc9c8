// Shader-source loading of CDevice.
//
// A shader file holds the same shader for several profiles. Outside a block,
// a line starting with '{' opens a block and any other line (an empty one
// too) names the profile of the next block; inside a block, a line starting
// with '}' closes it and every other line is source. Lines end at "\n" only.
#include "render/Device.h"

#include "foundation/Storage.h"

namespace NVorn {
namespace N3D {

namespace {

// The whole stream as text. A short read keeps only the bytes actually read.
CString ReadAll(CStorage& storage)
{
    CString text;
    long size = storage.GetSize();
    if (size <= 0)
        return text;

    text.SetSize(size + 1);
    long read = storage.Read(text.m_pData, size);
    if (read < 0)
        read = 0;
    text.m_pData[read < size ? read : size] = 0;
    if (read < size)
        text.CopyData(text.m_pData, read);
    return text;
}

bool IsProfile(const TDynamicArray<CString>& profiles, const CString& name)
{
    for (long i = 0; i < profiles.m_Length; ++i)
        if (name == profiles[i].m_pData)
            return true;
    return false;
}

} // namespace

CString CDevice::LoadShader(CStorage& storage)
{
    CString text = ReadAll(storage);
    CString body;
    CString name;
    bool inside = false;

    while (text.m_Size != 1)
    {
        CString line = text.GetStrSep("\n");
        if (inside)
        {
            if (line.m_pData[0] == '}')
            {
                inside = false;
                if (IsProfile(m_aShaderProfiles, name))
                    return body;
            }
            else
            {
                line.TrimWhitespaces();
                body += line;
                body += CString("\n");
            }
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

} // namespace N3D
} // namespace NVorn
