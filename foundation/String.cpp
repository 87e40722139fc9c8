#include "foundation/String.h"

#include <cstdarg>

#include "foundation/Utils.h"

namespace NVorn
{
    CString::CString()
        : m_pData(new char[1]), m_Size(1)
    {
        m_pData[0] = 0;
    }

    CString::CString(const char* format, ...)
        : m_pData(nullptr), m_Size(0)
    {
        char buffer[kFormatSize];
        va_list args;
        va_start(args, format);
        StringCFormatArgList(buffer, kFormatSize, format, args);
        va_end(args);
        CopyData(buffer);
    }

    CString::CString(const CString& other)
        : m_pData(nullptr), m_Size(0)
    {
        *this = other;
    }

    CString::~CString()
    {
        delete[] m_pData;
    }

    CString& CString::operator=(const CString& other)
    {
        if (other.m_pData)
            CopyData(other.m_pData, other.m_Size - 1);
        else
            Clear();
        return *this;
    }

    CString& CString::operator+=(const CString& other)
    {
        if (other.m_pData)
            AppendData(other.m_pData, other.m_Size - 1);
        return *this;
    }

    bool CString::operator==(const char* text) const
    {
        if (!m_pData || !text)
            return false;
        return StringCompare(m_pData, text) == 0;
    }

    void CString::Replace(char* data, long size)
    {
        delete[] m_pData;
        m_pData = data;
        m_Size = size;
    }

    void CString::CopyData(const char* text)
    {
        CopyData(text, StringLength(text));
    }

    void CString::CopyData(const char* text, long n)
    {
        if (!text || n < 0)
            n = 0;
        // Copy before releasing: text may point into our own buffer.
        char* data = new char[n + 1];
        MemoryCopy(data, text, (int)n);
        data[n] = 0;
        Replace(data, n + 1);
    }

    void CString::AppendData(const char* text, long n)
    {
        if (!text || n <= 0)
            return;
        long length = m_Size - 1;
        char* data = new char[m_Size + n];
        MemoryCopy(data, m_pData, (int)length);
        MemoryCopy(data + length, text, (int)n);
        data[length + n] = 0;
        Replace(data, m_Size + n);
    }

    void CString::Set(const char* format, ...)
    {
        char buffer[kFormatSize];
        va_list args;
        va_start(args, format);
        StringCFormatArgList(buffer, kFormatSize, format, args);
        va_end(args);
        CopyData(buffer);
    }

    void CString::SetSize(long n)
    {
        if (n < 1)
            n = 1;
        char* data = new char[n];
        data[0] = 0;
        Replace(data, n);
    }

    void CString::Clear()
    {
        SetSize(1);
    }

    CString CString::Delete(long pos, long count) const
    {
        CString result;
        long length = m_Size - 1;
        if (count <= 0 || pos < 0 || pos > length)
            return result;
        if (count > length)
            count = length;
        if (pos + count > length)
            count = length - pos;
        if (length - count == 0)
            return result;

        long size = length - count + 1;
        char* data = new char[size];
        MemoryCopy(data, m_pData, (int)pos);
        MemoryCopy(data + pos, m_pData + pos + count, (int)(length - pos - count));
        data[size - 1] = 0;
        result.Replace(data, size);
        return result;
    }

    int CString::GetInt() const
    {
        return StringGetInt(m_pData);
    }

    double CString::GetFloat() const
    {
        return StringGetFloat(m_pData);
    }

    long CString::FindText(const char* needle, long needleLength) const
    {
        long length = m_Size - 1;
        if (needleLength > length)
            return -1;
        for (long i = 0; i + needleLength <= length; ++i)
            if (MemoryCompare(m_pData + i, needle, (int)needleLength) == 0)
                return i;
        return -1;
    }

    bool CString::Find(const char* format, ...) const
    {
        char needle[kFormatSize];
        va_list args;
        va_start(args, format);
        StringCFormatArgList(needle, kFormatSize, format, args);
        va_end(args);
        return FindText(needle, StringLength(needle)) >= 0;
    }

    long CString::FindPos(const char* format, ...) const
    {
        char needle[kFormatSize];
        va_list args;
        va_start(args, format);
        StringCFormatArgList(needle, kFormatSize, format, args);
        va_end(args);
        return FindText(needle, StringLength(needle));
    }

    void CString::TrimWhitespaces()
    {
        long length = m_Size - 1;
        long blanks = 0;
        while (blanks < length && (m_pData[blanks] == ' ' || m_pData[blanks] == '\t'))
            ++blanks;
        if (blanks > 0)
            *this = Delete(0, blanks);
    }

    CString CString::GetStrSep(const char* separator)
    {
        // The separator is plain text: it comes with no arguments, so a '%'
        // in it must not be read as a conversion. An empty separator splits
        // nothing off, as if it were absent, rather than dropping the text.
        long separatorLength = StringLength(separator);
        long pos = separatorLength > 0 ? FindText(separator, separatorLength) : -1;
        CString token;
        if (pos < 0)
        {
            token = *this;
            Clear();
            return token;
        }
        token.CopyData(m_pData, pos);
        *this = Delete(0, pos + separatorLength);
        return token;
    }
}
