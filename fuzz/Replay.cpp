// Replays the kept inputs of one fuzz target through its own entry point:
// the seed corpus and every input that once crashed it. The normal and
// sanitizer builds thus check each of them on every run; a target that traps
// or a stray access ends the program, and the last name printed says which
// input did it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

TEST(FuzzReplay, EveryKeptInputRunsCleanly)
{
    long inputs = 0;
    for (const char* folder : {NVORN_FUZZ_CORPUS, NVORN_FUZZ_REGRESSIONS})
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        {
            if (!entry.is_regular_file() || entry.path().extension() == ".md")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            // A block of exactly the input's size, as the fuzzer hands it
            // over, so that reading one byte past the end is caught.
            std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
            std::copy(bytes.begin(), bytes.end(), data.get());
            std::fprintf(stderr, "replaying %s\n", entry.path().c_str());
            LLVMFuzzerTestOneInput(data.get(), bytes.size());
            ++inputs;
        }
    EXPECT_GT(inputs, 0);
}
