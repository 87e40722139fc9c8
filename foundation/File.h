// CFile: a CStorage over a file of the C library's buffered file interface.
//
// A CFile is closed or open; it owns its stream and a copy of its path, and
// closes the file when destroyed. Opening an open file closes the old stream
// first. Every operation on a closed file is harmless: reads and writes move
// nothing, EndOfStream is true. Saved positions are 32-bit byte offsets from
// the start; Pop and Drop on an empty stack do nothing.
#ifndef NVORN_FOUNDATION_FILE_H
#define NVORN_FOUNDATION_FILE_H

#include <cstdio>

#include "foundation/DynamicArray.h"
#include "foundation/Storage.h"

namespace NVorn
{
    class CFile : public CStorage
    {
    public:
        CFile();
        // Opens path; check IsReady for the result.
        CFile(const char* path, long mode);
        CFile(const CFile&) = delete;
        CFile& operator=(const CFile&) = delete;

        // mode: 0 "wt", 1 "wb", 2 "at", 3 "ab", 4 "rt", 5 "rb", 6 "r+t",
        // 7 "r+b", 8 "a+t", 9 "a+b". False when the mode is unknown or the
        // file cannot be opened.
        bool Open(const char* path, long mode);
        // fclose's result, or 0 when no file is open.
        long Close();
        void Flush();

        long GetCurrentAccess() override;
        bool IsReady() override;
        long GetSize() override;
        // True only after a read has tried to go past the last byte.
        bool EndOfStream() override;
        long Tell() override;
        long Seek(long offset, long origin) override;
        void Push() override;
        void Pop() override;
        void Drop() override;
        long Read(void* buffer, long n) override;
        long Write(void* buffer, long n) override;
        virtual ~CFile();

        long m_Access;                    // the mode given to Open
        char* m_pName;                    // owned copy of the path; null when closed
        FILE* m_pFile;                    // null when closed
        TDynamicArray<int> m_lPositions;  // saved positions
    };
}

#endif
