#include "image/TGA.h"

#include "foundation/File.h"
#include "foundation/Memory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using NVorn::CImage;
using NVorn::CMemory;
using NVorn::TVector2;
namespace NTGA = NVorn::NTGA;

namespace
{
    typedef std::vector<unsigned char> Bytes;

    Bytes Header(int type, int width, int height, int depth, int descriptor, int idLength = 0,
                 int mapLength = 0, int mapDepth = 0)
    {
        return Bytes{(unsigned char)idLength, (unsigned char)(mapLength ? 1 : 0), (unsigned char)type,
                     0, 0, (unsigned char)mapLength, (unsigned char)(mapLength >> 8), (unsigned char)mapDepth,
                     0, 0, 0, 0,
                     (unsigned char)width, (unsigned char)(width >> 8),
                     (unsigned char)height, (unsigned char)(height >> 8),
                     (unsigned char)depth, (unsigned char)descriptor};
    }

    Bytes operator+(Bytes a, const Bytes& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    Bytes Pixels(const CImage& image)
    {
        return Bytes(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height);
    }

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

    void WriteFile(const std::string& path, const Bytes& file)
    {
        NVorn::CFile out(path.c_str(), 1);
        ASSERT_TRUE(out.IsReady());
        out.Write((void*)file.data(), long(file.size()));
    }
}

TEST(TGA, PixelsFollowTheOriginBitsAndRunLengthPacketsDecodeRedFirst)
{
    const Bytes rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const struct
    {
        const char* what;
        Bytes file, pixels;
    } cases[] = {
        // Uncompressed bytes keep the file's order; the last row of a
        // bottom-up file is the top of the picture.
        {"bottom-left", Header(2, 2, 2, 24, 0) + rows, {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
        {"top-left", Header(2, 2, 2, 24, 0x20) + rows, rows},
        {"top-right", Header(2, 2, 2, 24, 0x30) + rows, {4, 5, 6, 1, 2, 3, 10, 11, 12, 7, 8, 9}},
        {"bottom-right", Header(2, 2, 2, 24, 0x10) + rows, {10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}},
        {"grey after an image ID and a colour map",
         Header(3, 3, 1, 8, 0x20, 5, 4, 24) + Bytes(17, 0xEE) + Bytes{40, 50, 60}, {40, 50, 60}},
        {"one run", Header(10, 2, 2, 32, 0x28) + Bytes{0x83, 1, 2, 3, 4},
         {3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}},
        {"raw packet", Header(10, 2, 1, 24, 0x20) + Bytes{0x01, 1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        {"packets crossing bottom-up rows", Header(10, 2, 2, 24, 0) + Bytes{0x82, 1, 2, 3, 0x00, 7, 8, 9},
         {3, 2, 1, 9, 8, 7, 3, 2, 1, 3, 2, 1}},
        // Packets that describe more pixels than the image holds are cut short.
        {"long run", Header(10, 2, 1, 32, 0x20) + Bytes{0xFF, 1, 2, 3, 4}, {3, 2, 1, 4, 3, 2, 1, 4}},
        {"long raw packet", Header(10, 1, 1, 24, 0x20) + Bytes{0x7F, 1, 2, 3}, {3, 2, 1}},
    };
    for (const auto& c : cases)
    {
        CImage image;
        ASSERT_TRUE(LoadAt3(c.file, image)) << c.what;
        EXPECT_EQ(image.m_Format, c.file[16]) << c.what;
        EXPECT_EQ(Pixels(image), c.pixels) << c.what;
    }
}

TEST(TGA, UnsupportedAndDamagedFilesFailWithoutPixels)
{
    const struct
    {
        const char* what;
        Bytes file;
    } cases[] = {
        {"colour-mapped", Header(1, 2, 2, 8, 0) + Bytes(4, 0)},
        {"16-bit true colour", Header(2, 2, 2, 16, 0) + Bytes(8, 0)},
        {"16-bit grey", Header(3, 2, 2, 16, 0) + Bytes(8, 0)},
        {"8-bit true colour", Header(2, 2, 2, 8, 0) + Bytes(4, 0)},
        {"run-length grey", Header(11, 2, 2, 8, 0) + Bytes(8, 0)},
        {"short header", Bytes(17, 0)},
        {"empty", Bytes()},
        {"truncated image ID", Header(2, 1, 1, 24, 0, 200) + Bytes(10, 0)},
        {"truncated colour map", Header(2, 1, 1, 24, 0, 0, 100, 24) + Bytes(10, 0)},
        {"truncated pixels", Header(2, 2, 2, 32, 0) + Bytes(15, 0)},
        {"truncated grey rows", Header(3, 4, 4, 8, 0x20) + Bytes(15, 0)},
        {"huge claim", Header(2, 65535, 65535, 32, 0) + Bytes(2, 0)},
        {"huge run-length claim", Header(10, 65535, 65535, 32, 0) + Bytes{0xFF, 1, 2, 3, 4}},
        {"run-length ends early", Header(10, 2, 2, 24, 0) + Bytes{0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8}},
        {"run-length ends inside a pixel", Header(10, 2, 2, 24, 0) + Bytes{0x83, 1, 2}},
    };
    for (const auto& c : cases)
    {
        CImage image;
        ASSERT_TRUE(image.Create(TVector2<long>(1, 1), 32));
        EXPECT_FALSE(LoadAt3(c.file, image)) << c.what;
        EXPECT_EQ(image.m_pData, nullptr) << c.what;
    }

    // A rejected depth still describes the file's image.
    CImage image;
    EXPECT_FALSE(LoadAt3(Header(2, 7, 5, 16, 0) + Bytes(70, 0), image));
    EXPECT_EQ(image.m_Width, 7);
    EXPECT_EQ(image.m_Height, 5);
    EXPECT_EQ(image.m_Format, 16);

    // A stream that is not ready is left alone, and so is the image.
    CMemory empty;
    ASSERT_TRUE(image.Create(TVector2<long>(1, 1), 32));
    EXPECT_FALSE(NTGA::Load(empty, image));
    EXPECT_NE(image.m_pData, nullptr);
}

TEST(TGA, WriteProducesTopLeftFilesAndRefusesWhatTheFormatCannotHold)
{
    CImage image;
    ASSERT_TRUE(image.Create(TVector2<long>(300, 2), 32));
    for (long i = 0; i < 2400; ++i)
        image.m_pData[i] = (unsigned char)(i * 7);
    CMemory out(4096);
    ASSERT_TRUE(NTGA::Write(out, image));
    ASSERT_EQ(out.GetWrittenSize(), 18 + 2400);
    const unsigned char* file = (const unsigned char*)out.GetData();
    EXPECT_EQ(Bytes(file, file + 18), Header(2, 300, 2, 32, 0x28));
    EXPECT_EQ(file[12], 0x2C);
    EXPECT_EQ(file[13], 0x01);
    EXPECT_EQ(Bytes(file + 18, file + 18 + 2400), Pixels(image));


    CImage none, wide, odd;
    ASSERT_TRUE(wide.Create(TVector2<long>(65536, 1), 8));
    ASSERT_TRUE(odd.Create(TVector2<long>(2, 2), 16));
    CMemory unused(16);
    for (CImage* refused : {&none, &wide, &odd})
        EXPECT_FALSE(NTGA::Write(unused, *refused));
    EXPECT_EQ(unused.Tell(), 0);
}

TEST(TGA, FilesLoadLikeTheSameBytesInMemory)
{
    // Bottom-up files are read from a file in runs of rows: several runs
    // with a short last one, rows wider than a run, and a truncated file.
    const struct
    {
        const char* what;
        int width, height, depth;
        long pixelBytes;
    } cases[] = {
        {"many runs", 100, 201, 24, 100 * 201 * 3},
        {"wide rows", 9000, 3, 32, 9000 * 3 * 4},
        {"truncated", 100, 201, 24, 100 * 201 * 3 - 1},
    };
    std::string path = ::testing::TempDir() + "nvorn_tga_file.tga";
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Bytes file = Header(2, c.width, c.height, c.depth, 0);
        for (long i = 0; i < c.pixelBytes; ++i)
            file.push_back((unsigned char)(i * 31 + i / 997));
        WriteFile(path, file);
        NVorn::CFile in(path.c_str(), 5);
        CImage fromFile, fromMemory;
        bool loads = LoadAt3(file, fromMemory);
        EXPECT_EQ(loads, std::string(c.what) != "truncated");
        EXPECT_EQ(NTGA::Load(in, fromFile), loads);
        EXPECT_EQ(in.Tell(), 0);
        if (loads)
            EXPECT_TRUE(Pixels(fromFile) == Pixels(fromMemory));
        else
            EXPECT_EQ(fromFile.m_pData, nullptr);
    }
    std::remove(path.c_str());
}
