// CMemory: a CStorage over a block of memory.
//
// The block is either wrapped (owned by the caller, never released here) or
// owned by the stream, which releases it when the block changes or the
// stream dies. The block never grows: its size is fixed when it is set.
// Reads and writes stop at the end of the block and return the count
// actually moved. The cursor is a byte offset, so no pointer outside the
// block is ever formed: seeks past the end are allowed and not clamped (a
// cursor there moves nothing), while a seek to a negative or unrepresentable
// position fails and leaves the cursor where it was. m_WrittenSize is the
// cursor's position after the most recent Write, not the largest position
// ever written.
#ifndef NVORN_FOUNDATION_MEMORY_H
#define NVORN_FOUNDATION_MEMORY_H

#include "foundation/DynamicArray.h"
#include "foundation/Storage.h"

namespace NVorn
{
    class CMemory : public CStorage
    {
    public:
        CMemory();
        // Wraps the caller's block, as Set does.
        CMemory(void* data, long size);
        // Allocates and owns a block of size bytes (contents undefined).
        explicit CMemory(long size);
        CMemory(const CMemory&) = delete;
        CMemory& operator=(const CMemory&) = delete;

        void* GetData();
        // Wraps the caller's block; the cursor goes to its start.
        void Set(void* data, long size);
        // Owns a copy of size bytes of data; written size is the full size.
        void Copy(void* data, long size);
        // Forgets the contents: sizes 0, cursor at the start; keeps the block.
        void Reset();
        // Releases an owned block and empties the stream; the stack is kept.
        void Clear();
        void SetWrittenSize(long n);
        long GetWrittenSize();

        long GetCurrentAccess() override;
        bool IsReady() override;
        long GetSize() override;
        // True as soon as the cursor reaches the end of the block.
        bool EndOfStream() override;
        long Tell() override;
        // 1 after a move; 0, with the cursor unchanged, for an unknown
        // origin, when there is no block, or when the target position would
        // be negative or overflow.
        long Seek(long offset, long origin) override;
        void Push() override;
        void Pop() override;
        void Drop() override;
        long Read(void* buffer, long n) override;
        long Write(void* buffer, long n) override;
        virtual ~CMemory();

        long m_Current;                     // cursor: offset of the next read or write
        unsigned char* m_pData;             // start of the block
        long m_Size;                        // block size in bytes
        long m_WrittenSize;                 // cursor position after the last Write
        long m_Owner;                       // non-zero when the block is ours to release
        TDynamicArray<long> m_lPositions;   // saved positions

    private:
        void ReleaseBlock();
        // How many of n bytes fit between the cursor and the end of the
        // block: 0 for a non-positive n or a cursor at or past the end.
        long Movable(long n);
    };
}

#endif
