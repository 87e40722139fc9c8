#include "image/Image.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

using NVorn::CImage;
typedef NVorn::TVector2<long> V;
typedef std::vector<unsigned char> Bytes;

namespace
{
    // An image whose byte i is seed + i, or the given bytes.
    void Fill(CImage& image, long w, long h, long format, int seed = 1, const Bytes& bytes = {})
    {
        ASSERT_TRUE(image.Create(V(w, h), format));
        for (long i = 0; i < image.m_Pitch * h; ++i)
            image.m_pData[i] = bytes.empty() ? (unsigned char)(seed + i) : bytes[i];
    }

    Bytes All(const CImage& image) { return Bytes(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height); }
}

TEST(Image, CreateRefusesImpossibleSizesAndMisuseThrowsItsMessage)
{
    CImage image, rgb;
    EXPECT_EQ(image.m_Format | image.m_Pitch | image.m_Width | image.m_Height, 0); // a new image is empty
    ASSERT_TRUE(image.Create(V(2, 2), 32)); // a refused size leaves no old pixels either
    for (V bad : {V(-1, 4), V(4, -1), V(LONG_MAX / 2, 4), V(1L << 20, 1L << 50)})
    {
        EXPECT_FALSE(image.Create(bad, 32)) << bad.x << " x " << bad.y;
        EXPECT_EQ(image.m_pData, nullptr);
        EXPECT_EQ(image.m_Width * image.m_Height, 0);
    }
    image.FlipY(); // nothing to do without pixels
    image.Clear(0);
    image.SetPixel32(V(0, 0), 1);
    EXPECT_EQ(image.m_pData, nullptr);

    Fill(image, 1, 1, 32);
    Fill(rgb, 1, 1, 24);
    const char* const clear = "Unimplemented Color Format, (Clear to color)";
    const char* const blit = "Can't perform blit between diffrent formats";
    EXPECT_THROW(try { rgb.Clear(1); } catch (const char* m) { EXPECT_STREQ(m, clear); throw; }, const char*);
    EXPECT_THROW(try { image.Blit(&rgb, V(0, 0)); } catch (const char* m) { EXPECT_STREQ(m, blit); throw; }, const char*);
    EXPECT_EQ(All(image), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(All(rgb), (Bytes{1, 2, 3}));
}

// Each case fills an image (byte i = i + 1 unless given), runs one step on
// it and compares every byte afterwards.
TEST(Image, OperationsGiveTheExactBytes)
{
    typedef std::function<void(CImage&)> Step;
    const struct { const char* what; long w, h, format; Bytes input; Step step; Bytes expected; } cases[] = {
        {"Clear(0)", 2, 1, 24, {}, [](CImage& i) { i.Clear(0); }, Bytes(6, 0)},
        {"Clear red first", 1, 2, 32, {}, [](CImage& i) { i.Clear(0x11223344); }, {17, 34, 51, 68, 17, 34, 51, 68}},
        {"Clear one row", 2, 1, 32, {}, [](CImage& i) { i.Clear(0x01020304); }, {1, 2, 3, 4, 1, 2, 3, 4}},
        {"SetPixel32 inside only", 2, 1, 32, {},
         [](CImage& i) { for (V at : {V(1, 0), V(2, 0), V(0, 1), V(-1, 0), V(0, -1)}) i.SetPixel32(at, 0x55667788); },
         {1, 2, 3, 4, 0x55, 0x66, 0x77, 0x88}},
        {"FlipY, middle row stays", 2, 3, 8, {}, [](CImage& i) { i.FlipY(); }, {5, 6, 3, 4, 1, 2}},
        {"FlipX 24", 3, 1, 24, {}, [](CImage& i) { i.FlipX(); }, {7, 8, 9, 4, 5, 6, 1, 2, 3}},
        {"FlipX 32", 2, 2, 32, {}, [](CImage& i) { i.FlipX(); },
         {5, 6, 7, 8, 1, 2, 3, 4, 13, 14, 15, 16, 9, 10, 11, 12}},
        {"FlipRB 24", 2, 1, 24, {}, [](CImage& i) { i.FlipRB(); }, {3, 2, 1, 6, 5, 4}},
        {"FlipRB 32", 2, 1, 32, {}, [](CImage& i) { i.FlipRB(); }, {3, 2, 1, 4, 7, 6, 5, 8}},
        {"FlipRB 8", 3, 1, 8, {}, [](CImage& i) { i.FlipRB(); }, {1, 2, 3}},
        {"RotCCW90 32", 2, 2, 32, {}, [](CImage& i) { i.RotCCW90(); },
         {9, 10, 11, 12, 1, 2, 3, 4, 13, 14, 15, 16, 5, 6, 7, 8}},
        {"RotCCW90 two rings", 4, 4, 8, {}, [](CImage& i) { i.RotCCW90(); },
         {13, 9, 5, 1, 14, 10, 6, 2, 15, 11, 7, 3, 16, 12, 8, 4}},
        {"RotCCW90 24, odd", 3, 3, 24, {}, [](CImage& i) { i.RotCCW90(); },
         {19, 20, 21, 10, 11, 12, 1, 2, 3, 22, 23, 24, 13, 14, 15, 4, 5, 6, 25, 26, 27, 16, 17, 18, 7, 8, 9}},
        {"RotCCW90 not square", 2, 1, 8, {}, [](CImage& i) { i.RotCCW90(); }, {1, 2}},
        {"SetFormat(32)", 2, 2, 24, {}, [](CImage& i) { i.SetFormat(32); EXPECT_EQ(i.m_Format, 32); },
         {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}},
        {"SetFormat others", 1, 1, 32, {}, [](CImage& i) { i.SetFormat(24); }, {1, 2, 3, 4}},
        {"Darken clipped", 3, 2, 32, {},
         [](CImage& i) { i.Darken(V(1, 0), V(5, 1)), i.Darken(V(-1, 1), V(2, 2)), i.Darken(V(3, 0), V(2, 2)); },
         {1, 2, 3, 4, 2, 3, 3, 8, 4, 5, 5, 12, 6, 7, 7, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
        {"Darken 24", 1, 1, 24, {}, [](CImage& i) { i.Darken(V(0, 0), V(1, 1)); }, {1, 2, 3}},
        {"RGB to YUV", 3, 1, 24, {255, 255, 255, 0, 0, 0, 255, 0, 0}, [](CImage& i) { i.ConvertRGBtoYUV(); },
         {255, 127, 127, 0, 128, 128, 76, 84, 255}},
        {"YUV to RGB, clamped", 3, 1, 32, {255, 127, 127, 9, 128, 128, 128, 7, 0, 0, 0, 5},
         [](CImage& i) { i.ConvertYUVtoRGB(); }, {253, 255, 253, 9, 128, 128, 128, 7, 0, 135, 0, 5}},
        {"Sizedown, out of range shifts ignored", 2, 2, 24, {10, 1, 2, 20, 3, 4, 30, 5, 6, 41, 7, 8}, [](CImage& i) {
             CImage down;
             for (long shift : {1, -1, 63}) i.Sizedown(shift, down);
             i.Sizedown(1, i);
             EXPECT_EQ(All(down), All(i)); }, {25, 4, 5}},
        {"Sizedown by 0 copies", 2, 1, 24, {},
         [](CImage& i) { CImage copy; i.Sizedown(0, copy), i.Clear(0), i.Blit(&copy, V(0, 0)); }, {1, 2, 3, 4, 5, 6}},
        {"Sizedown 8", 4, 2, 8, {0, 100, 200, 40, 50, 60, 70, 80}, [](CImage& i) { i.Sizedown(1, i); }, {52, 97}},
        {"Sizeup", 2, 2, 24, {10, 1, 2, 20, 3, 4, 30, 5, 6, 41, 7, 8}, [](CImage& i) {
             CImage up;
             for (long shift : {1, -1, 63}) i.Sizeup(shift, up);
             i.Sizeup(1, i);
             EXPECT_EQ(All(up), All(i)); }, {10, 1, 2, 15, 2, 3, 0, 0, 0, 0, 0, 0, 20, 3, 4, 25, 4, 5, 0, 0, 0, 0, 0, 0,
             0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"Channels, those missing refused", 3, 2, 32, {}, [](CImage& i) {
             CImage alpha, wrong;
             i.ExtractChannel(3, alpha);
             Fill(wrong, 2, 2, 8, 100);
             i.AddChannel(1, alpha); // then refused: a source of another size, channels the pixels lack
             i.AddChannel(1, wrong), i.AddChannel(4, alpha), i.ExtractChannel(4, wrong);
             EXPECT_EQ(All(wrong).size(), 4u);
             i.ExtractChannel(1, i); }, {4, 8, 12, 16, 20, 24}},
        {"Blit clipped", 3, 3, 8, {}, [](CImage& i) {
             CImage source;
             Fill(source, 2, 2, 8, 101);
             for (V at : {V(-1, -1), V(2, 2), V(-1, 1), V(3, 0), V(-2, 0), V(0, 3), V(0, -2), V(LONG_MIN, LONG_MIN)})
                 i.Blit(&source, at); }, {104, 2, 3, 102, 5, 6, 104, 8, 101}},
        {"Blit onto itself", 3, 3, 8, {}, [](CImage& i) { i.Blit(&i, V(1, 1)); }, {1, 2, 3, 4, 1, 2, 7, 4, 5}},
    };
    for (const auto& c : cases)
    {
        CImage image;
        Fill(image, c.w, c.h, c.format, 1, c.input);
        c.step(image);
        EXPECT_EQ(All(image), c.expected) << c.what;
    }
}
