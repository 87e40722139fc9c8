#include "foundation/File.h"

#include "foundation/Utils.h"

namespace NVorn
{
    namespace
    {
        const char* const aModes[] = {
            "wt", "wb", "at", "ab", "rt", "rb", "r+t", "r+b", "a+t", "a+b"
        };
        const long kModeCount = sizeof aModes / sizeof *aModes;
    }

    CFile::CFile()
        : m_Access(0), m_pName(nullptr), m_pFile(nullptr)
    {
    }

    CFile::CFile(const char* path, long mode)
        : CFile()
    {
        Open(path, mode);
    }

    CFile::~CFile()
    {
        m_lPositions.Clear();
        Close();
    }

    bool CFile::Open(const char* path, long mode)
    {
        Close();
        if (!path || mode < 0 || mode >= kModeCount)
            return false;
        m_pFile = fopen(path, aModes[mode]);
        if (!m_pFile)
            return false;

        long length = StringLength(path);
        m_pName = new char[length + 1];
        MemoryCopy(m_pName, path, (int)(length + 1));
        m_lPositions.Clear();
        m_Access = mode;
        return true;
    }

    long CFile::Close()
    {
        if (!m_pFile)
            return 0;
        long result = fclose(m_pFile);
        m_pFile = nullptr;
        delete[] m_pName;
        m_pName = nullptr;
        return result;
    }

    void CFile::Flush()
    {
        if (m_pFile)
            fflush(m_pFile);
    }

    long CFile::GetCurrentAccess()
    {
        return (m_Access == 4 || m_Access == 5) ? 1 : 0;
    }

    bool CFile::IsReady()
    {
        return m_pFile != nullptr;
    }

    long CFile::GetSize()
    {
        if (!m_pFile)
            return 0;
        Push();
        Seek(0, 2);
        long size = Tell();
        Pop();
        return size;
    }

    bool CFile::EndOfStream()
    {
        return !m_pFile || feof(m_pFile) != 0;
    }

    long CFile::Tell()
    {
        return m_pFile ? ftell(m_pFile) : 0;
    }

    long CFile::Seek(long offset, long origin)
    {
        if (!m_pFile)
            return -1;
        switch (origin)
        {
        case 0: return fseek(m_pFile, offset, SEEK_SET);
        case 1: return fseek(m_pFile, offset, SEEK_CUR);
        case 2: return fseek(m_pFile, offset, SEEK_END);
        default: return 0;
        }
    }

    void CFile::Push()
    {
        m_lPositions.Append((int)Tell());
    }

    void CFile::Pop()
    {
        if (m_lPositions.m_Length == 0)
            return;
        Seek(m_lPositions[m_lPositions.m_Length - 1], 0);
        Drop();
    }

    void CFile::Drop()
    {
        if (m_lPositions.m_Length > 0)
            --m_lPositions.m_Length;
    }

    long CFile::Read(void* buffer, long n)
    {
        if (!m_pFile || !buffer || n <= 0)
            return 0;
        return (long)fread(buffer, 1, (size_t)n, m_pFile);
    }

    long CFile::Write(void* buffer, long n)
    {
        if (!m_pFile || !buffer || n <= 0)
            return 0;
        return (long)fwrite(buffer, 1, (size_t)n, m_pFile);
    }
}
