// Runs a fuzz target over saved inputs without libFuzzer: every file named on the command line and
// every file of every folder named there, in name order. The normal build's tests replay the
// committed corpora this way, so an input that once found a fault keeps being tried.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_target.h"

namespace {

namespace fs = std::filesystem;

bool readWholeFile(const fs::path& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // Exactly the file's size: a read one byte past the input lands outside the allocation.
    bytes.shrink_to_fit();
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...\n", argv[0]);
        return 2;
    }
    size_t ran = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path given = argv[i];
        std::error_code error;
        std::vector<fs::path> inputs;
        if (fs::is_directory(given, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(given, error)) {
                if (entry.is_regular_file()) inputs.push_back(entry.path());
            }
            // An empty folder means a lost corpus, not a passing test.
            if (error || inputs.empty()) {
                std::fprintf(stderr, "replay: no inputs in %s\n", given.c_str());
                return 1;
            }
            std::sort(inputs.begin(), inputs.end());
        } else {
            inputs.push_back(given);
        }
        for (const fs::path& input : inputs) {
            std::vector<uint8_t> bytes;
            if (!readWholeFile(input, bytes)) {
                std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++ran;
        }
    }
    std::printf("replay: ran %zu inputs\n", ran);
    return 0;
}
