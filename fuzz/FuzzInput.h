// SFuzzInput: a fuzz target's input, read front to back. Past its end every
// byte reads as 0, so a target never reads beyond what it was handed and
// every input, however short, runs to the end.
#ifndef NVORN_FUZZ_FUZZINPUT_H
#define NVORN_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>

struct SFuzzInput
{
    const uint8_t* m_pData;
    size_t m_Size;

    bool More() const { return m_Size > 0; }
    uint8_t Byte()
    {
        if (!m_Size)
            return 0;
        --m_Size;
        return *m_pData++;
    }
};

#endif
