#include "foundation/MemoryManager.h"

#include <climits>
#include <cstddef>
#include <cstdlib>

#include "foundation/Log.h"
#include "foundation/Utils.h"

namespace NVorn
{
    namespace NMemoryManager
    {
        SBlockHeader* m_pFirst = nullptr;
        long g_AllocatedBlocks = 0;
        long g_AllocatedSize = 0;
        long g_MemPeak = 0;
        long g_LargestBlock = 0;
        int g_Inited = 0;
    }
}

using NVorn::NMemoryManager::SBlockHeader;

static_assert(offsetof(SBlockHeader, m_aGuard) + 4 == sizeof(SBlockHeader),
              "the caller's bytes must follow the front guard directly");
static_assert(sizeof(SBlockHeader) % 16 == 0, "the caller's bytes must stay aligned");

namespace
{
    const int kGuardSize = 4;
    const unsigned char kGuardByte = 0xFE;
    const unsigned char aGuard[kGuardSize] = { kGuardByte, kGuardByte, kGuardByte, kGuardByte };

    void Add(SBlockHeader* block)
    {
        block->m_pPrev = nullptr;
        block->m_pNext = NVorn::NMemoryManager::m_pFirst;
        if (block->m_pNext)
            block->m_pNext->m_pPrev = block;
        NVorn::NMemoryManager::m_pFirst = block;
    }

    void Remove(SBlockHeader* block)
    {
        if (block->m_pPrev)
            block->m_pPrev->m_pNext = block->m_pNext;
        else
            NVorn::NMemoryManager::m_pFirst = block->m_pNext;
        if (block->m_pNext)
            block->m_pNext->m_pPrev = block->m_pPrev;
    }

    unsigned char* UserBytes(SBlockHeader* block)
    {
        return reinterpret_cast<unsigned char*>(block) + sizeof(SBlockHeader);
    }

    bool GuardsIntact(SBlockHeader* block)
    {
        return NVorn::MemoryCompare(block->m_aGuard, aGuard, kGuardSize) == 0 &&
               NVorn::MemoryCompare(UserBytes(block) + block->m_Size, aGuard, kGuardSize) == 0;
    }

    // The "file(line)" label of the report rows.
    void FormatLabel(SBlockHeader* block, char* label, long size)
    {
        NVorn::StringCFormat(label, size, "%s(%d)", block->m_aFile, (int)block->m_Line);
    }
}

namespace NVorn
{
    namespace NMemoryManager
    {
        void* Allocate(long size, const char* file, long line)
        {
            Init();
            const unsigned long overhead = sizeof(SBlockHeader) + kGuardSize;
            if (size < 0 || (unsigned long)size > ULONG_MAX - overhead)
                return nullptr;
            SBlockHeader* block = (SBlockHeader*)MemoryAllocate((unsigned long)size + overhead);
            if (!block)
                return nullptr;

            ++g_AllocatedBlocks;
            g_AllocatedSize += size;
            if (size > g_LargestBlock)
                g_LargestBlock = size;
            if (g_AllocatedSize > g_MemPeak)
                g_MemPeak = g_AllocatedSize;

            block->m_Size = size;
            block->m_Line = line;
            block->m_aFile[0] = 0;
            if (file)
            {
                StringCopy(block->m_aFile, file, sizeof block->m_aFile);
                block->m_aFile[sizeof block->m_aFile - 1] = 0;
            }
            MemorySet(block->m_aGuard, kGuardByte, kGuardSize);
            MemorySet(UserBytes(block) + size, kGuardByte, kGuardSize);
            Add(block);
            return UserBytes(block);
        }

        void Free(void* p)
        {
            if (!p)
                return;
            SBlockHeader* block = (SBlockHeader*)((unsigned char*)p - sizeof(SBlockHeader));
            Remove(block);
            --g_AllocatedBlocks;
            g_AllocatedSize -= block->m_Size;
            MemoryFree(block);
        }

        void Init()
        {
            if (g_Inited)
                return;
            atexit(DumpMemInfo);
            g_Inited = 1;
        }

        void DumpMemInfo()
        {
            NLog::WriteF("\nLeaked memory: %d KiB, %d blocks\n",
                         (int)(g_AllocatedSize / 1024), (int)g_AllocatedBlocks);
            if (!g_AllocatedBlocks)
                return;
            NLog::Write("Dumping blocks to logger\n");
            char label[1024];
            for (SBlockHeader* block = m_pFirst; block; block = block->m_pNext)
            {
                FormatLabel(block, label, sizeof label);
                NLog::WriteF("%-80s %10d KiB %10d B\n", label,
                             (int)(block->m_Size / 1024), (int)block->m_Size);
            }
        }

        bool CheckMemory(bool report)
        {
            bool result = true;
            char label[1024];
            for (SBlockHeader* block = m_pFirst; block; block = block->m_pNext)
            {
                if (GuardsIntact(block))
                    continue;
                if (!report)
                    return false;
                result = false;
                FormatLabel(block, label, sizeof label);
                NLog::WriteF("%-80s %10d KiB %10d B MEMORY DAMAGE!\n", label,
                             (int)(block->m_Size / 1024), (int)block->m_Size);
            }
            return result;
        }
    }
}
