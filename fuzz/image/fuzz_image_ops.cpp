// Runs a sequence of image operations, chosen by the input, on small images
// of every format, and checks each result byte for byte against a plain
// reading of the operation: for every byte of the result, where it comes
// from. Operations an image's format does not support must leave it alone,
// and so must every operation on an image without pixels.
#include "foundation/Utils.h"
#include "image/Image.h"

#include "../FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace NVorn;
typedef TVector2<long> V;

namespace {

// The input, with the values and points the target reads.
struct SInput : SFuzzInput
{
    // A value in [low, low + range).
    long In(long low, long range) { return low + Byte() % range; }
    V Point(long low, long range)
    {
        long x = In(low, range);
        return V(x, In(low, range));
    }
    uint32_t Word()
    {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i)
            word = word << 8 | Byte();
        return word;
    }
};

// What an image should hold: sizes, format and bytes, rows top first.
struct SPicture
{
    long w = 0, h = 0, format = 0;
    bool pixels = false;
    std::vector<uint8_t> bytes;

    long Bpp() const { return format / 8; }
    uint8_t* At(long x, long y) { return &bytes[size_t((y * w + x) * Bpp())]; }
    bool Inside(long x, long y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

SPicture Blank(long w, long h, long format)
{
    SPicture p;
    p.w = w, p.h = h, p.format = format, p.pixels = true;
    p.bytes.assign(size_t(w * h * (format / 8)), 0);
    return p;
}

SPicture Read(const CImage& image)
{
    SPicture p;
    p.w = image.m_Width, p.h = image.m_Height, p.format = image.m_Format, p.pixels = image.m_pData != nullptr;
    if (p.pixels)
        p.bytes.assign(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height);
    return p;
}

bool Same(const CImage& image, const SPicture& p)
{
    SPicture got = Read(image);
    if (got.pixels != p.pixels || got.format != p.format)
        return false;
    return !p.pixels || (got.w == p.w && got.h == p.h && got.bytes == p.bytes);
}

void Check(bool sound)
{
    if (!sound)
        __builtin_trap();
}

// An image of the given size and format with bytes from the input.
SPicture Make(SInput& in, CImage& image, long format, V size)
{
    SPicture p = Blank(size.x, size.y, format);
    Check(image.Create(size, format));
    for (size_t i = 0; i < p.bytes.size(); ++i)
        image.m_pData[i] = p.bytes[i] = in.Byte();
    return p;
}

long AnyFormat(SInput& in)
{
    const long formats[4] = {8, 24, 32, 16};
    return formats[in.Byte() % 4];
}

bool PixelFormat(long format) { return format == 8 || format == 24 || format == 32; }

uint8_t ClampToByte(float value)
{
    int truncated = int(value);
    return uint8_t(truncated < 0 ? 0 : truncated > 255 ? 255 : truncated);
}

// Each returns the picture the operation should leave; p has pixels.
SPicture FlipX(SPicture p)
{
    SPicture out = p;
    if (PixelFormat(p.format))
        for (long y = 0; y < p.h; ++y)
            for (long x = 0; x < p.w; ++x)
                for (long c = 0; c < p.Bpp(); ++c)
                    out.At(x, y)[c] = p.At(p.w - 1 - x, y)[c];
    return out;
}

SPicture FlipY(SPicture p)
{
    SPicture out = p;
    for (long y = 0; y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
            for (long c = 0; c < p.Bpp(); ++c)
                out.At(x, y)[c] = p.At(x, p.h - 1 - y)[c];
    return out;
}

SPicture FlipRB(SPicture p)
{
    for (long y = 0; p.Bpp() >= 3 && y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
        {
            uint8_t red = p.At(x, y)[0];
            p.At(x, y)[0] = p.At(x, y)[2];
            p.At(x, y)[2] = red;
        }
    return p;
}

SPicture RotCCW90(SPicture p)
{
    SPicture out = p;
    if (p.w == p.h && PixelFormat(p.format))
        for (long y = 0; y < p.h; ++y)
            for (long x = 0; x < p.w; ++x)
                for (long c = 0; c < p.Bpp(); ++c)
                    out.At(p.w - 1 - y, x)[c] = p.At(x, y)[c];
    return out;
}

SPicture Darken(SPicture p, V at, V size)
{
    if (p.format != 32 || size.x <= 0 || size.y <= 0)
        return p;
    for (long y = at.y; y < at.y + size.y; ++y)
        for (long x = at.x; x < at.x + size.x; ++x)
            for (long c = 0; c < 3 && p.Inside(x, y); ++c)
                p.At(x, y)[c] >>= 1;
    return p;
}

SPicture SetPixel32(SPicture p, V at, uint32_t value)
{
    if (p.format == 32 && p.Inside(at.x, at.y))
        for (long c = 0; c < 4; ++c)
            p.At(at.x, at.y)[c] = uint8_t(value >> (24 - 8 * c));
    return p;
}

SPicture Clear(SPicture p, uint32_t colour)
{
    for (long y = 0; y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
            for (long c = 0; c < p.Bpp(); ++c)
                p.At(x, y)[c] = colour ? uint8_t(colour >> (24 - 8 * c)) : 0;
    return p;
}

SPicture Blit(SPicture p, SPicture source, V at)
{
    for (long y = 0; y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
            for (long c = 0; c < p.Bpp() && source.Inside(x - at.x, y - at.y); ++c)
                p.At(x, y)[c] = source.At(x - at.x, y - at.y)[c];
    return p;
}

SPicture SetFormat(SPicture p, long format)
{
    if (p.format != 24 || format != 32)
        return p;
    SPicture out = Blank(p.w, p.h, 32);
    for (long y = 0; y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
            for (long c = 0; c < 3; ++c)
                out.At(x, y)[c] = p.At(x, y)[c];
    return out;
}

SPicture Extract(SPicture p, long channel)
{
    SPicture out = Blank(p.w, p.h, 8);
    for (long y = 0; y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
            out.At(x, y)[0] = p.At(x, y)[channel];
    return out;
}

SPicture AddChannel(SPicture p, long channel, SPicture source)
{
    if (channel < 0 || channel >= p.Bpp() || source.format != 8 || source.w != p.w || source.h != p.h)
        return p;
    for (long y = 0; y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
            p.At(x, y)[channel] = source.At(x, y)[0];
    return p;
}

SPicture Sizedown(SPicture p, long shift)
{
    long f = 1L << shift, channels = p.Bpp() < 3 ? p.Bpp() : 3;
    SPicture out = Blank(p.w / f, p.h / f, p.format);
    for (long y = 0; y < out.h; ++y)
        for (long x = 0; x < out.w; ++x)
            for (long c = 0; c < channels; ++c)
            {
                long sum = 0;
                for (long i = 0; i < f * f; ++i)
                    sum += p.At(x * f + i % f, y * f + i / f)[c];
                out.At(x, y)[c] = uint8_t(sum / (f * f));
            }
    return out;
}

// Bilinear between each pixel and its right, lower and lower-right
// neighbours; the last 2^shift rows and columns have no neighbours and stay 0.
SPicture Sizeup(SPicture p, long shift)
{
    long f = 1L << shift, channels = p.Bpp() < 3 ? p.Bpp() : 3;
    SPicture out = Blank(p.w * f, p.h * f, p.format);
    for (long y = 0; y < out.h; ++y)
        for (long x = 0; x < out.w; ++x)
            for (long c = 0; c < channels && (x + f) / f < p.w && (y + f) / f < p.h; ++c)
            {
                long sx = x / f, sy = y / f;
                float s = float(x % f) / float(f), t = float(y % f) / float(f);
                uint8_t left = Lerp<unsigned char>(p.At(sx, sy)[c], p.At(sx, sy + 1)[c], t);
                uint8_t right = Lerp<unsigned char>(p.At(sx + 1, sy)[c], p.At(sx + 1, sy + 1)[c], t);
                out.At(x, y)[c] = Lerp<unsigned char>(left, right, s);
            }
    return out;
}

SPicture ToYUV(SPicture p)
{
    for (long y = 0; p.Bpp() >= 3 && y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
        {
            uint8_t* q = p.At(x, y);
            float r = q[0], g = q[1], b = q[2];
            q[0] = ClampToByte(0.299f * r + 0.587f * g + 0.114f * b);
            q[1] = ClampToByte(-0.169f * r - 0.332f * g + 0.5f * b + 128);
            q[2] = ClampToByte(0.5f * r - 0.419f * g - 0.0813f * b + 128);
        }
    return p;
}

SPicture ToRGB(SPicture p)
{
    for (long y = 0; p.Bpp() >= 3 && y < p.h; ++y)
        for (long x = 0; x < p.w; ++x)
        {
            uint8_t* q = p.At(x, y);
            float luma = q[0], u = q[1] - 128.0f, v = q[2] - 128.0f;
            q[0] = ClampToByte(luma + 1.4075f * v);
            q[1] = ClampToByte(luma - 0.3455f * u - 0.7169f * v);
            q[2] = ClampToByte(luma + 1.779f * u);
        }
    return p;
}

// Operations that write into a destination, which may be the image itself:
// a refused one leaves the destination alone.
void IntoDestination(SInput& in, CImage& image, SPicture& p, long op)
{
    bool self = in.Byte() & 1;
    long channel = in.In(-1, 6), shift = in.In(-1, op == 13 ? 4 : 5);
    uint8_t extreme = in.Byte();
    if (extreme % 8 == 0)
        shift = extreme & 8 ? 62 : 63;
    CImage other;
    CImage& destination = self ? image : other;
    SPicture expected = self ? p : SPicture();
    if (op == 11 && p.pixels && channel >= 0 && channel < p.Bpp())
        expected = Extract(p, channel);
    if (op == 12 && p.pixels && shift >= 0 && shift <= 62)
        expected = Sizedown(p, shift);
    if (op == 13 && p.pixels && shift >= 0 && shift <= 3)
        expected = Sizeup(p, shift);
    if (op == 11)
        image.ExtractChannel(channel, destination);
    else if (op == 12)
        image.Sizedown(shift, destination);
    else
        image.Sizeup(shift, destination);
    Check(Same(destination, expected));
    if (self)
        p = expected;
    else
        Check(Same(image, p));
}

// One operation from the input on image, whose content p describes.
void Step(SInput& in, CImage& image, SPicture& p)
{
    long op = in.In(0, 16);
    V at = in.Point(-4, 14), size = in.Point(-1, 8);
    uint32_t value = in.Byte() % 4 ? in.Word() : 0;
    SPicture expected = p;
    bool throws = false;
    switch (op)
    {
    case 0: image.FlipX(); if (p.pixels) expected = FlipX(p); break;
    case 1: image.FlipY(); if (p.pixels) expected = FlipY(p); break;
    case 2: image.FlipRB(); if (p.pixels) expected = FlipRB(p); break;
    case 3: image.RotCCW90(); if (p.pixels) expected = RotCCW90(p); break;
    case 4: image.Darken(at, size); if (p.pixels) expected = Darken(p, at, size); break;
    case 5: image.SetPixel32(at, long(value)); if (p.pixels) expected = SetPixel32(p, at, value); break;
    case 6:
        throws = value != 0 && p.format != 32;
        try { image.Clear(value); } catch (const char*) { Check(throws); throws = false; }
        if (p.pixels && !(value != 0 && p.format != 32))
            expected = Clear(p, value);
        break;
    case 7:
    {
        CImage source;
        long format = in.Byte() % 4 ? p.format : AnyFormat(in);
        SPicture picture = Make(in, source, format, in.Point(0, 6));
        throws = picture.format != p.format;
        try { image.Blit(&source, at); } catch (const char*) { Check(throws); throws = false; }
        if (p.pixels && picture.format == p.format)
            expected = Blit(p, picture, at);
        break;
    }
    case 8: image.Blit(&image, at); if (p.pixels) expected = Blit(p, p, at); break;
    case 9:
    {
        long format = AnyFormat(in);
        image.SetFormat(format);
        if (p.pixels)
            expected = SetFormat(p, format);
        break;
    }
    case 10:
    {
        CImage source;
        long channel = in.In(-1, 6), format = in.Byte() % 4 ? 8 : 24;
        SPicture picture = Make(in, source, format, in.Byte() % 4 ? V(p.w, p.h) : in.Point(0, 10));
        image.AddChannel(channel, source);
        if (p.pixels)
            expected = AddChannel(p, channel, picture);
        break;
    }
    case 11: case 12: case 13: IntoDestination(in, image, p, op); return;
    case 14: image.ConvertRGBtoYUV(); if (p.pixels) expected = ToYUV(p); break;
    default: image.ConvertYUVtoRGB(); if (p.pixels) expected = ToRGB(p); break;
    }
    Check(!throws && Same(image, expected));
    p = expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SInput in = {{data, size}};
    CImage image;
    long format = AnyFormat(in);
    SPicture p = Make(in, image, format, in.Point(0, 10));
    if (in.Byte() % 8 == 0)
    {
        image.ClearData();
        p.pixels = false;
    }
    for (int step = 0; step < 8 && in.More(); ++step)
        Step(in, image, p);
    return 0;
}
