#pragma once
// Little-endian field reads for the image headers. Callers check the span is long enough first.
#include <cstddef>
#include <cstdint>
#include <span>

namespace hg::le {

inline uint16_t u16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline uint32_t u32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

inline int32_t i32(std::span<const uint8_t> bytes, size_t offset) { return static_cast<int32_t>(u32(bytes, offset)); }

}  // namespace hg::le
