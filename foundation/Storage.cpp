#include "foundation/Storage.h"

#include <cstdarg>

#include "foundation/Utils.h"

namespace NVorn
{
    long CStorage::Write_sz(const char* text)
    {
        if (!text)
            return 0;
        return Write(const_cast<char*>(text), StringLength(text) + 1);
    }

    void CStorage::Read_sz(char* buffer)
    {
        if (!buffer)
            return;
        for (;;)
        {
            if (Read(buffer, 1) != 1)
            {
                // Nothing left to read: end the text here.
                *buffer = 0;
                return;
            }
            if (*buffer == 0)
                return;
            ++buffer;
            if (EndOfStream())
                return;
        }
    }

    long CStorage::Read_Get_sz_Size()
    {
        Push();
        long count = 0;
        bool terminated = false;
        char c;
        while (Read(&c, 1) == 1)
        {
            if (c == 0)
            {
                terminated = true;
                break;
            }
            if (EndOfStream())
                break;
            ++count;
        }
        // A stream that reports its end right after the terminator counts as
        // unterminated, like one that ran out before it.
        long size = terminated && !EndOfStream() ? count : 0;
        Pop();
        return size;
    }

    long CStorage::Write_fmt(const char* format, ...)
    {
        char buffer[4096];
        va_list args;
        va_start(args, format);
        StringCFormatArgList(buffer, sizeof buffer, format, args);
        va_end(args);
        return Write(buffer, StringLength(buffer));
    }
}
