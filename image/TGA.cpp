#include "image/TGA.h"

#include "foundation/Memory.h"

// Pixels are moved with fixed-size memcpy, which the compiler turns into
// single loads and stores; a call per pixel would dominate decoding.
#include <cstring>

namespace NVorn
{
namespace NTGA
{
    namespace
    {
        enum
        {
            TYPE_TRUECOLOR = 2,
            TYPE_GREY = 3,
            TYPE_TRUECOLOR_RLE = 10
        };

        const uint8_t kRightToLeft = 0x10;
        const uint8_t kTopToBottom = 0x20;
        const uint8_t kAlphaBits = 0x08;
        const long kMaxSide = 65535;
        const long kPixelsPerPacket = 128;
        const long kRowBufferSize = 32768;

        bool ReadByte(CStorage& storage, uint8_t& value)
        {
            return storage.Read(&value, 1) == 1;
        }

        bool ReadWord(CStorage& storage, uint16_t& value)
        {
            unsigned char bytes[2];
            if (storage.Read(bytes, 2) != 2)
                return false;
            value = uint16_t(bytes[0] | (bytes[1] << 8));
            return true;
        }

        bool WriteByte(CStorage& storage, uint8_t value)
        {
            return storage.Write(&value, 1) == 1;
        }

        bool WriteWord(CStorage& storage, uint16_t value)
        {
            unsigned char bytes[2] = {(unsigned char)(value & 0xFF), (unsigned char)(value >> 8)};
            return storage.Write(bytes, 2) == 2;
        }

        bool IsAccepted(const CHeader& header)
        {
            switch (header.m_ImageType)
            {
            case TYPE_TRUECOLOR:
            case TYPE_TRUECOLOR_RLE:
                return header.m_PixelDepth == 24 || header.m_PixelDepth == 32;
            case TYPE_GREY:
                return header.m_PixelDepth == 8;
            default:
                return false;
            }
        }

        // The fewest bytes of pixel data that can describe the whole image:
        // a load whose stream holds less fails before allocating anything.
        long MinimumPixelBytes(const CHeader& header)
        {
            long pixels = long(header.m_Width) * header.m_Height;
            long bytesPerPixel = header.m_PixelDepth / 8;
            if (header.m_ImageType != TYPE_TRUECOLOR_RLE)
                return pixels * bytesPerPixel;
            long packets = (pixels + kPixelsPerPacket - 1) / kPixelsPerPacket;
            return packets * (1 + bytesPerPixel);
        }

        // The image as the header describes it, holding no pixels.
        void Describe(CImage& image, const CHeader& header)
        {
            image.ClearData();
            image.m_Format = header.m_PixelDepth;
            image.m_Width = header.m_Width;
            image.m_Height = header.m_Height;
            image.m_Pitch = image.m_Format / 8 * image.m_Width;
        }

        // File pixels are blue first and image pixels red first, so every
        // true-colour pixel crossing the file boundary has its bytes 0 and 2
        // exchanged. This copies pixels doing so (to may equal from); other
        // sizes are copied unchanged. The bytes are reworked in whole words
        // (one 32-bit pixel per word, eight 24-bit pixels in three 64-bit
        // words), which makes the exchange cost little more than the copy.
        static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the word-wise byte exchange is little-endian");

        void CopyExchangingRedBlue(unsigned char* to, const unsigned char* from, long pixels, long bytesPerPixel)
        {
            if (bytesPerPixel == 4)
            {
                for (long i = 0; i < pixels; ++i, from += 4, to += 4)
                {
                    uint32_t v;
                    std::memcpy(&v, from, 4);
                    v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
                    std::memcpy(to, &v, 4);
                }
                return;
            }
            if (bytesPerPixel != 3)
            {
                if (to != from)
                    std::memmove(to, from, size_t(pixels * bytesPerPixel));
                return;
            }
            // Over 24 bytes, the first byte of each pixel takes the byte two
            // above it, the last byte takes the byte two below it, and the
            // middle byte stays; these masks pick bytes 0, 3, 6 (A), 1, 4, 7
            // (B) and 2, 5 (C) of a word.
            const uint64_t A = 0x00FF0000FF0000FFull, B = 0xFF0000FF0000FF00ull, C = 0x0000FF0000FF0000ull;
            long i = 0;
            for (; i + 8 <= pixels; i += 8, from += 24, to += 24)
            {
                uint64_t w0, w1, w2;
                std::memcpy(&w0, from, 8);
                std::memcpy(&w1, from + 8, 8);
                std::memcpy(&w2, from + 16, 8);
                uint64_t o0 = (w0 & B) | (((w0 >> 16) | (w1 << 48)) & A) | ((w0 << 16) & C);
                uint64_t o1 = (w1 & C) | (((w1 >> 16) | (w2 << 48)) & B) | (((w1 << 16) | (w0 >> 48)) & A);
                uint64_t o2 = (w2 & A) | ((w2 >> 16) & C) | (((w2 << 16) | (w1 >> 48)) & B);
                std::memcpy(to, &o0, 8);
                std::memcpy(to + 8, &o1, 8);
                std::memcpy(to + 16, &o2, 8);
            }
            for (; i < pixels; ++i, from += 3, to += 3)
            {
                unsigned char blue = from[0];
                to[1] = from[1];
                to[0] = from[2];
                to[2] = blue;
            }
        }

