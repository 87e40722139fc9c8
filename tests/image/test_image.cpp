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

    // An image whose byte i is (seed + i) & 0xFF.
    void Fill(CImage& image, long w, long h, long format, int seed = 1)
    {
        ASSERT_TRUE(image.Create(V(w, h), format));
        for (long i = 0; i < image.m_Pitch * h; ++i)
            image.m_pData[i] = (unsigned char)(seed + i);
    }

    std::vector<unsigned char> Bytes(const CImage& image)
    {
        return std::vector<unsigned char>(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height);
    }

    std::vector<unsigned char> PixelAt(const CImage& image, long x, long y)
    {
        long bpp = image.GetBytesPerPixel();
        const unsigned char* p = image.m_pData + y * image.m_Pitch + x * bpp;
        return std::vector<unsigned char>(p, p + bpp);
    }

    std::string Thrown(CImage& image, void (*action)(CImage&))
    {
        try
        {
            action(image);
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
    EXPECT_EQ(image.m_pData, nullptr);
    ASSERT_TRUE(image.Create(V(3, 2), 24));
    EXPECT_EQ(image.m_Pitch, 9);
    EXPECT_EQ(image.m_Width, 3);
    EXPECT_EQ(image.m_Height, 2);
    ASSERT_TRUE(image.Create(V(3, 2), 32));
    EXPECT_EQ(image.m_Pitch, 12);

    // An empty image is still a valid image.
    EXPECT_TRUE(image.Create(V(0, 5), 32));
    EXPECT_NE(image.m_pData, nullptr);

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
    EXPECT_EQ(PixelAt(image, 1, 0), (std::vector<unsigned char>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(PixelAt(image, 0, 0), (std::vector<unsigned char>{0, 0, 0, 0}));

    // Positions outside the image are ignored rather than written.
    std::vector<unsigned char> before = Bytes(image);
    image.SetPixel32(V(2, 0), 0x7F7F7F7F);
    image.SetPixel32(V(0, -1), 0x7F7F7F7F);
    EXPECT_EQ(Bytes(image), before);

    image.Clear(0x11223344);
    for (long y = 0; y < 2; ++y)
        for (long x = 0; x < 2; ++x)
            EXPECT_EQ(PixelAt(image, x, y), (std::vector<unsigned char>{0x11, 0x22, 0x33, 0x44}));

    CImage rgb;
    Fill(rgb, 3, 3, 24);
    before = Bytes(rgb);
    EXPECT_EQ(Thrown(rgb, [](CImage& i) { i.Clear(0x01); }), "Unimplemented Color Format, (Clear to color)");
    EXPECT_EQ(Bytes(rgb), before);
    rgb.Clear(0);
    EXPECT_EQ(Bytes(rgb), std::vector<unsigned char>(27, 0));
}

TEST(Image, BlitClipsOnEverySide)
{
    CImage source;
    Fill(source, 4, 4, 32, 10);
    CImage target;
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
                std::vector<unsigned char> expected = inside ? PixelAt(source, x - at.x, y - at.y)
                                                             : std::vector<unsigned char>(4, 0);
                EXPECT_EQ(PixelAt(target, x, y), expected) << at.x << ": " << x << "," << y;
            }
    }

    // A source wholly outside copies nothing, on any side.
    target.Clear(0);
    for (V outside : {V(-4, 0), V(-9, 0), V(8, 0), V(0, -4), V(0, 8), V(LONG_MIN, LONG_MIN), V(LONG_MAX, 0)})
        target.Blit(&source, outside);
    EXPECT_EQ(Bytes(target), std::vector<unsigned char>(8 * 8 * 4, 0));

    // An image blitted onto itself behaves as if it were a separate copy.
    CImage self, copy;
    Fill(self, 4, 4, 32, 3);
    Fill(copy, 4, 4, 32, 3);
    self.Blit(&self, V(1, 1));
    for (long y = 1; y < 4; ++y)
        for (long x = 1; x < 4; ++x)
            EXPECT_EQ(PixelAt(self, x, y), PixelAt(copy, x - 1, y - 1));

    CImage rgb;
    Fill(rgb, 2, 2, 24);
    std::vector<unsigned char> before = Bytes(target);
    try
    {
        target.Blit(&rgb, V(0, 0));
        ADD_FAILURE() << "no exception";
    }
    catch (const char* message)
    {
        EXPECT_STREQ(message, "Can't perform blit between diffrent formats");
    }
    EXPECT_EQ(Bytes(target), before);
}

TEST(Image, YuvConversionsMatchTheReferenceFigures)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(3, 1), 24));
    const unsigned char rgb[9] = {255, 255, 255, 0, 0, 0, 255, 0, 0};
    std::copy(rgb, rgb + 9, image.m_pData);
    image.ConvertRGBtoYUV();
    EXPECT_EQ(Bytes(image), (std::vector<unsigned char>{255, 127, 127, 0, 128, 128, 76, 84, 255}));

    CImage yuv;
    ASSERT_TRUE(yuv.Create(V(2, 1), 32));
    const unsigned char values[8] = {255, 127, 127, 9, 128, 128, 128, 7};
    std::copy(values, values + 8, yuv.m_pData);
    yuv.ConvertYUVtoRGB();
    EXPECT_EQ(Bytes(yuv), (std::vector<unsigned char>{253, 255, 253, 9, 128, 128, 128, 7}));

    // One channel has no colour to convert and stays as it is.
    CImage grey;
    Fill(grey, 3, 1, 8);
    std::vector<unsigned char> before = Bytes(grey);
    grey.ConvertRGBtoYUV();
    grey.ConvertYUVtoRGB();
    EXPECT_EQ(Bytes(grey), before);
}

