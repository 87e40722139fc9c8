// CStorage: the engine's abstract byte stream.
//
// Readers and writers take a CStorage& and do not know whether a file or a
// memory block lies behind it. Every stream keeps a stack of saved positions
// (Push saves, Pop returns and forgets, Drop forgets) so a reader can look
// ahead and come back. On a stream a string is its characters followed by
// one zero byte, with no length prefix; formatted text has no terminator.
// CStorage declares no destructor: streams are destroyed through their own
// type.
#ifndef NVORN_FOUNDATION_STORAGE_H
#define NVORN_FOUNDATION_STORAGE_H

namespace NVorn
{
    class CStorage
    {
    public:
        // 1 when the stream is open for reading only, otherwise 0.
        virtual long GetCurrentAccess() = 0;
        virtual bool IsReady() = 0;
        virtual long GetSize() = 0;
        virtual bool EndOfStream() = 0;
        virtual long Tell() = 0;
        // origin 0: from the start, 1: from the current position, 2: from
        // the end; any other origin leaves the position unchanged.
        virtual long Seek(long offset, long origin) = 0;
        virtual void Push() = 0;
        virtual void Pop() = 0;
        virtual void Drop() = 0;
        // Read and Write return the number of bytes actually moved.
        virtual long Read(void* buffer, long n) = 0;
        virtual long Write(void* buffer, long n) = 0;

        // Writes text and its terminating zero byte.
        virtual long Write_sz(const char* text);
        // Reads up to and including a zero byte, or up to the end of the
        // stream. Size buffer with Read_Get_sz_Size() + 1.
        virtual void Read_sz(char* buffer);
        // Length of the zero-terminated string at the current position, not
        // counting the terminator, without consuming it; 0 when the stream
        // ends before a terminator.
        virtual long Read_Get_sz_Size();

        // Formats into a 4096-byte buffer (longer text is truncated) and
        // writes the characters without a terminator.
        long Write_fmt(const char* format, ...) __attribute__((format(printf, 2, 3)));
    };
}

#endif