        // The image row that holds the file's row number row.
        unsigned char* PictureRow(CImage& image, long row, bool topDown)
        {
            return image.m_pData + (topDown ? row : image.m_Height - 1 - row) * image.m_Pitch;
        }

        // Uncompressed rows are copied once, straight into place: from a
        // memory stream's own block, which Load has checked holds them all,
        // or from any other stream through a buffer that stays in cache, in
        // runs of whole rows, since each read there is a trip through the C
        // library. A row wider than the buffer is read into place and
        // reworked there.
        bool ReadRows(CStorage& storage, CImage& image, bool topDown)
        {
            long pitch = image.m_Pitch, height = image.m_Height, width = image.m_Width;
            long bytesPerPixel = image.GetBytesPerPixel();
            if (pitch == 0)
                return true;
            if (CMemory* memory = dynamic_cast<CMemory*>(&storage))
            {
                const unsigned char* rows = static_cast<unsigned char*>(memory->GetData()) + memory->Tell();
                for (long row = 0; row < height; ++row)
                    CopyExchangingRedBlue(PictureRow(image, row, topDown), rows + row * pitch, width, bytesPerPixel);
                return true;
            }
            unsigned char buffer[kRowBufferSize];
            long rowsPerRead = kRowBufferSize / pitch;
            for (long done = 0; done < height;)
            {
                if (rowsPerRead == 0)
                {
                    unsigned char* row = PictureRow(image, done++, topDown);
                    if (storage.Read(row, pitch) != pitch)
                        return false;
                    CopyExchangingRedBlue(row, row, width, bytesPerPixel);
                    continue;
                }
                long rows = height - done < rowsPerRead ? height - done : rowsPerRead;
                if (storage.Read(buffer, rows * pitch) != rows * pitch)
                    return false;
                for (long i = 0; i < rows; ++i, ++done)
                    CopyExchangingRedBlue(PictureRow(image, done, topDown), buffer + i * pitch, width, bytesPerPixel);
            }
            return true;
        }

        // Buffers the run-length stream in chunks so that packets decode
        // from memory; never asks the stream for more than it holds.
        class CChunkReader
        {
        public:
            static constexpr long kChunk = 16384;

            CChunkReader(CStorage& storage, long available)
                : m_pCurrent(m_aBuffer), m_pEnd(m_aBuffer), m_Storage(storage), m_Available(available)
            {
            }

            // Makes at least n (at most kChunk) bytes readable at m_pCurrent;
            // false when the stream ends first.
            bool Ensure(long n)
            {
                long held = m_pEnd - m_pCurrent;
                if (held >= n)
                    return true;
                for (long i = 0; i < held; ++i)
                    m_aBuffer[i] = m_pCurrent[i];
                long wanted = kChunk - held;
                if (wanted > m_Available)
                    wanted = m_Available;
                long got = wanted > 0 ? m_Storage.Read(m_aBuffer + held, wanted) : 0;
                if (got < 0)
                    got = 0;
                m_Available -= got;
                m_pCurrent = m_aBuffer;
                m_pEnd = m_aBuffer + held + got;
                return held + got >= n;
            }

            const unsigned char* m_pCurrent;
            const unsigned char* m_pEnd;

        private:
            CStorage& m_Storage;
            long m_Available;
            unsigned char m_aBuffer[kChunk];
        };

