// Images and the TGA codec: each operation's exact bytes, hand-made files,
// and the Python imaging library run as a child process on files in a
// temporary folder.
#include "image/Image.h"
#include "image/TGA.h"

#include "foundation/File.h"
#include "foundation/Memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; } // huge requests fail

using NVorn::CImage;
using NVorn::CMemory;
namespace NTGA = NVorn::NTGA;
typedef NVorn::TVector2<long> V;
typedef std::vector<unsigned char> Bytes;

namespace
{
    // An image whose byte i is i + 1, or the given bytes.
    void Fill(CImage& image, long w, long h, long format, const Bytes& bytes = {})
    {
        ASSERT_TRUE(image.Create(V(w, h), format));
        for (long i = 0; i < image.m_Pitch * h; ++i)
            image.m_pData[i] = bytes.empty() ? (unsigned char)(1 + i) : bytes[i];
    }

    Bytes Header(int type, int width, int height, int depth, int descriptor, int idLength = 0, int mapLength = 0)
    {
        return Bytes{(unsigned char)idLength, 0, (unsigned char)type, 0, 0, (unsigned char)mapLength,
                     (unsigned char)(mapLength >> 8), (unsigned char)(mapLength ? 24 : 0), 0, 0, 0, 0,
                     (unsigned char)width, (unsigned char)(width >> 8), (unsigned char)height,
                     (unsigned char)(height >> 8), (unsigned char)depth, (unsigned char)descriptor};
    }

