// CImage: the engine's in-memory raster. A width, a height, a pixel format
// and one tightly packed block of pixel bytes that the image owns.
//
// The format is the number of bits per pixel: 8 (one channel), 24 (red,
// green, blue) or 32 (red, green, blue, alpha), one byte per channel in that
// memory order. Rows follow each other with no padding, row 0 on top; pixels
// go left to right. A 32-bit value (Clear, SetPixel32) is laid out with bits
// 31..24 in byte 0 and bits 7..0 in byte 3, whatever the processor's order.
//
// m_pData is null when the image holds no pixels (default construction,
// ClearData, a failed Create); every operation leaves such an image alone.
// Operations that do not support the image's format leave it unchanged and
// report nothing. The only exceptions are the message texts (const char*)
// thrown by Clear and Blit on misuse, before anything is changed.
//
// Images are not copyable: the pixel block has exactly one owner.
#ifndef NVORN_IMAGE_IMAGE_H
#define NVORN_IMAGE_IMAGE_H

#include "render/Vector.h"

namespace NVorn
{
    class CImage
    {
    public:
        CImage();
        virtual ~CImage();

        CImage(const CImage&) = delete;
        CImage& operator=(const CImage&) = delete;

        // Releases the pixels; format and sizes stay as they were.
        virtual void ClearData();
        // Allocates size.x * size.y pixels of format / 8 bytes each, contents
        // undefined. False, with no pixels and zero sizes, when a size is
        // negative, the block does not fit in memory or allocation fails.
        virtual bool Create(const TVector2<long>& size, long format);
        // Copies source with its top-left pixel at position, clipped to both
        // images. Throws when the formats differ.
        virtual void Blit(CImage* source, const TVector2<long>& position);
        // colour 0 zeroes any image; other colours need a 32-bit image and
        // throw otherwise.
        virtual void Clear(unsigned long colour);
        // Swaps red and blue (bytes 0 and 2) of 24- and 32-bit pixels.
        virtual void FlipRB();
        // Mirrors every row left to right (8, 24 and 32 bits).
        virtual void FlipX();
        // Mirrors the row order top to bottom, any format.
        virtual void FlipY();
        // Turns a square image a quarter counter-clockwise (8, 24 and 32
        // bits): column x, row y moves to column width - 1 - y, row x.
        virtual void RotCCW90();
        // Only 24 to 32 bits is performed; the new alpha bytes are 0.
        virtual void SetFormat(long format);
        // 32-bit images: halves red, green and blue in the block of size.y
        // rows of size.x pixels whose top-left pixel is position; the block
        // is clipped to the image.
        virtual void Darken(const TVector2<long>& position, const TVector2<long>& size);
        // 32-bit images: one pixel; a position outside the image is ignored.
        virtual void SetPixel32(const TVector2<long>& position, long value);

        // Colour space of bytes 0..2 of 24- and 32-bit pixels.
        void ConvertRGBtoYUV();
        void ConvertYUVtoRGB();

        // Enlarge by 2^shift (bilinear) or reduce by 2^shift (box average)
        // into destination, which is re-created in this image's format and
        // may be this image itself. Bytes past the third of each pixel, and
        // the last 2^shift rows and columns of an enlargement, are zero.
        void Sizeup(long shift, CImage& destination);
        void Sizedown(long shift, CImage& destination);

        // destination becomes an 8-bit image of byte channel of every pixel.
        void ExtractChannel(long channel, CImage& destination);
        // Byte channel of every pixel becomes the matching byte of source,
        // an 8-bit image of the same size; any other source is ignored.
        void AddChannel(long channel, CImage& source);

        long GetBytesPerPixel() const { return m_Format / 8; }

        long m_Format;
        long m_Pitch;
        long m_Width;
        long m_Height;
        unsigned char* m_pData;

    private:
        unsigned char* Row(long y) const { return m_pData + y * m_Pitch; }
        unsigned char* Pixel(long x, long y) const { return Row(y) + x * GetBytesPerPixel(); }
        void Swap(CImage& other);
        // Runs an operation that writes into a destination image on a
        // temporary and takes its result, so that the image can be its own
        // destination; a failed operation leaves the image as it was.
        template<class Operation>
        void ReplaceWithResult(Operation produce)
        {
            CImage result;
            produce(result);
            if (result.m_pData)
                Swap(result);
        }
        void ZeroData();
        bool CopyTo(CImage& destination) const;
    };
}

#endif
