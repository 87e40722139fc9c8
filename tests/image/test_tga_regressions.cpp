// Replays the fuzz seeds and every input that once crashed the fuzz target.
// Each must load or fail cleanly; whatever loads must write and load back
// unchanged. The sanitizer build turns any stray access into a failure.
#include "image/TGA.h"

#include "foundation/Memory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using NVorn::CImage;
using NVorn::CMemory;
namespace NTGA = NVorn::NTGA;
namespace fs = std::filesystem;

namespace
{
    std::vector<fs::path> Inputs()
    {
        std::vector<fs::path> files;
        for (const char* folder : {NVORN_TGA_CORPUS, NVORN_TGA_REGRESSIONS})
            for (const fs::directory_entry& entry : fs::directory_iterator(folder))
                if (entry.is_regular_file() && entry.path().extension() != ".md")
                    files.push_back(entry.path());
        return files;
    }
}

TEST(TGARegressions, EveryKeptInputLoadsOrFailsCleanly)
{
    std::vector<fs::path> files = Inputs();
    EXPECT_FALSE(files.empty());
    long loadedCount = 0;
    for (const fs::path& path : files)
    {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // One spare byte keeps an empty file from wrapping a null block.
        bytes.push_back(0);
        CMemory stream(bytes.data(), long(bytes.size() - 1));

        CImage image;
        bool loaded = NTGA::Load(stream, image);
        EXPECT_EQ(stream.Tell(), 0);
        if (!loaded)
        {
            EXPECT_EQ(image.m_pData, nullptr);
            continue;
        }
        ++loadedCount;
        long pixelBytes = image.m_Pitch * image.m_Height;
        CMemory out(NTGA::CHeader::kSize + pixelBytes);
        ASSERT_TRUE(NTGA::Write(out, image));
        out.Seek(0, 0);
        CImage again;
        ASSERT_TRUE(NTGA::Load(out, again));
        ASSERT_EQ(again.m_Pitch * again.m_Height, pixelBytes);
        EXPECT_EQ(std::vector<unsigned char>(again.m_pData, again.m_pData + pixelBytes),
                  std::vector<unsigned char>(image.m_pData, image.m_pData + pixelBytes));
    }
    // The seed corpus is made of valid files.
    EXPECT_GT(loadedCount, 0);
}
