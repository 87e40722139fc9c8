// NTGA: reads and writes TGA images through any CStorage into and out of a
// CImage.
//
// Load accepts uncompressed (type 2) and run-length (type 10) true colour at
// 24 and 32 bits and uncompressed grey scale (type 3) at 8 bits, honours the
// descriptor's origin bits so that image row 0 is the picture's top row, and
// leaves the stream's position where it found it, whatever the outcome.
// True-colour pixels are stored blue first in the file, uncompressed and
// run-length alike, and land red first in the image; Write stores them blue
// first again, so a written file loads back into the identical image and
// other programs see the same colours as the engine.
//
// The file is never trusted: a header, image ID, colour map or pixel stream
// that does not fit in what is left of the stream fails the load before
// anything is allocated for it, and no packet writes past the pixel block.
// A failed load leaves the image without pixels (and, once the header was
// read, with the file's width, height and depth).
//
// Write produces an uncompressed file with a top-left origin: type 2 for 24
// and 32 bits, type 3 for 8-bit grey. The image is not changed.
#ifndef NVORN_IMAGE_TGA_H
#define NVORN_IMAGE_TGA_H

#include "foundation/Storage.h"
#include "image/Image.h"

#include <cstdint>

namespace NVorn
{
    namespace NTGA
    {
        // The 18-byte file header, members in file order; 2-byte fields are
        // little-endian in the file and host order here.
        class CHeader
        {
        public:
            static constexpr long kSize = 18;

            CHeader();
            // Each transfers the twelve fields one at a time, in file order;
            // false when the stream moved fewer than kSize bytes.
            bool Read(CStorage& storage);
            bool Write(CStorage& storage);

            uint8_t m_IDLength;
            uint8_t m_ColorMapType;
            uint8_t m_ImageType;
            uint16_t m_ColorMapStart;
            uint16_t m_ColorMapLength;
            uint8_t m_ColorMapDepth;
            uint16_t m_XOrigin;
            uint16_t m_YOrigin;
            uint16_t m_Width;
            uint16_t m_Height;
            uint8_t m_PixelDepth;
            uint8_t m_Descriptor;
        };

        // Reads one image from the stream's current position; true on success.
        bool Load(CStorage& storage, CImage& image);
        // Writes image at the stream's current position. False, writing
        // nothing, for a stream that is not ready, an image without pixels,
        // a format other than 8, 24 or 32 bits or a side beyond 65535;
        // false as well when the stream took fewer bytes than written.
        bool Write(CStorage& storage, CImage& image);
    }
}

#endif