    Bytes operator+(Bytes a, const Bytes& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    Bytes Pixels(const CImage& i) { return i.m_pData ? Bytes(i.m_pData, i.m_pData + i.m_Pitch * i.m_Height) : Bytes(); }

    // Loads file from offset 3 of a stream, checking the position comes back.
    bool LoadAt3(Bytes file, CImage& image)
    {
        Bytes block = Bytes{9, 9, 9} + file;
        CMemory stream(block.data(), long(block.size()));
        stream.Seek(3, 0);
        bool loaded = NTGA::Load(stream, image);
        EXPECT_EQ(stream.Tell(), 3);
        return loaded;
    }

    bool Shell(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

    void Save(const std::string& path, const Bytes& b)
    {
        std::ofstream(path, std::ios::binary).write((const char*)b.data(), std::streamsize(b.size()));
    }

    Bytes ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
}

TEST(Image, CreateRefusesImpossibleSizesAndMisuseThrowsItsMessage)
{
    CImage image, rgb;
    EXPECT_EQ(image.m_Format | image.m_Pitch | image.m_Width | image.m_Height, 0); // a new image is empty
    ASSERT_TRUE(image.Create(V(0, 3), 4) && image.m_pData); // an empty size, even under 8 bits, still has a block
    ASSERT_TRUE(image.Create(V(2, 2), 32)); // a refused size leaves no old pixels either
    for (V bad : {V(-1, 4), V(4, -1), V(LONG_MAX / 2, 4), V(1L << 20, 1L << 50), V(INT_MAX / 4, 1L << 30)}) // the last: no memory
    {
        EXPECT_FALSE(image.Create(bad, 32)) << bad.x << " x " << bad.y;
        EXPECT_EQ(image.m_pData, nullptr);
        EXPECT_EQ(image.m_Width * image.m_Height, 0);
    }
    Fill(image, 1, 1, 32);
    Fill(rgb, 1, 1, 24);
    const char* const clear = "Unimplemented Color Format, (Clear to color)";
    const char* const blit = "Can't perform blit between diffrent formats";
    EXPECT_THROW(try { rgb.Clear(1); } catch (const char* m) { EXPECT_STREQ(m, clear); throw; }, const char*);
    EXPECT_THROW(try { image.Blit(&rgb, V(0, 0)); } catch (const char* m) { EXPECT_STREQ(m, blit); throw; }, const char*);
    EXPECT_EQ(Pixels(rgb), (Bytes{1, 2, 3}));
    rgb.ClearData(), rgb.m_Format = 32, image.Blit(&rgb, V(0, 0)); // a source without pixels copies nothing
    EXPECT_EQ(Pixels(image), (Bytes{1, 2, 3, 4}));
}

// Each case fills an image (byte i = i + 1 unless given), runs one step on
// it and compares every byte afterwards. The fuzz target's kept inputs check
// every operation against a pixel-by-pixel reading, on images of each format;
// these pin the colour figures and the scaling.
TEST(Image, OperationsGiveTheExactBytes)
{
    typedef std::function<void(CImage&)> Step;
    const struct { const char* what; long w, h, format; Bytes input; Step step; Bytes expected; } cases[] = {
        {"Clear red first", 1, 2, 32, {}, [](CImage& i) { i.Clear(0x11223344); }, {17, 34, 51, 68, 17, 34, 51, 68}},
        {"SetFormat(32)", 2, 2, 24, {}, [](CImage& i) { i.SetFormat(32); EXPECT_EQ(i.m_Format, 32); },
         {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}},
        {"RGB to YUV", 3, 1, 24, {255, 255, 255, 0, 0, 0, 255, 0, 0}, [](CImage& i) { i.ConvertRGBtoYUV(); },
         {255, 127, 127, 0, 128, 128, 76, 84, 255}},
        {"YUV to RGB, clamped", 3, 1, 32, {255, 127, 127, 9, 128, 128, 128, 7, 0, 0, 0, 5},
         [](CImage& i) { i.ConvertYUVtoRGB(); }, {253, 255, 253, 9, 128, 128, 128, 7, 0, 135, 0, 5}},
        {"Sizedown, out of range shifts ignored", 2, 2, 24, {10, 1, 2, 20, 3, 4, 30, 5, 6, 41, 7, 8}, [](CImage& i) {
             CImage down;
             for (long shift : {1, -1, 63}) i.Sizedown(shift, down);
             i.Sizedown(1, i);
             EXPECT_EQ(Pixels(down), Pixels(i)); }, {25, 4, 5}},
        {"Sizeup", 2, 2, 24, {10, 1, 2, 20, 3, 4, 30, 5, 6, 41, 7, 8}, [](CImage& i) {
             CImage up;
             for (long shift : {1, -1, 63}) i.Sizeup(shift, up);
             i.Sizeup(1, i);
             EXPECT_EQ(Pixels(up), Pixels(i)); }, {10, 1, 2, 15, 2, 3, 0, 0, 0, 0, 0, 0, 20, 3, 4, 25, 4, 5, 0, 0, 0, 0, 0, 0,
             0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases)
    {
        CImage image;
        Fill(image, c.w, c.h, c.format, c.input);
        c.step(image);
        EXPECT_EQ(Pixels(image), c.expected) << c.what;
    }
}

// Cases without pixels must fail.
TEST(TGA, PixelsLoadRedFirstInPictureOrderAndDamagedFilesFail)
{
    const Bytes rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, pixel = {1, 2, 3, 4};
    const struct { const char* what; Bytes file, pixels; } cases[] = {
        {"bottom-left", Header(2, 2, 2, 24, 0) + rows, {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}},
        {"top-right", Header(2, 2, 2, 24, 0x30) + rows, {6, 5, 4, 3, 2, 1, 12, 11, 10, 9, 8, 7}},
        {"bottom-right", Header(2, 2, 2, 24, 0x10) + rows, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"five pixels", Header(2, 5, 1, 24, 0x20) + rows + Bytes{13, 14, 15},
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13}},
        {"32 bits", Header(2, 2, 1, 32, 0x28) + Bytes{1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 4, 7, 6, 5, 8}},
        {"grey column after an image ID and a colour map", Header(3, 1, 3, 8, 0, 5, 4) + Bytes(17, 0xEE) + Bytes{4, 5, 6},
         {6, 5, 4}},
        {"one run", Header(10, 2, 2, 32, 0x28) + Bytes{0x83} + pixel, {3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}},
        {"packets crossing bottom-up rows", Header(10, 2, 2, 24, 0) + Bytes{0x82, 1, 2, 3, 0x00, 7, 8, 9},
         {3, 2, 1, 9, 8, 7, 3, 2, 1, 3, 2, 1}},
        {"run cut at the last pixel", Header(10, 2, 1, 32, 0x20) + Bytes{0xFF} + pixel, {3, 2, 1, 4, 3, 2, 1, 4}},
        {"raw packet cut", Header(10, 1, 1, 24, 0x20) + Bytes{0x7F, 1, 2, 3}, {3, 2, 1}},
        {"colour-mapped", Header(1, 2, 2, 8, 0) + Bytes(4, 0), {}},
        {"16-bit true colour", Header(2, 2, 2, 16, 0) + Bytes(8, 0), {}},
        {"16-bit grey", Header(3, 2, 2, 16, 0) + Bytes(8, 0), {}},
        {"short header", Bytes(17, 0), {}},
        {"truncated image ID", Header(2, 1, 1, 24, 0, 200) + Bytes(10, 0), {}},
        {"truncated colour map", Header(2, 1, 1, 24, 0, 0, 100) + Bytes(10, 0), {}},
        {"truncated pixels", Header(2, 2, 2, 32, 0) + Bytes(15, 0), {}},
        {"huge run-length claim", Header(10, 65535, 65535, 32, 0) + Bytes{0xFF} + pixel, {}},
        {"run-length ends early", Header(10, 2, 2, 24, 0) + Bytes{0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8}, {}},
        {"run-length ends inside a pixel", Header(10, 2, 2, 24, 0) + Bytes{0x80, 1, 2, 3, 0x80, 1, 2}, {}},
        {"run-length ends between packets", Header(10, 3, 1, 24, 0) + Bytes{0, 1, 2, 3, 0, 4, 5, 6}, {}},
    };
    for (const auto& c : cases)
    {
        CImage image;
        ASSERT_TRUE(image.Create(V(1, 1), 32));
        EXPECT_EQ(LoadAt3(c.file, image), !c.pixels.empty()) << c.what;
        EXPECT_EQ(Pixels(image), c.pixels) << c.what;
        EXPECT_EQ(image.m_Format, c.pixels.empty() ? image.m_Format : c.file[16]) << c.what;
    }
    CImage image; // an empty image is just a header; a rejected depth still describes the file's image
    EXPECT_TRUE(LoadAt3(Header(2, 0, 3, 24, 0), image) && !LoadAt3(Header(2, 7, 5, 16, 0) + Bytes(70, 0), image));
    EXPECT_EQ(image.m_Width * 100 + image.m_Height * 10 + image.m_Format, 7 * 100 + 5 * 10 + 16);
    Bytes packets = Bytes{3} + Bytes(16384, 7); // four raw pixels, then runs of one; the last ends the file a byte past 16 KiB
    for (size_t i = 13; i < packets.size(); i += 4) packets[i] = 0x80;
    EXPECT_TRUE(LoadAt3(Header(10, 4097, 1, 24, 0x20) + packets, image) && image.m_pData[3 * 4096 + 2] == 7);
    CMemory notReady; // left alone, and so is the image
    EXPECT_TRUE(!NTGA::Load(notReady, image) && image.m_pData && image.m_Width == 4097);
}

TEST(TGA, WrittenFilesAreBlueFirstAndLoadBackFromFilesAndMemoryInEitherRowOrder)
{
    std::string path = ::testing::TempDir() + "nvorn_tga_file.tga";
    // Runs of rows with a short last one, pieces of pixels, rows wider than a run.
    for (V size : {V(300, 40), V(9000, 3)})
    {
        long depth = size.y == 3 ? 32 : 24, bytes = size.x * size.y * depth / 8;
        CImage image, fromFile, fromMemory;
        ASSERT_TRUE(image.Create(size, depth));
        for (long i = 0; i < bytes; ++i)
            image.m_pData[i] = (unsigned char)(i * 7 + i / 251);
        CMemory out(18 + bytes);
        ASSERT_TRUE(NTGA::Write(out, image));
        Bytes file((const unsigned char*)out.GetData(), (const unsigned char*)out.GetData() + 18 + bytes);
        image.FlipRB(); // to the file's blue-first order
        EXPECT_EQ(file, Header(2, size.x, size.y, depth, depth == 32 ? 0x28 : 0x20) + Pixels(image));
        image.FlipRB();
        // The same pixels in raw packets of 128, which cross the reader's chunks.
        Bytes packets = Header(10, size.x, size.y, depth, file[17]);
        for (auto at = file.begin() + 18; at < file.end();)
        {
            long pixels = std::min<long>(128, (file.end() - at) / (depth / 8));
            packets.push_back((unsigned char)(pixels - 1));
            packets.insert(packets.end(), at, at + pixels * depth / 8);
            at += pixels * depth / 8;
        }
        ASSERT_TRUE(LoadAt3(packets, fromMemory));
        EXPECT_TRUE(Pixels(fromMemory) == Pixels(image));
        for (bool topDown : {true, false})
        {
            file[17] &= topDown ? 0xFF : ~0x20;
            Save(path, file);
            NVorn::CFile in(path.c_str(), 5);
            ASSERT_TRUE(LoadAt3(file, fromMemory) && NTGA::Load(in, fromFile));
            EXPECT_EQ(in.Tell(), 0);
            if (!topDown)
                fromFile.FlipY(), fromMemory.FlipY();
            EXPECT_TRUE(Pixels(fromFile) == Pixels(image) && Pixels(fromMemory) == Pixels(image)) << topDown;
        }
    }
    CImage none, wide, odd, one;
    ASSERT_TRUE(wide.Create(V(65536, 1), 8) && one.Create(V(65535, 1), 8) && odd.Create(V(2, 2), 16));
    CMemory unused(1 << 17), notReady, tooSmall(17);   // unused has room: only the image is refused
    for (CImage* refused : {&none, &wide, &odd})
        EXPECT_FALSE(NTGA::Write(unused, *refused));
    EXPECT_FALSE(NTGA::Write(notReady, wide) || NTGA::Write(tooSmall, one));
    EXPECT_TRUE(unused.Tell() == 0 && NTGA::Write(unused, one)); // the widest image a header can hold
}

namespace
{
    // Jobs of five words: mode, source, destination and, for a .tga
    // destination, whether to compress and the origin (1 top-left, -1
    // bottom-left); any other destination receives the decoded pixels, top
    // row first.
    const std::string kPython =
        "/usr/bin/python3 -c \"import sys; from PIL import Image as I; a = sys.argv[1:]\n"
        "for m, s, d, r, o in zip(*[iter(a)] * 5):\n"
        "    if d.endswith('.tga'): I.frombytes(m, (37, 23), open(s, 'rb').read()).save(d, rle=r == '1', orientation=int(o))\n"
        "    else: open(d, 'wb').write(I.open(s).convert(m).tobytes())\" ";

    // Sprite-like content: flat areas that run-length coding packs, noisy
    // pixels that it stores raw, and varied alpha.
    Bytes Picture(long channels)
    {
        Bytes pixels;
        for (long i = 0; i < 37 * 23 * channels; ++i)
        {
            long x = i / channels % 37, y = i / channels / 37;
            pixels.push_back((unsigned char)((x / 6 + y / 4) % 3 ? 40 + 70 * (i % channels) : i * 97 + y));
        }
        return pixels;
    }
}

// Case bits: 1 run-length, 2 top-left origin, 4 alpha. The Python imaging
// library, an independent codec, writes the files and decodes ours.
TEST(TGA, FilesOfAnotherCodecLoadWithTheirColoursAndWrittenFilesDecodeThereAlike)
{
    if (!Shell("/usr/bin/python3 -c 'import PIL'"))
        GTEST_SKIP() << "the Python imaging library is not installed";
    const std::string dir = ::testing::TempDir() + "nvorn_tga_interop_" + std::to_string(getpid()) + "/";
    ASSERT_TRUE(Shell("rm -rf '" + dir + "' && mkdir '" + dir + "'"));
    std::string encode, decode;
    for (int i = 0; i < 8; ++i)
    {
        const std::string name = dir + std::to_string(i), mode = i & 4 ? " RGBA '" : " RGB '";
        Save(name + ".raw", Picture(i & 4 ? 4 : 3));
        encode += mode + name + ".raw' '" + name + ".tga' " + (i & 1 ? "1" : "0") + (i & 2 ? " 1" : " -1");
        decode += mode + name + "-ours.tga' '" + name + "-ours.raw' 0 0";
    }
    ASSERT_TRUE(Shell(kPython + encode));
    for (int i = 0; i < 8; ++i)
    {
        SCOPED_TRACE(i);
        const std::string name = dir + std::to_string(i);
        Bytes file = ReadAll(name + ".tga");
        ASSERT_GE(file.size(), 18u);
        ASSERT_TRUE(file[2] == (i & 1 ? 10 : 2) && (file[17] & 0x30) == (i & 2 ? 0x20 : 0)) << "another type or origin";
        NVorn::CFile in((name + ".tga").c_str(), 5), out((name + "-ours.tga").c_str(), 1);
        CImage image;
        ASSERT_TRUE(NTGA::Load(in, image) && NTGA::Write(out, image));
        EXPECT_EQ(Pixels(image), Picture(i & 4 ? 4 : 3));
    }
    ASSERT_TRUE(Shell(kPython + decode));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ReadAll(dir + std::to_string(i) + "-ours.raw"), Picture(i & 4 ? 4 : 3)) << i;
    Shell("rm -rf '" + dir + "'");
}
