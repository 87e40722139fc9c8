#include "image/Image.h"

#include "foundation/Utils.h"

#include <climits>

namespace NVorn
{
    namespace
    {
        const char* const kClearFormatError = "Unimplemented Color Format, (Clear to color)";
        const char* const kBlitFormatError = "Can't perform blit between diffrent formats";

        // Formats whose pixels FlipX and RotCCW90 move as whole units.
        bool IsPixelFormat(long format)
        {
            return format == 8 || format == 24 || format == 32;
        }

        long Min(long a, long b) { return a < b ? a : b; }
        long Max(long a, long b) { return a > b ? a : b; }

        unsigned char ClampToByte(float value)
        {
            int truncated = int(value);
            return (unsigned char)(truncated < 0 ? 0 : truncated > 255 ? 255 : truncated);
        }

        template<class T> void Exchange(T& a, T& b)
        {
            T t = a;
            a = b;
            b = t;
        }

        void SwapBytes(unsigned char* a, unsigned char* b, long n)
        {
            for (long i = 0; i < n; ++i)
            {
                unsigned char t = a[i];
                a[i] = b[i];
                b[i] = t;
            }
        }
    }

    CImage::CImage() : m_Format(0), m_Pitch(0), m_Width(0), m_Height(0), m_pData(nullptr)
    {
    }

    CImage::~CImage()
    {
        ClearData();
    }

    void CImage::ClearData()
    {
        MemoryFree(m_pData);
        m_pData = nullptr;
    }

    bool CImage::Create(const TVector2<long>& size, long format)
    {
        ClearData();
        m_Format = format;
        m_Width = m_Height = m_Pitch = 0;

        long bytesPerPixel = format / 8;
        long pitch, bytes;
        if (size.x < 0 || size.y < 0 || bytesPerPixel < 0)
            return false;
        // Rows go through the memory helpers, whose counts are int.
        if (__builtin_mul_overflow(size.x, bytesPerPixel, &pitch) || pitch > INT_MAX)
            return false;
        if (__builtin_mul_overflow(pitch, size.y, &bytes))
            return false;

        // An empty image still gets a block, so that "has pixels" stays
        // the same test for every size.
        m_pData = (unsigned char*)MemoryAllocate(bytes > 0 ? (unsigned long)bytes : 1);
        if (!m_pData)
            return false;
        m_Width = size.x;
        m_Height = size.y;
        m_Pitch = pitch;
        return true;
    }

    void CImage::Blit(CImage* source, const TVector2<long>& position)
    {
        if (source && source->m_Format != m_Format)
            throw kBlitFormatError;
        if (!source || !source->m_pData || !m_pData)
            return;
        if (source == this)
        {
            // Rows of the same block may overlap: blit from a copy.
            CImage copy;
            if (CopyTo(copy))
                Blit(&copy, position);
            return;
        }
        // A source wholly outside the destination copies nothing; testing
        // this first also keeps the offsets below from overflowing.
        if (position.x >= m_Width || position.y >= m_Height ||
            position.x <= -source->m_Width || position.y <= -source->m_Height)
            return;

        long sx = Max(-position.x, 0), dx = Max(position.x, 0);
        long sy = Max(-position.y, 0), dy = Max(position.y, 0);
        long columns = Min(m_Width - dx, source->m_Width - sx);
        long bytesPerPixel = GetBytesPerPixel();
        for (; dy < m_Height && sy < source->m_Height; ++sy, ++dy)
            MemoryCopy(Pixel(dx, dy), source->Pixel(sx, sy), int(columns * bytesPerPixel));
    }

    void CImage::Clear(unsigned long colour)
    {
        if (colour != 0 && m_Format != 32)
            throw kClearFormatError;
        if (!m_pData)
            return;
        if (colour == 0)
        {
            ZeroData();
            return;
        }
        if (m_Height == 0)
            return;
        unsigned char bytes[4] = {(unsigned char)(colour >> 24), (unsigned char)(colour >> 16),
                                  (unsigned char)(colour >> 8), (unsigned char)colour};
        for (long x = 0; x < m_Width; ++x)
            MemoryCopy(Pixel(x, 0), bytes, 4);
        for (long y = 1; y < m_Height; ++y)
            MemoryCopy(Row(y), Row(0), int(m_Pitch));
    }

    void CImage::FlipRB()
    {
        long bytesPerPixel = GetBytesPerPixel();
        if (!m_pData || bytesPerPixel < 3)
            return;
        for (long y = 0; y < m_Height; ++y)
        {
            unsigned char* p = Row(y);
            for (long x = 0; x < m_Width; ++x, p += bytesPerPixel)
            {
                unsigned char t = p[0];
                p[0] = p[2];
                p[2] = t;
            }
        }
    }

    void CImage::FlipX()
    {
        if (!m_pData || !IsPixelFormat(m_Format))
            return;
        long bytesPerPixel = GetBytesPerPixel();
        for (long y = 0; y < m_Height; ++y)
            for (long x = 0; x < m_Width / 2; ++x)
                SwapBytes(Pixel(x, y), Pixel(m_Width - 1 - x, y), bytesPerPixel);
    }

