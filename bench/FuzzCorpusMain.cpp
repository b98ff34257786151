// A plain driver for a fuzz target where libFuzzer is not at hand: it runs
// the target's own entry points over every file named on the command line
// (folders: each regular file in them, in name order), once each, and ends
// with status 0 after the last. A fault stops it as it would stop libFuzzer.
// Used by the test command to run a target over a fixed corpus in every
// build.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[i], ec)) {
                if (entry.is_regular_file(ec)) {
                    inputs.push_back(entry.path());
                }
            }
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s <file or folder>...: no inputs\n", argv[0]);
        return 2;
    }
    (void)LLVMFuzzerInitialize(&argc, &argv);
    for (const fs::path& input : inputs) {
        const fuzz::Bytes bytes = fuzz::ReadWholeFile(input.string());
        (void)LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs run\n", inputs.size());
    return 0;
}
