// Checks the TGA codec against an independent encoder and decoder: the
// ImageMagick command-line tool, run as a child process on files in a
// temporary folder. That tool keeps a file's rows in stored order and
// records the origin bits as an orientation tag, so its decoded reference
// is taken with -auto-orient, which applies the tag.
#include "image/TGA.h"

#include "foundation/File.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

using NVorn::CImage;
using NVorn::TVector2;
namespace NTGA = NVorn::NTGA;

namespace
{
    typedef std::vector<unsigned char> Bytes;

    const long kWidth = 37, kHeight = 23;

    bool Shell(const std::string& command)
    {
        return std::system((command + " 2>&1").c_str()) == 0;
    }

    Bytes ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Sprite-like content: flat areas that run-length coding packs, edged
    // with noisy pixels that it has to store raw, and varied alpha.
    Bytes Picture(long channels)
    {
        Bytes pixels;
        unsigned seed = 12345;
        for (long y = 0; y < kHeight; ++y)
            for (long x = 0; x < kWidth; ++x)
            {
                seed = seed * 1103515245u + 12345u;
                bool flat = (x / 6 + y / 4) % 3 != 0;
                unsigned char noise = (unsigned char)(seed >> 16);
                unsigned char c[4] = {(unsigned char)(flat ? 200 : noise), (unsigned char)(flat ? x * 5 : noise ^ 0x55),
                                      (unsigned char)(flat ? 40 : y * 9), (unsigned char)(flat ? 255 : x * 7)};
                pixels.insert(pixels.end(), c, c + channels);
            }
        return pixels;
    }

    // The tool's name for raw 8-bit pixels of this many channels, with the size.
    std::string Raw(long channels)
    {
        return std::string("-size ") + std::to_string(kWidth) + "x" + std::to_string(kHeight) + " -depth 8 " +
               (channels == 1 ? "gray" : channels == 3 ? "rgb" : "rgba") + ":";
    }

    // The image's bytes as red, green, blue: uncompressed files keep the
    // file's blue-first order in the image, so red and blue trade places.
    Bytes AsRgb(const CImage& image, bool blueFirst)
    {
        Bytes bytes(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height);
        long bpp = image.GetBytesPerPixel();
        if (blueFirst && bpp >= 3)
            for (size_t i = 0; i < bytes.size(); i += bpp)
                std::swap(bytes[i], bytes[i + 2]);
        return bytes;
    }

    class TGAInterop : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (std::system("command -v convert >/dev/null 2>&1") != 0)
                GTEST_SKIP() << "the convert tool is not installed";
            std::string pattern = ::testing::TempDir() + "nvorn_tga_XXXXXX";
            ASSERT_NE(mkdtemp(pattern.data()), nullptr);
            m_Folder = pattern + "/";
        }
        void TearDown() override
        {
            if (!m_Folder.empty())
                Shell("rm -rf '" + m_Folder + "'");
        }

        std::string m_Folder;
    };
}

TEST_F(TGAInterop, FilesFromTheOtherEncoderLoadToTheSamePixels)
{
    const struct
    {
        long channels;
        const char* options;
        int type;
        int descriptorOrigin;
    } encodings[] = {
        {3, "-type TrueColor", 2, 0x00},
        {3, "-type TrueColor -orient TopLeft", 2, 0x20},
        {3, "-type TrueColor -orient TopRight", 2, 0x30},
        {3, "-type TrueColor -orient BottomRight", 2, 0x10},
        {3, "-type TrueColor -compress RLE", 10, 0x00},
        {3, "-type TrueColor -compress RLE -orient TopLeft", 10, 0x20},
        {4, "-type TrueColorAlpha", 2, 0x00},
        {4, "-type TrueColorAlpha -orient TopLeft", 2, 0x20},
        {4, "-type TrueColorAlpha -compress RLE", 10, 0x00},
        {4, "-type TrueColorAlpha -compress RLE -orient TopLeft", 10, 0x20},
        {4, "-type TrueColorAlpha -compress RLE -orient BottomRight", 10, 0x10},
        {1, "-type Grayscale", 3, 0x00},
        {1, "-type Grayscale -orient TopLeft", 3, 0x20},
    };
    for (const auto& e : encodings)
    {
        SCOPED_TRACE(e.options);
        Bytes picture = Picture(e.channels);
        std::string source = m_Folder + "source.raw", tga = m_Folder + "theirs.tga", raw = m_Folder + "theirs.raw";
        std::ofstream(source, std::ios::binary).write((const char*)picture.data(), std::streamsize(picture.size()));
        ASSERT_TRUE(Shell("convert " + Raw(e.channels) + "'" + source + "' " + e.options + " '" + tga + "'"));
        ASSERT_TRUE(Shell("convert '" + tga + "' -auto-orient " + Raw(e.channels) + "'" + raw + "'"));

        Bytes file = ReadAll(tga);
        ASSERT_GE(file.size(), 18u);
        ASSERT_EQ(file[2], e.type) << "the encoder chose another image type";
        ASSERT_EQ(file[17] & 0x30, e.descriptorOrigin) << "the encoder chose another origin";
        Bytes theirs = ReadAll(raw);
        if (e.descriptorOrigin == 0x20)
        {
            EXPECT_EQ(theirs, picture) << "a top-left file keeps the picture as it is";
        }

        NVorn::CFile in(tga.c_str(), 5);
        CImage image;
        ASSERT_TRUE(NTGA::Load(in, image));
        EXPECT_EQ(in.Tell(), 0);
        EXPECT_EQ(image.m_Width, kWidth);
        EXPECT_EQ(image.m_Height, kHeight);
        EXPECT_EQ(image.m_Format, e.channels * 8);
        EXPECT_EQ(AsRgb(image, e.type == 2), theirs);
    }
}

TEST_F(TGAInterop, WrittenFilesDecodeElsewhereToTheImagePixels)
{
    for (long channels : {1L, 3L, 4L})
    {
        SCOPED_TRACE(channels);
        Bytes picture = Picture(channels);
        CImage image;
        ASSERT_TRUE(image.Create(TVector2<long>(kWidth, kHeight), channels * 8));
        std::copy(picture.begin(), picture.end(), image.m_pData);

        std::string tga = m_Folder + "ours.tga", raw = m_Folder + "ours.raw";
        {
            NVorn::CFile out(tga.c_str(), 1);
            ASSERT_TRUE(NTGA::Write(out, image));
        }
        ASSERT_TRUE(Shell("convert '" + tga + "' -auto-orient " + Raw(channels) + "'" + raw + "'"));
        EXPECT_EQ(ReadAll(raw), AsRgb(image, true));
    }
}
