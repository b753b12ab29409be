#pragma once
// Helpers for the decoder tests: file bytes, and pictures as other programs decode them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace hg::test {

inline std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    const std::string text = readText(path);
    return {text.begin(), text.end()};
}

// Runs a shell command in `folder` and returns what it wrote to `output` there; empty on failure.
inline std::vector<uint8_t> produce(const ScratchDir& folder, const std::string& command, const std::string& output) {
    std::filesystem::remove(folder / output);
    if (runIn(folder.path(), command).exitCode != 0) return {};
    return readBytes(folder / output);
}

// Reverses the row order of packed rows of `rowBytes` each.
inline std::vector<uint8_t> flipRows(const std::vector<uint8_t>& pixels, size_t rowBytes) {
    std::vector<uint8_t> flipped;
    for (size_t row = pixels.size() / rowBytes; row-- > 0;)
        flipped.insert(flipped.end(), pixels.begin() + row * rowBytes, pixels.begin() + (row + 1) * rowBytes);
    return flipped;
}

}  // namespace hg::test