    void CImage::FlipY()
    {
        if (!m_pData || m_Height < 2 || m_Pitch == 0)
            return;
        unsigned char* temp = (unsigned char*)MemoryAllocate((unsigned long)m_Pitch);
        if (!temp)
            return;
        for (long y = 0; y < m_Height / 2; ++y)
        {
            unsigned char* top = Row(y);
            unsigned char* bottom = Row(m_Height - 1 - y);
            MemoryCopy(temp, top, int(m_Pitch));
            MemoryCopy(top, bottom, int(m_Pitch));
            MemoryCopy(bottom, temp, int(m_Pitch));
        }
        MemoryFree(temp);
    }

    void CImage::RotCCW90()
    {
        if (!m_pData || m_Width != m_Height || !IsPixelFormat(m_Format))
            return;
        // Turn the image ring by ring: each step moves four pixels one
        // position along their cycle (x, y) -> (n-1-y, x) -> ... -> (x, y).
        long n = m_Width, bytesPerPixel = GetBytesPerPixel();
        unsigned char held[4];
        for (long y = 0; y < n / 2; ++y)
            for (long x = y; x < n - 1 - y; ++x)
            {
                unsigned char* p0 = Pixel(x, y);
                unsigned char* p1 = Pixel(n - 1 - y, x);
                unsigned char* p2 = Pixel(n - 1 - x, n - 1 - y);
                unsigned char* p3 = Pixel(y, n - 1 - x);
                MemoryCopy(held, p3, int(bytesPerPixel));
                MemoryCopy(p3, p2, int(bytesPerPixel));
                MemoryCopy(p2, p1, int(bytesPerPixel));
                MemoryCopy(p1, p0, int(bytesPerPixel));
                MemoryCopy(p0, held, int(bytesPerPixel));
            }
    }

    void CImage::SetFormat(long format)
    {
        if (!m_pData || m_Format != 24 || format != 32)
            return;
        CImage converted;
        if (!converted.Create(TVector2<long>(m_Width, m_Height), 32))
            return;
        for (long y = 0; y < m_Height; ++y)
        {
            const unsigned char* from = Row(y);
            unsigned char* to = converted.Row(y);
            for (long x = 0; x < m_Width; ++x, from += 3, to += 4)
            {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
                to[3] = 0;
            }
        }
        Swap(converted);
    }

    void CImage::Darken(const TVector2<long>& position, const TVector2<long>& size)
    {
        if (!m_pData || m_Format != 32 || size.x <= 0 || size.y <= 0)
            return;
        long x0 = Max(position.x, 0), x1 = Min(position.x + size.x, m_Width);
        long y0 = Max(position.y, 0), y1 = Min(position.y + size.y, m_Height);
        for (long y = y0; y < y1; ++y)
        {
            unsigned char* p = Pixel(x0, y);
            for (long x = x0; x < x1; ++x, p += 4)
            {
                p[0] >>= 1;
                p[1] >>= 1;
                p[2] >>= 1;
            }
        }
    }

    void CImage::SetPixel32(const TVector2<long>& position, long value)
    {
        if (!m_pData || m_Format != 32 || position.x < 0 || position.y < 0 ||
            position.x >= m_Width || position.y >= m_Height)
            return;
        unsigned char* p = Pixel(position.x, position.y);
        p[0] = (unsigned char)(value >> 24);
        p[1] = (unsigned char)(value >> 16);
        p[2] = (unsigned char)(value >> 8);
        p[3] = (unsigned char)value;
    }

    void CImage::ConvertRGBtoYUV()
    {
        long bytesPerPixel = GetBytesPerPixel();
        if (!m_pData || bytesPerPixel < 3)
            return;
        for (long y = 0; y < m_Height; ++y)
        {
            unsigned char* p = Row(y);
            for (long x = 0; x < m_Width; ++x, p += bytesPerPixel)
            {
                float r = p[0], g = p[1], b = p[2];
                p[0] = ClampToByte(0.299f * r + 0.587f * g + 0.114f * b);
                p[1] = ClampToByte(-0.169f * r - 0.332f * g + 0.5f * b + 128);
                p[2] = ClampToByte(0.5f * r - 0.419f * g - 0.0813f * b + 128);
            }
        }
    }

    void CImage::ConvertYUVtoRGB()
    {
        long bytesPerPixel = GetBytesPerPixel();
        if (!m_pData || bytesPerPixel < 3)
            return;
        for (long y = 0; y < m_Height; ++y)
        {
            unsigned char* p = Row(y);
            for (long x = 0; x < m_Width; ++x, p += bytesPerPixel)
            {
                float luma = p[0], u = p[1] - 128.0f, v = p[2] - 128.0f;
                p[0] = ClampToByte(luma + 1.4075f * v);
                p[1] = ClampToByte(luma - 0.3455f * u - 0.7169f * v);
                p[2] = ClampToByte(luma + 1.779f * u);
            }
        }
    }

