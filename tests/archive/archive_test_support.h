#pragma once
// Helpers for the archive tests: building small archives in memory and patching their headers.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hgpak/archive_writer.h"
#include "test_support.h"

namespace hg::test {

// Offsets inside an archive written by writeStoredArchive: marker (7) + main header (13).
constexpr size_t kFirstBlock = 20;
constexpr size_t kBlockHeader = 32;

inline std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

inline pak::PackItem fileItem(const std::string& name, const std::string& text) {
    return pak::PackItem{name, false, bytesOf(text), pak::dosTime(2024, 12, 24, 18, 0, 0)};
}
inline pak::PackItem folderItem(const std::string& name) {
    return pak::PackItem{name, true, {}, pak::dosTime(2024, 12, 24, 18, 0, 0)};
}

inline void patchU16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes[offset] = uint8_t(value);
    bytes[offset + 1] = uint8_t(value >> 8);
}
inline void patchU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

inline std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::filesystem::path rarTestData() { return std::filesystem::path(HG_TESTDATA_DIR) / "rar"; }

}  // namespace hg::test
