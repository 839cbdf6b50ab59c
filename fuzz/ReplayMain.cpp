// SPDX-License-Identifier: MIT
// Feeds each file named, and every file in each folder named, to a fuzz target once, without
// libFuzzer: the committed seeds replayed as a test of the normal build. A crash or a sanitizer
// finding ends the run; otherwise it says how many inputs it replayed.
#include "FuzzSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int arg = 1; arg < argc; ++arg) {
        const std::filesystem::path named(argv[arg]);
        if (!std::filesystem::is_directory(named)) {
            inputs.push_back(named);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(named)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const std::filesystem::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        const std::string bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        static_cast<void>(LLVMFuzzerTestOneInput(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }
    std::filesystem::remove_all(qif2ldx::fuzz::ScratchFolder());
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
