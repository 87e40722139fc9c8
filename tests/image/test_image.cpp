#include "image/Image.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using NVorn::CImage;
using NVorn::TVector2;

namespace
{
    typedef TVector2<long> V;
    typedef std::vector<unsigned char> Bytes;

    // An image whose byte i is (seed + i) & 0xFF.
    void Fill(CImage& image, long w, long h, long format, int seed = 1)
    {
        ASSERT_TRUE(image.Create(V(w, h), format));
        for (long i = 0; i < image.m_Pitch * h; ++i)
            image.m_pData[i] = (unsigned char)(seed + i);
    }

    Bytes All(const CImage& image)
    {
        return Bytes(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height);
    }

    Bytes PixelAt(const CImage& image, long x, long y)
    {
        const unsigned char* p = image.m_pData + y * image.m_Pitch + x * image.GetBytesPerPixel();
        return Bytes(p, p + image.GetBytesPerPixel());
    }

    // Every pixel (x, y) of image equals pixel from(x, y) of original.
    template<class F>
    void ExpectPixelsFrom(const CImage& image, const CImage& original, F from)
    {
        for (long y = 0; y < image.m_Height; ++y)
            for (long x = 0; x < image.m_Width; ++x)
            {
                V at = from(x, y);
                EXPECT_EQ(PixelAt(image, x, y), PixelAt(original, at.x, at.y))
                    << image.m_Format << " bits at " << x << "," << y;
            }
    }

    template<class F>
    std::string Thrown(F action)
    {
        try
        {
            action();
        }
        catch (const char* message)
        {
            return message;
        }
        return "";
    }
}

TEST(Image, CreateComputesLayoutAndRejectsImpossibleSizes)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(3, 2), 24));
    EXPECT_EQ(image.m_Pitch, 9);
    ASSERT_TRUE(image.Create(V(3, 2), 32));
    EXPECT_EQ(image.m_Pitch, 12);
    EXPECT_TRUE(image.Create(V(0, 5), 32)); // empty, yet a valid image

    for (V bad : {V(-1, 4), V(4, -1), V(LONG_MAX / 2, 4), V(1L << 20, 1L << 50)})
    {
        EXPECT_FALSE(image.Create(bad, 32)) << bad.x << " x " << bad.y;
        EXPECT_EQ(image.m_pData, nullptr);
        EXPECT_EQ(image.m_Width * image.m_Height, 0);
    }
    EXPECT_FALSE(image.Create(V(2, 2), -8));

    // Operations on an image without pixels do nothing.
    image.FlipY();
    image.FlipX();
    image.Clear(0);
    image.SetPixel32(V(0, 0), 1);
    EXPECT_EQ(image.m_pData, nullptr);
}

TEST(Image, ThirtyTwoBitValuesAreStoredRedFirstAndClearGuardsItsFormat)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(2, 2), 32));
    image.Clear(0);
    image.SetPixel32(V(1, 0), 0x11223344);
    image.SetPixel32(V(2, 0), 0x7F7F7F7F); // outside: ignored
    image.SetPixel32(V(0, -1), 0x7F7F7F7F);
    EXPECT_EQ(All(image), (Bytes{0, 0, 0, 0, 0x11, 0x22, 0x33, 0x44, 0, 0, 0, 0, 0, 0, 0, 0}));
    image.Clear(0x11223344);
    for (long i = 0; i < 16; ++i)
        EXPECT_EQ(image.m_pData[i], 0x11 * (i % 4 + 1));

    CImage rgb;
    Fill(rgb, 3, 3, 24);
    Bytes before = All(rgb);
    EXPECT_EQ(Thrown([&] { rgb.Clear(0x01); }), "Unimplemented Color Format, (Clear to color)");
    EXPECT_EQ(All(rgb), before);
    rgb.Clear(0);
    EXPECT_EQ(All(rgb), Bytes(27, 0));
}

