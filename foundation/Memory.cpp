#include "foundation/Memory.h"

#include "foundation/Utils.h"

namespace NVorn
{
    // MemoryCopy takes an int count; blocks larger than that are copied in
    // pieces so that a large read or write never silently moves nothing.
    static void CopyBlock(void* dst, const void* src, long n)
    {
        const long piece = 1L << 30;
        unsigned char* to = (unsigned char*)dst;
        const unsigned char* from = (const unsigned char*)src;
        while (n > 0)
        {
            long count = n < piece ? n : piece;
            MemoryCopy(to, from, (int)count);
            to += count;
            from += count;
            n -= count;
        }
    }

    CMemory::CMemory()
        : m_Current(0), m_pData(nullptr), m_Size(0), m_WrittenSize(0), m_Owner(0)
    {
    }

    CMemory::CMemory(void* data, long size)
        : CMemory()
    {
        Set(data, size);
    }

    CMemory::CMemory(long size)
        : CMemory()
    {
        if (size <= 0)
            return;
        m_pData = (unsigned char*)MemoryAllocate((unsigned long)size);
        if (!m_pData)
            return;
        m_Size = size;
        m_Owner = 1;
    }

    CMemory::~CMemory()
    {
        m_lPositions.Clear();
        ReleaseBlock();
    }

    void CMemory::ReleaseBlock()
    {
        if (m_Owner)
            MemoryFree(m_pData);
        m_Owner = 0;
    }

    void* CMemory::GetData()
    {
        return m_pData;
    }

    void CMemory::Set(void* data, long size)
    {
        ReleaseBlock();
        m_lPositions.Clear();
        m_pData = (unsigned char*)data;
        m_Current = 0;
        m_Size = (data && size > 0) ? size : 0;
        m_WrittenSize = 0;
    }

    void CMemory::Copy(void* data, long size)
    {
        // Copy before releasing: data may lie inside our own block.
        unsigned char* block = nullptr;
        if (size > 0)
        {
            block = (unsigned char*)MemoryAllocate((unsigned long)size);
            if (block && data)
                CopyBlock(block, data, size);
        }
        ReleaseBlock();
        m_lPositions.Clear();
        m_pData = block;
        m_Current = 0;
        m_Owner = block ? 1 : 0;
        m_Size = block ? size : 0;
        m_WrittenSize = m_Size;
    }

    void CMemory::Reset()
    {
        m_lPositions.Clear();
        m_Current = 0;
        m_Size = 0;
        m_WrittenSize = 0;
    }

    void CMemory::Clear()
    {
        if (m_Owner)
        {
            MemoryFree(m_pData);
            m_pData = nullptr;
        }
        m_Owner = 0;
        m_Size = 0;
        m_WrittenSize = 0;
        m_Current = 0;
    }

    void CMemory::SetWrittenSize(long n) { m_WrittenSize = n; }
    long CMemory::GetWrittenSize() { return m_WrittenSize; }

    long CMemory::GetCurrentAccess() { return 0; }

    bool CMemory::IsReady()
    {
        return m_pData && m_Size != 0;
    }

    long CMemory::GetSize() { return m_Size; }

    bool CMemory::EndOfStream()
    {
        return m_Current >= m_Size;
    }

    long CMemory::Tell()
    {
        return m_Current;
    }

    long CMemory::Seek(long offset, long origin)
    {
        if (!m_pData)
            return 0;
        long base;
        switch (origin)
        {
        case 0: base = 0; break;
        case 1: base = Tell(); break;
        case 2: base = m_Size; break;
        default: return 0;
        }
        long target;
        if (__builtin_add_overflow(base, offset, &target) || target < 0)
            return 0;
        m_Current = target;
        return 1;
    }

    void CMemory::Push()
    {
        m_lPositions.Append(Tell());
    }

    void CMemory::Pop()
    {
        if (m_lPositions.m_Length == 0)
            return;
        Seek(m_lPositions[m_lPositions.m_Length - 1], 0);
        Drop();
    }

    void CMemory::Drop()
    {
        if (m_lPositions.m_Length > 0)
            --m_lPositions.m_Length;
    }

    long CMemory::Movable(long n)
    {
        if (n <= 0 || !m_pData || m_Current >= m_Size)
            return 0;
        long available = m_Size - m_Current;
        return n < available ? n : available;
    }

    long CMemory::Read(void* buffer, long n)
    {
        long count = buffer ? Movable(n) : 0;
        if (count > 0)
        {
            CopyBlock(buffer, m_pData + m_Current, count);
            m_Current += count;
        }
        return count;
    }

    long CMemory::Write(void* buffer, long n)
    {
        long count = buffer ? Movable(n) : 0;
        if (count > 0)
        {
            CopyBlock(m_pData + m_Current, buffer, count);
            m_Current += count;
        }
        m_WrittenSize = m_Current;
        return count;
    }
}
