// Feeds arbitrary text to CString's line tokenizer, search and trim.
//
// Input: one byte whose low two bits give the separator's length (0 to 3),
// the separator, then the text. Splitting the text into tokens and joining
// them with the separator must give the text back (less one trailing
// separator), no token may hold the separator, every search result must
// be the first place the needle occurs, and trimming cuts the leading blanks
// and nothing else. The first byte's other bits, less one, size a fresh
// buffer, which holds at least its terminator. Appending nothing, or a
// negative count, leaves the text alone.
#include "foundation/String.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace NVorn;

namespace
{
    long NaiveFind(const char* text, long length, const char* needle, long needleLength)
    {
        for (long i = 0; i + needleLength <= length; ++i)
            if (std::memcmp(text + i, needle, (size_t)needleLength) == 0)
                return i;
        return -1;
    }

    void CheckSearch(const CString& text, const char* needle)
    {
        long expected = NaiveFind(text.m_pData, text.m_Size - 1, needle, (long)std::strlen(needle));
        if (text.FindPos("%s", needle) != expected || text.Find("%s", needle) != (expected >= 0))
            __builtin_trap();
    }

    void CheckSplit(const CString& original, const char* separator)
    {
        const long separatorLength = (long)std::strlen(separator);
        CString rest(original), joined;
        long tokens = 0;
        while (rest.m_Size != 1)
        {
            CString token = rest.GetStrSep(separator);
            if (separatorLength > 0 && token.FindPos("%s", separator) >= 0)
                __builtin_trap();
            if (tokens++ > 0)
                joined.AppendData(separator, separatorLength);
            joined += token;
            if (tokens > original.m_Size)
                __builtin_trap();
        }
        const long length = original.m_Size - 1, joinedLength = joined.m_Size - 1;
        const bool whole = joinedLength == length;
        const bool lessTrailing = joinedLength + separatorLength == length &&
                                  std::memcmp(original.m_pData + joinedLength, separator, (size_t)separatorLength) == 0;
        if ((!whole && !lessTrailing) || std::memcmp(joined.m_pData, original.m_pData, (size_t)joinedLength) != 0)
            __builtin_trap();
    }

    void CheckTrim(const CString& original)
    {
        CString trimmed(original);
        trimmed.TrimWhitespaces();
        const long length = trimmed.m_Size - 1, cut = original.m_Size - 1 - length;
        if (cut < 0 || (length > 0 && (trimmed.m_pData[0] == ' ' || trimmed.m_pData[0] == '\t')) ||
            std::memcmp(trimmed.m_pData, original.m_pData + cut, (size_t)length + 1) != 0)
            __builtin_trap();
        for (long i = 0; i < cut; ++i)   // only blanks are cut
            if (original.m_pData[i] != ' ' && original.m_pData[i] != '\t')
                __builtin_trap();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    size_t separatorLength = data[0] & 3;
    if (separatorLength > size - 1)
        separatorLength = size - 1;
    char separator[4] = {};
    std::memcpy(separator, data + 1, separatorLength);
    const size_t textStart = 1 + separatorLength;

    CString text;
    text.CopyData((const char*)data + textStart, (long)(size - textStart));
    CheckSearch(text, separator);
    CheckSplit(text, separator);
    CheckTrim(text);
    CString appended(text);
    appended.AppendData(nullptr, 3), appended.AppendData(separator, -1), appended.AppendData(separator, 0);
    if (appended.m_Size != text.m_Size || std::memcmp(appended.m_pData, text.m_pData, (size_t)text.m_Size) != 0)
        __builtin_trap();
    const long asked = long(data[0] >> 2) - 1;
    CString sized;
    sized.SetSize(asked);
    if (sized.m_Size != (asked < 1 ? 1 : asked) || sized.m_pData[0] != 0)
        __builtin_trap();
    return 0;
}
