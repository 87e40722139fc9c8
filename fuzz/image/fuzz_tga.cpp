// Feeds arbitrary bytes to the TGA reader. Whatever loads must also write
// and load back into the very same image.
#include "foundation/Memory.h"
#include "image/TGA.h"

#include <cstddef>
#include <cstdint>

using namespace NVorn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemory input((void*)data, long(size));
    CImage image;
    bool loaded = NTGA::Load(input, image);
    if (input.Tell() != 0)
        __builtin_trap();
    if (!loaded)
    {
        if (image.m_pData)
            __builtin_trap();
        return 0;
    }

    long pixelBytes = image.m_Pitch * image.m_Height;
    CMemory output(NTGA::CHeader::kSize + pixelBytes);
    if (!NTGA::Write(output, image))
        __builtin_trap();
    output.Seek(0, 0);

    CImage again;
    if (!NTGA::Load(output, again) || again.m_Format != image.m_Format ||
        again.m_Width != image.m_Width || again.m_Height != image.m_Height)
        __builtin_trap();
    for (long i = 0; i < pixelBytes; ++i)
        if (again.m_pData[i] != image.m_pData[i])
            __builtin_trap();
    return 0;
}
