#pragma once
// The standard reflected CRC-32 (polynomial 0xEDB88320) that archive entries and headers carry.
#include <cstdint>
#include <span>

namespace hg {

// Continues a running checksum: start with crc = 0, feed chunks in order. Where the processor
// multiplies without carries, long runs go sixteen bytes a step.
uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);
// The same through the byte tables alone, on every processor.
uint32_t crc32ByTables(std::span<const uint8_t> bytes, uint32_t crc = 0);

}  // namespace hg