TEST(Image, SetFormatOnlyWidensTwentyFourBits)
{
    CImage image;
    ASSERT_TRUE(image.Create(V(1, 1), 24));
    image.m_pData[0] = 10, image.m_pData[1] = 20, image.m_pData[2] = 30;
    image.SetFormat(32);
    EXPECT_EQ(image.m_Format, 32);
    EXPECT_EQ(image.m_Pitch, 4);
    EXPECT_EQ(Bytes(image), (std::vector<unsigned char>{10, 20, 30, 0}));

    std::vector<unsigned char> before = Bytes(image);
    image.SetFormat(24);
    EXPECT_EQ(image.m_Format, 32);
    EXPECT_EQ(Bytes(image), before);
}

TEST(Image, FlipsMoveWholePixelsOfEveryFormat)
{
    for (long format : {8L, 24L, 32L})
    {
        CImage image, original;
        Fill(image, 5, 3, format);
        Fill(original, 5, 3, format);

        image.FlipY();
        for (long y = 0; y < 3; ++y)
            for (long x = 0; x < 5; ++x)
                EXPECT_EQ(PixelAt(image, x, y), PixelAt(original, x, 2 - y)) << format;
        image.FlipY();

        image.FlipX();
        for (long y = 0; y < 3; ++y)
            for (long x = 0; x < 5; ++x)
                EXPECT_EQ(PixelAt(image, x, y), PixelAt(original, 4 - x, y)) << format;
        image.FlipX();
        EXPECT_EQ(Bytes(image), Bytes(original));

        image.FlipRB();
        if (format == 8)
            EXPECT_EQ(Bytes(image), Bytes(original));
        else
        {
            EXPECT_EQ(image.m_pData[0], original.m_pData[2]);
            EXPECT_EQ(image.m_pData[2], original.m_pData[0]);
            EXPECT_EQ(image.m_pData[1], original.m_pData[1]);
        }
        image.FlipRB();
        EXPECT_EQ(Bytes(image), Bytes(original));
    }
}

