// CString: an owning, zero-terminated text string.
//
// The buffer is owned by the string and always exists; m_Size is its size in
// bytes, terminator included, and the text's length is always taken as
// m_Size - 1. Every replacement allocates a buffer of exactly the size needed
// (no spare capacity) and releases the old one only after copying, so a
// string may be assigned from itself or from a pointer into its own text.
// Formatting goes into a bounded stack buffer; longer text is truncated.
#ifndef NVORN_FOUNDATION_STRING_H
#define NVORN_FOUNDATION_STRING_H

namespace NVorn
{
    class CString
    {
    public:
        CString();
        CString(const char* format, ...) __attribute__((format(printf, 2, 3)));
        CString(const CString& other);
        ~CString();

        CString& operator=(const CString& other);
        CString& operator+=(const CString& other);
        // True when the text equals text character for character.
        bool operator==(const char* text) const;

        // Replacing and appending text.
        void CopyData(const char* text);
        void CopyData(const char* text, long n);
        void AppendData(const char* text, long n);
        void Set(const char* format, ...) __attribute__((format(printf, 2, 3)));
        // A fresh buffer of n bytes (at least 1) whose first byte is 0, for a
        // caller that fills it directly; the length is then taken as n - 1.
        void SetSize(long n);
        // The empty string: a 1-byte buffer holding the terminator.
        void Clear();

        // A copy with count characters removed at pos; an invalid range
        // gives the empty string.
        CString Delete(long pos, long count) const;

        int GetInt() const;
        double GetFloat() const;

        // Search for the formatted text: its position, or -1.
        bool Find(const char* format, ...) const __attribute__((format(printf, 2, 3)));
        long FindPos(const char* format, ...) const __attribute__((format(printf, 2, 3)));

        // Removes the leading spaces and tabs.
        void TrimWhitespaces();
        // Splits the text before the first separator off the front and
        // returns it; the string keeps what follows the separator. Without a
        // separator the whole text is returned and the string becomes empty.
        CString GetStrSep(const char* separator);

        char* m_pData; // the text, zero-terminated
        long m_Size;   // buffer size in bytes, terminator included

    private:
        // Size of the stack buffer every formatting operation uses.
        static const long kFormatSize = 40960;

        long FindText(const char* needle, long needleLength) const;
        void Replace(char* data, long size);
    };
}

#endif
