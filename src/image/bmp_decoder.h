#pragma once
// Windows bitmaps (device-independent bitmaps), with or without the 14-byte file header.
//
// Headers: core (12 bytes) and info (40 bytes, and its longer successors of 52, 56, 108 and 124
// bytes). Depths: 1, 4 and 8 bits through the colour table; 16 bits (5-5-5, or any masks given as
// bit fields); 24 bits; 32 bits (8-8-8 with the top byte ignored, or bit fields). Run-length
// coded bitmaps are refused.
//
// Output: components 3 (R, G, B), bottom row first whether the file stores its rows bottom-up or
// top-down; the 4-byte row padding is dropped and any alpha is discarded. Channels narrower than
// 8 bits are widened to the full range by repeating their bits (5-bit 31 gives 255).
#include <cstdint>
#include <optional>
#include <span>

#include "core/image.h"

namespace hg {

std::optional<Image> decodeBmp(std::span<const uint8_t> bytes);

}  // namespace hg