    void CImage::Sizeup(long shift, CImage& destination)
    {
        if (!m_pData || shift < 0 || shift > 62)
            return;
        if (&destination == this)
        {
            ReplaceWithResult([&](CImage& result) { Sizeup(shift, result); });
            return;
        }
        long f = 1L << shift, w = m_Width, h = m_Height;
        if (w > LONG_MAX / f || h > LONG_MAX / f)
            return;
        if (!destination.Create(TVector2<long>(w * f, h * f), m_Format))
            return;
        destination.ZeroData();

        long channels = Min(GetBytesPerPixel(), 3);
        unsigned char left[3], right[3];
        for (long y = 0; y + 1 < h; ++y)
            for (long x = 0; x + 1 < w; ++x)
            {
                const unsigned char* tl = Pixel(x, y);
                const unsigned char* tr = Pixel(x + 1, y);
                const unsigned char* bl = Pixel(x, y + 1);
                const unsigned char* br = Pixel(x + 1, y + 1);
                for (long i = 0; i < f; ++i)
                {
                    float t = float(i) / float(f);
                    for (long c = 0; c < channels; ++c)
                    {
                        left[c] = Lerp<unsigned char>(tl[c], bl[c], t);
                        right[c] = Lerp<unsigned char>(tr[c], br[c], t);
                    }
                    unsigned char* out = destination.Pixel(x * f, y * f + i);
                    for (long j = 0; j < f; ++j, out += GetBytesPerPixel())
                    {
                        float s = float(j) / float(f);
                        for (long c = 0; c < channels; ++c)
                            out[c] = Lerp<unsigned char>(left[c], right[c], s);
                    }
                }
            }
    }

    void CImage::Sizedown(long shift, CImage& destination)
    {
        if (!m_pData || shift < 0 || shift > 62)
            return;
        if (&destination == this)
        {
            ReplaceWithResult([&](CImage& result) { Sizedown(shift, result); });
            return;
        }
        long f = 1L << shift;
        if (!destination.Create(TVector2<long>(m_Width / f, m_Height / f), m_Format))
            return;
        destination.ZeroData();

        long channels = Min(GetBytesPerPixel(), 3);
        long bytesPerPixel = GetBytesPerPixel();
        for (long y = 0; y < destination.m_Height; ++y)
            for (long x = 0; x < destination.m_Width; ++x)
            {
                long sum[3] = {0, 0, 0};
                for (long sy = y * f; sy < (y + 1) * f; ++sy)
                {
                    const unsigned char* p = Pixel(x * f, sy);
                    for (long sx = 0; sx < f; ++sx, p += bytesPerPixel)
                        for (long c = 0; c < channels; ++c)
                            sum[c] += p[c];
                }
                unsigned char* out = destination.Pixel(x, y);
                for (long c = 0; c < channels; ++c)
                    out[c] = (unsigned char)(sum[c] / (f * f));
            }
    }

    void CImage::ExtractChannel(long channel, CImage& destination)
    {
        long bytesPerPixel = GetBytesPerPixel();
        if (!m_pData || channel < 0 || channel >= bytesPerPixel)
            return;
        if (&destination == this)
        {
            ReplaceWithResult([&](CImage& result) { ExtractChannel(channel, result); });
            return;
        }
        if (!destination.Create(TVector2<long>(m_Width, m_Height), 8))
            return;
        for (long y = 0; y < m_Height; ++y)
        {
            const unsigned char* from = Row(y) + channel;
            unsigned char* to = destination.Row(y);
            for (long x = 0; x < m_Width; ++x, from += bytesPerPixel)
                to[x] = *from;
        }
    }

    void CImage::AddChannel(long channel, CImage& source)
    {
        long bytesPerPixel = GetBytesPerPixel();
        if (!m_pData || !source.m_pData || channel < 0 || channel >= bytesPerPixel ||
            source.m_Format != 8 || source.m_Width != m_Width || source.m_Height != m_Height)
            return;
        for (long y = 0; y < m_Height; ++y)
        {
            const unsigned char* from = source.Row(y);
            unsigned char* to = Row(y) + channel;
            for (long x = 0; x < m_Width; ++x, to += bytesPerPixel)
                *to = from[x];
        }
    }

    void CImage::Swap(CImage& other)
    {
        Exchange(m_Format, other.m_Format);
        Exchange(m_Pitch, other.m_Pitch);
        Exchange(m_Width, other.m_Width);
        Exchange(m_Height, other.m_Height);
        Exchange(m_pData, other.m_pData);
    }

    void CImage::ZeroData()
    {
        for (long y = 0; y < m_Height; ++y)
            MemorySet(Row(y), 0, int(m_Pitch));
    }

    bool CImage::CopyTo(CImage& destination) const
    {
        if (!destination.Create(TVector2<long>(m_Width, m_Height), m_Format))
            return false;
        for (long y = 0; y < m_Height; ++y)
            MemoryCopy(destination.Row(y), Row(y), int(m_Pitch));
        return true;
    }
}
