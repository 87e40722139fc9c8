// Shader-source loading of CDevice.
//
// A shader file holds the same shader for several profiles. Outside a block,
// a line starting with '{' opens a block and any other line (an empty one
// too) names the profile of the next block; inside a block, a line starting
// with '}' closes it and every other line is source. Lines end at "\n" only.
//
// The text is read once and scanned in place: lines are spans of it, the
// blocks of other profiles are skipped up to their closing line, and the
// chosen block's source is built at the end, so loading takes time in
// proportion to the file's size.
#include "render/Device.h"

#include <cstring>

#include "foundation/Storage.h"
#include "foundation/Utils.h"

namespace NVorn {
namespace N3D {

namespace {

// One line of the text, without its "\n"; it may hold zero bytes.
struct SLine
{
    const char* m_pBegin;
    const char* m_pEnd;

    bool StartsWith(char c) const { return m_pBegin < m_pEnd && *m_pBegin == c; }
};

// The line that starts at `at`; `at` moves past it and its "\n".
SLine NextLine(const char*& at, const char* end)
{
    const char* newline = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
    SLine line = {at, newline ? newline : end};
    at = newline ? newline + 1 : end;
    return line;
}

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

// A profile name is compared as C text, up to its first zero byte.
bool IsProfile(const TDynamicArray<CString>& profiles, SLine name)
{
    const char* zero = static_cast<const char*>(std::memchr(name.m_pBegin, 0, size_t(name.m_pEnd - name.m_pBegin)));
    long length = long((zero ? zero : name.m_pEnd) - name.m_pBegin);
    for (long i = 0; i < profiles.m_Length; ++i)
    {
        const char* profile = profiles[i].m_pData;
        if (profile && StringLength(profile) == length && MemoryCompare(profile, name.m_pBegin, int(length)) == 0)
            return true;
    }
    return false;
}

// The start of the first line in [at, end) that starts with '}', or end;
// at is the start of a line. Whole lines of source are skipped at once.
const char* FindClosingLine(const char* at, const char* end)
{
    for (const char* p = at; p < end; ++p)
    {
        p = static_cast<const char*>(std::memchr(p, '}', size_t(end - p)));
        if (!p)
            return end;
        if (p == at || p[-1] == '\n')
            return p;
    }
    return end;
}

// Where a line's text starts after its leading spaces and tabs.
const char* SkipBlanks(SLine line)
{
    const char* text = line.m_pBegin;
    while (text < line.m_pEnd && (*text == ' ' || *text == '\t'))
        ++text;
    return text;
}

// The source of the block lines in [begin, end), each one without its leading
// blanks and ended by "\n": measured first, so that it is built in place.
CString BlockSource(const char* begin, const char* end)
{
    long size = 0;
    for (const char* at = begin; at < end;)
    {
        SLine line = NextLine(at, end);
        size += long(line.m_pEnd - SkipBlanks(line)) + 1;
    }
    CString body;
    body.SetSize(size + 1);
    char* out = body.m_pData;
    for (const char* at = begin; at < end;)
    {
        SLine line = NextLine(at, end);
        const char* text = SkipBlanks(line);
        MemoryCopy(out, text, int(line.m_pEnd - text));
        out += line.m_pEnd - text;
        *out++ = '\n';
    }
    *out = 0;
    return body;
}

} // namespace

CString CDevice::LoadShader(CStorage& storage)
{
    CString text = ReadAll(storage);
    const char* at = text.m_pData;
    const char* end = text.m_pData + text.m_Size - 1;
    SLine name = {at, at};

    while (at < end)
    {
        SLine line = NextLine(at, end);
        if (!line.StartsWith('{'))
        {
            name = line;
            continue;
        }
        // The name cannot change inside the block, so it decides now; a
        // block left open at the end is never returned.
        const char* closing = FindClosingLine(at, end);
        if (closing == end)
            break;
        if (IsProfile(m_aShaderProfiles, name))
            return BlockSource(at, closing);
        at = closing;
        NextLine(at, end);
    }
    return CString();
}

} // namespace N3D
} // namespace NVorn