TEST(Image, BlitClipsOnEverySide)
{
    CImage source, target;
    Fill(source, 4, 4, 32, 10);
    ASSERT_TRUE(target.Create(V(8, 8), 32));

    // Clipped at the top-left and at the bottom-right corner: only the
    // overlapping 2 x 2 pixels arrive.
    for (V at : {V(-2, -2), V(6, 6)})
    {
        target.Clear(0);
        target.Blit(&source, at);
        for (long y = 0; y < 8; ++y)
            for (long x = 0; x < 8; ++x)
            {
                bool inside = x >= at.x && x < at.x + 4 && y >= at.y && y < at.y + 4;
                EXPECT_EQ(PixelAt(target, x, y), inside ? PixelAt(source, x - at.x, y - at.y) : Bytes(4, 0))
                    << at.x << ": " << x << "," << y;
            }
    }

    // A source wholly outside copies nothing, on any side.
    target.Clear(0);
    for (V outside : {V(-4, 0), V(-9, 0), V(8, 0), V(0, -4), V(0, 8), V(LONG_MIN, LONG_MIN), V(LONG_MAX, 0)})
        target.Blit(&source, outside);
    EXPECT_EQ(All(target), Bytes(8 * 8 * 4, 0));

    // An image blitted onto itself behaves as if it were a separate copy.
    CImage self;
    Fill(self, 4, 4, 32, 10);
    self.Blit(&self, V(1, 1));
    for (long y = 1; y < 4; ++y)
        for (long x = 1; x < 4; ++x)
            EXPECT_EQ(PixelAt(self, x, y), PixelAt(source, x - 1, y - 1));

    CImage rgb;
    Fill(rgb, 2, 2, 24);
    EXPECT_EQ(Thrown([&] { target.Blit(&rgb, V(0, 0)); }), "Can't perform blit between diffrent formats");
    EXPECT_EQ(All(target), Bytes(8 * 8 * 4, 0));
}

TEST(Image, YuvConversionsMatchTheReferenceFigures)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(3, 1), 24));
    const unsigned char rgb[9] = {255, 255, 255, 0, 0, 0, 255, 0, 0};
    std::copy(rgb, rgb + 9, image.m_pData);
    image.ConvertRGBtoYUV();
    EXPECT_EQ(All(image), (Bytes{255, 127, 127, 0, 128, 128, 76, 84, 255}));

    ASSERT_TRUE(image.Create(V(2, 1), 32));
    const unsigned char yuv[8] = {255, 127, 127, 9, 128, 128, 128, 7};
    std::copy(yuv, yuv + 8, image.m_pData);
    image.ConvertYUVtoRGB();
    EXPECT_EQ(All(image), (Bytes{253, 255, 253, 9, 128, 128, 128, 7}));

    // One channel has no colour to convert and stays as it is.
    Fill(image, 3, 1, 8);
    image.ConvertRGBtoYUV();
    image.ConvertYUVtoRGB();
    EXPECT_EQ(All(image), (Bytes{1, 2, 3}));
}

TEST(Image, SetFormatOnlyWidensTwentyFourBits)
{
    CImage image;
    Fill(image, 1, 1, 24, 10);
    image.SetFormat(32);
    EXPECT_EQ(image.m_Pitch, 4);
    EXPECT_EQ(All(image), (Bytes{10, 11, 12, 0}));
    image.SetFormat(24);
    EXPECT_EQ(image.m_Format, 32);
    EXPECT_EQ(All(image), (Bytes{10, 11, 12, 0}));
}

TEST(Image, FlipsAndRotationMoveWholePixelsOfEveryFormat)
{
    for (long format : {8L, 24L, 32L})
    {
        CImage image, original;
        Fill(image, 5, 3, format);
        Fill(original, 5, 3, format);
        image.FlipY();
        ExpectPixelsFrom(image, original, [](long x, long y) { return V(x, 2 - y); });
        image.FlipY();
        image.FlipX();
        ExpectPixelsFrom(image, original, [](long x, long y) { return V(4 - x, y); });
        image.FlipX();

        // Red and blue trade places; one channel has neither.
        Bytes swapped = All(original);
        for (size_t i = 0; format > 8 && i < swapped.size(); i += format / 8)
            std::swap(swapped[i], swapped[i + 2]);
        image.FlipRB();
        EXPECT_EQ(All(image), swapped);

        // A quarter turn counter-clockwise, of even and odd sizes.
        for (long n : {2L, 3L, 5L})
        {
            Fill(image, n, n, format);
            Fill(original, n, n, format);
            image.RotCCW90();
            ExpectPixelsFrom(image, original, [n](long x, long y) { return V(y, n - 1 - x); });
        }
    }

    CImage wide;
    Fill(wide, 2, 3, 32);
    Bytes before = All(wide);
    wide.RotCCW90();
    EXPECT_EQ(All(wide), before);
}

