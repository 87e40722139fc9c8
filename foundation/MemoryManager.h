// NMemoryManager: a tracking allocator with a leak report and guard checks.
//
// Each block from Allocate is one underlying allocation: a header (size,
// allocation site, links into the list of live blocks, a front guard), the
// caller's bytes, and a 4-byte back guard. Both guards hold 0xFE. The list
// is newest first. Only memory from Allocate is tracked; ordinary new and
// delete are not routed here. The statistics are plain globals, never reset.
#ifndef NVORN_FOUNDATION_MEMORYMANAGER_H
#define NVORN_FOUNDATION_MEMORYMANAGER_H

namespace NVorn
{
    namespace NMemoryManager
    {
        struct SBlockHeader
        {
            long m_Size;                // bytes the caller asked for
            char m_aFile[256];          // allocation site, zero-terminated
            long m_Line;                // allocation-site line
            SBlockHeader* m_pPrev;      // towards the head (newer block)
            SBlockHeader* m_pNext;      // away from the head (older block)
            unsigned char m_aAlign[12]; // keeps the caller's bytes 16-byte aligned
            unsigned char m_aGuard[4];  // front guard; the caller's bytes follow
        };

        extern SBlockHeader* m_pFirst;  // most recently allocated live block
        extern long g_AllocatedBlocks;  // live tracked blocks
        extern long g_AllocatedSize;    // sum of the live blocks' sizes
        extern long g_MemPeak;          // highest g_AllocatedSize reached
        extern long g_LargestBlock;     // largest size ever requested
        extern int g_Inited;            // non-zero once the exit report is registered

        // Returns the caller's bytes, or null (and no statistic changes) when
        // size is negative or the underlying allocation fails. file may be
        // null; a site name longer than 255 characters is truncated.
        void* Allocate(long size, const char* file, long line);
        // Releases a block returned by Allocate; null is ignored.
        void Free(void* p);
        // Registers DumpMemInfo to run at process exit, once.
        void Init();
        // Prints the leak report through the log.
        void DumpMemInfo();
        // True when every live block's guards are intact; with report set,
        // prints a line for each damaged block.
        bool CheckMemory(bool report);
    }
}

#endif
