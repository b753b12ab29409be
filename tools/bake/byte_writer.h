#pragma once
// Little-endian output for the program's own binary files.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "bake/error.h"

namespace hg::bake {

class ByteWriter {
public:
    void int32(int32_t v) { raw(&v, 4); }
    void byte(uint8_t v) { bytes_.push_back(v); }
    void float32(float v) { raw(&v, 4); }
    // An int32 byte count and the bytes, without a terminator.
    void string(const std::string& text) {
        if (text.size() > 2999) throw BakeError("string field too long: " + text.substr(0, 40));
        int32(static_cast<int32_t>(text.size()));
        for (char c : text) bytes_.push_back(static_cast<uint8_t>(c));
    }
    size_t size() const { return bytes_.size(); }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    void raw(const void* p, size_t n) {
        static_assert(std::endian::native == std::endian::little, "numbers are laid out as they are in memory");
        const auto* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) bytes_.push_back(b[i]);
    }
    std::vector<uint8_t> bytes_;
};

}  // namespace hg::bake