TEST(Image, DarkenHalvesColourInAClippedBlock)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(4, 3), 32));
    image.Clear(0xC8C8C8FF);
    image.Darken(V(1, 1), V(2, 5));
    for (long y = 0; y < 3; ++y)
        for (long x = 0; x < 4; ++x)
        {
            unsigned char colour = x >= 1 && x <= 2 && y >= 1 ? 100 : 200;
            EXPECT_EQ(PixelAt(image, x, y), (Bytes{colour, colour, colour, 0xFF})) << x << "," << y;
        }

    // Blocks partly or wholly outside touch only pixels of the image.
    image.Clear(0xC8C8C8FF);
    image.Darken(V(-1, -1), V(2, 2));
    image.Darken(V(10, 0), V(2, 2));
    EXPECT_EQ(PixelAt(image, 0, 0)[0], 100);
    EXPECT_EQ(PixelAt(image, 1, 0)[0], 200);
    EXPECT_EQ(PixelAt(image, 0, 1)[0], 200);
}

TEST(Image, SizedownAveragesAndSizeupInterpolates)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(2, 2), 24));
    image.Clear(0);
    const unsigned char reds[4] = {10, 20, 30, 41};
    for (int i = 0; i < 4; ++i)
        image.m_pData[i * 3] = reds[i];

    CImage down, up;
    image.Sizedown(1, down);
    ASSERT_EQ(down.m_Width * down.m_Height, 1);
    EXPECT_EQ(down.m_pData[0], 25);
    image.Sizeup(1, up);
    ASSERT_EQ(up.m_Width, 4);
    ASSERT_EQ(up.m_Height, 4);
    EXPECT_EQ(PixelAt(up, 0, 0)[0], 10);
    EXPECT_EQ(PixelAt(up, 1, 0)[0], 15);
    EXPECT_EQ(PixelAt(up, 0, 1)[0], 20);
    EXPECT_EQ(PixelAt(up, 1, 1)[0], 25);
    CImage same;
    ASSERT_TRUE(same.Create(V(2, 2), 24));
    std::copy(image.m_pData, image.m_pData + 12, same.m_pData);
    same.Sizeup(1, same);
    EXPECT_EQ(All(same), All(up));

    // 8-bit images scale their one channel without touching neighbours, and
    // may scale into themselves.
    CImage grey;
    ASSERT_TRUE(grey.Create(V(4, 2), 8));
    const unsigned char g[8] = {0, 100, 200, 40, 50, 60, 70, 80};
    std::copy(g, g + 8, grey.m_pData);
    grey.Sizedown(1, grey);
    ASSERT_EQ(grey.m_Format, 8);
    EXPECT_EQ(All(grey), (Bytes{52, 97}));

    // Shifts out of range leave the destination alone.
    CImage untouched;
    image.Sizeup(-1, untouched);
    image.Sizedown(63, untouched);
    EXPECT_EQ(untouched.m_pData, nullptr);
}

TEST(Image, ChannelsCanBeExtractedAndPutBack)
{
    CImage image, alpha;
    Fill(image, 3, 2, 32);
    image.ExtractChannel(3, alpha);
    ASSERT_EQ(alpha.m_Format, 8);
    EXPECT_EQ(All(alpha), (Bytes{4, 8, 12, 16, 20, 24}));

    for (long i = 0; i < 6; ++i)
        alpha.m_pData[i] = (unsigned char)(200 + i);
    image.AddChannel(1, alpha);
    for (long i = 0; i < 6; ++i)
        EXPECT_EQ(PixelAt(image, i % 3, i / 3), (Bytes{(unsigned char)(4 * i + 1), (unsigned char)(200 + i),
                                                       (unsigned char)(4 * i + 3), (unsigned char)(4 * i + 4)}));

    // Channels the pixels do not have, and mismatched sources, are refused.
    Bytes before = All(image);
    CImage wrong;
    Fill(wrong, 2, 2, 8);
    image.AddChannel(1, wrong);
    image.AddChannel(4, alpha);
    EXPECT_EQ(All(image), before);
    image.ExtractChannel(7, wrong);
    EXPECT_EQ(wrong.m_Width, 2);

    // An image may extract a channel into itself.
    image.ExtractChannel(1, image);
    ASSERT_EQ(image.m_Format, 8);
    EXPECT_EQ(All(image), (Bytes{200, 201, 202, 203, 204, 205}));
}
