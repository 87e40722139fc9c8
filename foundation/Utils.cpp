#include "foundation/Utils.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace NVorn
{
    float cos(float x) { return (float)::cos((double)x); }
    float sin(float x) { return (float)::sin((double)x); }
    float sqrt(float x) { return (float)::sqrt((double)x); }
    float atan2(float y, float x) { return (float)::atan2((double)y, (double)x); }
    float floor(float x) { return (float)::floor((double)x); }
    float pow(float base, float exponent) { return (float)::pow((double)base, (double)exponent); }

    float abs(float x)
    {
        // Clearing the sign bit also turns -0.0f into +0.0f, which a compare
        // and negate would not.
        uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        bits &= 0x7FFFFFFFu;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }

    void MemoryCopy(void* dst, const void* src, int n)
    {
        if (n > 0)
            std::memcpy(dst, src, (size_t)n);
    }

    int MemoryCompare(const void* a, const void* b, int n)
    {
        if (n <= 0)
            return 0;
        return std::memcmp(a, b, (size_t)n);
    }

    void MemorySet(void* dst, unsigned char value, int n)
    {
        if (n > 0)
            std::memset(dst, value, (size_t)n);
    }

    void* MemoryAllocate(unsigned long size) { return std::malloc(size); }
    void MemoryFree(void* p) { std::free(p); }

    char* StringCopy(char* dst, const char* src) { return std::strcpy(dst, src); }

    char* StringCopy(char* dst, const char* src, int n)
    {
        if (n <= 0)
            return dst;
        return std::strncpy(dst, src, (size_t)n);
    }

    int StringCompare(const char* a, const char* b) { return std::strcmp(a, b); }

    int StringCompare(const char* a, const char* b, int n)
    {
        if (n <= 0)
            return 0;
        return std::strncmp(a, b, (size_t)n);
    }

    long StringLength(const char* s) { return s ? (long)std::strlen(s) : 0; }
    int StringGetInt(const char* s) { return s ? std::atoi(s) : 0; }
    double StringGetFloat(const char* s) { return s ? std::atof(s) : 0.0; }

    char* StringCFormat(char* dst, long size, const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        StringCFormatArgList(dst, size, format, args);
        va_end(args);
        return dst;
    }

    char* StringCFormatArgList(char* dst, long size, const char* format, va_list args)
    {
        if (!dst || size <= 0)
            return dst;
        if (!format)
        {
            dst[0] = 0;
            return dst;
        }
        // vsnprintf stops at size - 1 characters and always terminates.
        int written = std::vsnprintf(dst, (size_t)size, format, args);
        if (written < 0)
            dst[0] = 0;
        return dst;
    }

    int64_t GetTickFrequency() { return 1000000; }

    int64_t GetTickCount()
    {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        return (int64_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
    }

    float Random()
    {
        // Multiplicative congruential generator modulo 2^31 - 1, in doubles:
        // every product stays below 2^53, so the arithmetic is exact and the
        // sequence is the same on every platform.
        static double SEED = 91648253.0;
        static const double a = 1389796.0;
        static const double m = 2147483647.0;

        double t = SEED * a;
        int32_t q = (int32_t)(t / m);
        SEED = t - (double)q * m;
        return (float)(SEED / m);
    }

    template<> unsigned char Lerp<unsigned char>(unsigned char a, unsigned char b, float t)
    {
        float value = (float)(b - a) * t + (float)a;
        // Truncate toward zero; a value out of int range (t far outside
        // [0, 1]) has no meaningful byte and gives 0.
        if (!(value > -2147483648.0f && value < 2147483648.0f))
            return 0;
        return (unsigned char)((int)value & 0xFF);
    }
}