TEST(Image, RotCCW90TurnsSquaresOnly)
{
    // Covers the 2 x 2 case (A B / C D becomes C A / D B) and odd sizes.
    for (long format : {8L, 24L, 32L})
        for (long n : {2L, 3L, 5L})
        {
            CImage image, original;
            Fill(image, n, n, format);
            Fill(original, n, n, format);
            image.RotCCW90();
            for (long y = 0; y < n; ++y)
                for (long x = 0; x < n; ++x)
                    EXPECT_EQ(PixelAt(image, n - 1 - y, x), PixelAt(original, x, y)) << format << " " << n;
        }

    CImage wide;
    Fill(wide, 2, 3, 32);
    std::vector<unsigned char> before = Bytes(wide);
    wide.RotCCW90();
    EXPECT_EQ(Bytes(wide), before);
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
            bool inside = x >= 1 && x <= 2 && y >= 1;
            unsigned char colour = inside ? 100 : 200;
            EXPECT_EQ(PixelAt(image, x, y), (std::vector<unsigned char>{colour, colour, colour, 0xFF}))
                << x << "," << y;
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

    CImage down;
    image.Sizedown(1, down);
    ASSERT_EQ(down.m_Width, 1);
    ASSERT_EQ(down.m_Height, 1);
    EXPECT_EQ(down.m_pData[0], 25);

    CImage up;
    image.Sizeup(1, up);
    ASSERT_EQ(up.m_Width, 4);
    ASSERT_EQ(up.m_Height, 4);
    EXPECT_EQ(PixelAt(up, 0, 0)[0], 10);
    EXPECT_EQ(PixelAt(up, 1, 0)[0], 15);
    EXPECT_EQ(PixelAt(up, 0, 1)[0], 20);
    EXPECT_EQ(PixelAt(up, 1, 1)[0], 25);

    // 8-bit images scale their one channel without touching neighbours.
    CImage grey;
    ASSERT_TRUE(grey.Create(V(4, 2), 8));
    const unsigned char g[8] = {0, 100, 200, 40, 50, 60, 70, 80};
    std::copy(g, g + 8, grey.m_pData);
    grey.Sizedown(1, grey);
    ASSERT_EQ(grey.m_Width, 2);
    ASSERT_EQ(grey.m_Format, 8);
    EXPECT_EQ(Bytes(grey), (std::vector<unsigned char>{52, 97}));

    // Shifts out of range leave the destination alone.
    CImage untouched;
    image.Sizeup(-1, untouched);
    image.Sizedown(63, untouched);
    EXPECT_EQ(untouched.m_pData, nullptr);
}

TEST(Image, ChannelsCanBeExtractedAndPutBack)
{
    CImage image, original;
    Fill(image, 3, 2, 32);
    Fill(original, 3, 2, 32);

    CImage alpha;
    image.ExtractChannel(3, alpha);
    ASSERT_EQ(alpha.m_Format, 8);
    ASSERT_EQ(alpha.m_Width, 3);
    for (long i = 0; i < 6; ++i)
        EXPECT_EQ(alpha.m_pData[i], original.m_pData[i * 4 + 3]);

    for (long i = 0; i < 6; ++i)
        alpha.m_pData[i] = (unsigned char)(200 + i);
    image.AddChannel(1, alpha);
    for (long i = 0; i < 6; ++i)
    {
        EXPECT_EQ(image.m_pData[i * 4 + 1], 200 + i);
        EXPECT_EQ(image.m_pData[i * 4], original.m_pData[i * 4]);
    }

    // Channels the pixels do not have, and mismatched sources, are refused.
    std::vector<unsigned char> before = Bytes(image);
    CImage wrong;
    Fill(wrong, 2, 2, 8);
    image.AddChannel(1, wrong);
    image.AddChannel(4, alpha);
    EXPECT_EQ(Bytes(image), before);
    image.ExtractChannel(7, wrong);
    EXPECT_EQ(wrong.m_Width, 2);
}
