// Utils: the engine's single doorway to the C library, the math library and
// the platform clock. Engine code calls these instead of the C functions.
//
// Guarantees: the float math functions widen to double, call the library and
// round back; memory and string helpers treat a non-positive count as "do
// nothing"; every formatting function is bounded by the size its caller
// passes and truncates text that does not fit (the result is always
// terminated when the size is at least 1). Random is a fixed, never reseeded
// sequence, so every run sees the same numbers.
#ifndef NVORN_FOUNDATION_UTILS_H
#define NVORN_FOUNDATION_UTILS_H

#include <cstdarg>
#include <cstdint>

namespace NVorn
{
    // Float math
    float cos(float x);
    float sin(float x);
    float sqrt(float x);
    float abs(float x);
    float atan2(float y, float x);
    float floor(float x);
    float pow(float base, float exponent);

    // Raw memory
    void  MemoryCopy(void* dst, const void* src, int n);
    int   MemoryCompare(const void* a, const void* b, int n);
    void  MemorySet(void* dst, unsigned char value, int n);
    void* MemoryAllocate(unsigned long size);
    void  MemoryFree(void* p);

    // C strings and conversion
    char*  StringCopy(char* dst, const char* src);
    char*  StringCopy(char* dst, const char* src, int n);
    int    StringCompare(const char* a, const char* b);
    int    StringCompare(const char* a, const char* b, int n);
    long   StringLength(const char* s);
    int    StringGetInt(const char* s);
    double StringGetFloat(const char* s);

    // Formatting. size is the capacity of dst in bytes, terminator included.
    char* StringCFormat(char* dst, long size, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    // The one place every variadic engine function formats through.
    char* StringCFormatArgList(char* dst, long size, const char* format, va_list args)
        __attribute__((format(printf, 3, 0)));

    // Clock: ticks are microseconds of a monotonic clock.
    int64_t GetTickFrequency();
    int64_t GetTickCount();

    // Numbers
    float Random();

    template<class T> T Lerp(T a, T b, float t);
    template<> unsigned char Lerp<unsigned char>(unsigned char a, unsigned char b, float t);
}

#endif