        // Places decoded pixels in picture order, row by row, walking the
        // rows upward for a bottom-up file.
        class CRowWriter
        {
        public:
            CRowWriter(CImage& image, bool topDown)
                : m_Image(image), m_BytesPerPixel(image.GetBytesPerPixel()), m_TopDown(topDown),
                  m_RowsDone(0), m_pPos(nullptr), m_Left(0)
            {
                StartRow();
            }

            // Writes count copies of pixel (already in image byte order).
            void Fill(const unsigned char* pixel, long count)
            {
                while (count > 0)
                {
                    long n = Span(count);
                    if (m_BytesPerPixel == 4)
                    {
                        uint32_t value;
                        std::memcpy(&value, pixel, 4);
                        for (long i = 0; i < n; ++i, m_pPos += 4)
                            std::memcpy(m_pPos, &value, 4);
                    }
                    else
                    {
                        for (long i = 0; i < n; ++i, m_pPos += 3)
                        {
                            m_pPos[0] = pixel[0];
                            m_pPos[1] = pixel[1];
                            m_pPos[2] = pixel[2];
                        }
                    }
                    Advance(n);
                    count -= n;
                }
            }

            // Copies count file pixels (blue first) as red-first pixels.
            void Copy(const unsigned char* from, long count)
            {
                while (count > 0)
                {
                    long n = Span(count);
                    CopyExchangingRedBlue(m_pPos, from, n, m_BytesPerPixel);
                    from += n * m_BytesPerPixel;
                    m_pPos += n * m_BytesPerPixel;
                    Advance(n);
                    count -= n;
                }
            }

        private:
            long Span(long count) const { return count < m_Left ? count : m_Left; }

            void Advance(long n)
            {
                m_Left -= n;
                if (m_Left == 0)
                {
                    ++m_RowsDone;
                    StartRow();
                }
            }

            void StartRow()
            {
                if (m_RowsDone >= m_Image.m_Height)
                    return;
                long y = m_TopDown ? m_RowsDone : m_Image.m_Height - 1 - m_RowsDone;
                m_pPos = m_Image.m_pData + y * m_Image.m_Pitch;
                m_Left = m_Image.m_Width;
            }

            CImage& m_Image;
            long m_BytesPerPixel;
            bool m_TopDown;
            long m_RowsDone;
            unsigned char* m_pPos;
            long m_Left;
        };

        // Decodes exactly width * height pixels of packets; a packet that
        // runs past the last pixel is cut short.
        bool ReadRunLength(CStorage& storage, long available, CImage& image, bool topDown)
        {
            long bytesPerPixel = image.GetBytesPerPixel();
            long remaining = image.m_Width * image.m_Height;
            CChunkReader reader(storage, available);
            CRowWriter writer(image, topDown);
            while (remaining > 0)
            {
                if (!reader.Ensure(1))
                    return false;
                unsigned char packet = *reader.m_pCurrent++;
                long count = (packet & 0x7F) + 1;
                if (count > remaining)
                    count = remaining;
                if (packet & 0x80)
                {
                    if (!reader.Ensure(bytesPerPixel))
                        return false;
                    const unsigned char* p = reader.m_pCurrent;
                    unsigned char pixel[4] = {p[2], p[1], p[0], bytesPerPixel == 4 ? p[3] : (unsigned char)0};
                    reader.m_pCurrent += bytesPerPixel;
                    writer.Fill(pixel, count);
                }
                else
                {
                    if (!reader.Ensure(count * bytesPerPixel))
                        return false;
                    writer.Copy(reader.m_pCurrent, count);
                    reader.m_pCurrent += count * bytesPerPixel;
                }
                remaining -= count;
            }
            return true;
        }

        // Stores the pixel block blue first, in pieces exchanged through a
        // buffer so that the image itself is left as it is.
        bool WritePixels(CStorage& storage, const CImage& image)
        {
            long bytesPerPixel = image.GetBytesPerPixel();
            long pixels = image.m_Width * image.m_Height;
            const long kPiecePixels = kRowBufferSize / 4;
            unsigned char buffer[kRowBufferSize];
            for (const unsigned char* from = image.m_pData; pixels > 0;)
            {
                long n = pixels < kPiecePixels ? pixels : kPiecePixels;
                long bytes = n * bytesPerPixel;
                CopyExchangingRedBlue(buffer, from, n, bytesPerPixel);
                if (storage.Write(buffer, bytes) != bytes)
                    return false;
                from += bytes;
                pixels -= n;
            }
            return true;
        }

