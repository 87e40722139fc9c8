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
    std::vector<unsigned char> Pixels(const CImage& image)
    {
        return std::vector<unsigned char>(image.m_pData, image.m_pData + image.m_Pitch * image.m_Height);
    }
}

TEST(TGARegressions, EveryKeptInputLoadsOrFailsCleanly)
{
    long inputs = 0, loadedCount = 0;
    for (const char* folder : {NVORN_TGA_CORPUS, NVORN_TGA_REGRESSIONS})
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        {
            if (!entry.is_regular_file() || entry.path().extension() == ".md")
                continue;
            SCOPED_TRACE(entry.path().filename().string());
            ++inputs;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            // One spare byte keeps an empty file from wrapping a null block.
            bytes.push_back(0);
            CMemory stream(bytes.data(), long(bytes.size() - 1));

            CImage image, again;
            bool loaded = NTGA::Load(stream, image);
            EXPECT_EQ(stream.Tell(), 0);
            if (!loaded)
            {
                EXPECT_EQ(image.m_pData, nullptr);
                continue;
            }
            ++loadedCount;
            CMemory out(NTGA::CHeader::kSize + image.m_Pitch * image.m_Height);
            ASSERT_TRUE(NTGA::Write(out, image));
            out.Seek(0, 0);
            ASSERT_TRUE(NTGA::Load(out, again));
            EXPECT_EQ(Pixels(again), Pixels(image));
        }
    EXPECT_GT(inputs, 0);
    // The seed corpus is made of valid files.
    EXPECT_GT(loadedCount, 0);
}