        // Everything of Load between saving and restoring the position.
        bool LoadAt(CStorage& storage, CImage& image)
        {
            long available = storage.GetSize() - storage.Tell();
            CHeader header;
            if (available < CHeader::kSize || !header.Read(storage))
                return false;
            available -= CHeader::kSize;

            unsigned char scratch[256];
            long idBytes = header.m_IDLength;
            if (idBytes > available || storage.Read(scratch, idBytes) != idBytes)
                return false;
            available -= idBytes;

            long mapBytes = long(header.m_ColorMapLength) * ((header.m_ColorMapDepth + 7) / 8);
            if (mapBytes > available)
                return false;
            storage.Seek(mapBytes, 1);
            available -= mapBytes;

            Describe(image, header);
            if (!IsAccepted(header) || MinimumPixelBytes(header) > available)
                return false;
            if (!image.Create(TVector2<long>(header.m_Width, header.m_Height), header.m_PixelDepth))
            {
                Describe(image, header);
                return false;
            }

            bool topDown = (header.m_Descriptor & kTopToBottom) != 0;
            bool read = header.m_ImageType == TYPE_TRUECOLOR_RLE
                            ? ReadRunLength(storage, available, image, topDown)
                            : ReadRows(storage, image, topDown);
            if (!read)
                return false;
            if (header.m_Descriptor & kRightToLeft)
                image.FlipX();
            return true;
        }
    }

    CHeader::CHeader()
        : m_IDLength(0), m_ColorMapType(0), m_ImageType(0), m_ColorMapStart(0), m_ColorMapLength(0),
          m_ColorMapDepth(0), m_XOrigin(0), m_YOrigin(0), m_Width(0), m_Height(0), m_PixelDepth(0),
          m_Descriptor(0)
    {
    }

    bool CHeader::Read(CStorage& storage)
    {
        return ReadByte(storage, m_IDLength) && ReadByte(storage, m_ColorMapType) &&
               ReadByte(storage, m_ImageType) && ReadWord(storage, m_ColorMapStart) &&
               ReadWord(storage, m_ColorMapLength) && ReadByte(storage, m_ColorMapDepth) &&
               ReadWord(storage, m_XOrigin) && ReadWord(storage, m_YOrigin) &&
               ReadWord(storage, m_Width) && ReadWord(storage, m_Height) &&
               ReadByte(storage, m_PixelDepth) && ReadByte(storage, m_Descriptor);
    }

    bool CHeader::Write(CStorage& storage)
    {
        return WriteByte(storage, m_IDLength) && WriteByte(storage, m_ColorMapType) &&
               WriteByte(storage, m_ImageType) && WriteWord(storage, m_ColorMapStart) &&
               WriteWord(storage, m_ColorMapLength) && WriteByte(storage, m_ColorMapDepth) &&
               WriteWord(storage, m_XOrigin) && WriteWord(storage, m_YOrigin) &&
               WriteWord(storage, m_Width) && WriteWord(storage, m_Height) &&
               WriteByte(storage, m_PixelDepth) && WriteByte(storage, m_Descriptor);
    }

    bool Load(CStorage& storage, CImage& image)
    {
        if (!storage.IsReady())
            return false;
        storage.Push();
        bool loaded = LoadAt(storage, image);
        if (!loaded)
            image.ClearData();
        storage.Pop();
        return loaded;
    }

    bool Write(CStorage& storage, CImage& image)
    {
        long format = image.m_Format;
        if (!storage.IsReady() || !image.m_pData || (format != 8 && format != 24 && format != 32) ||
            image.m_Width > kMaxSide || image.m_Height > kMaxSide)
            return false;

        CHeader header;
        header.m_ImageType = format == 8 ? TYPE_GREY : TYPE_TRUECOLOR;
        header.m_Width = uint16_t(image.m_Width);
        header.m_Height = uint16_t(image.m_Height);
        header.m_PixelDepth = uint8_t(format);
        header.m_Descriptor = format == 32 ? (kTopToBottom | kAlphaBits) : kTopToBottom;
        if (!header.Write(storage))
            return false;

        return WritePixels(storage, image);
    }
}
}
