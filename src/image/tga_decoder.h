#pragma once
// Truevision TGA: uncompressed 16, 24 and 32 bits per pixel, run-length coded 24 and 32 bits.
//
// Output: components 3 (R, G, B) for 16 and 24 bits, 4 (R, G, B, A) for 32 bits; rows in file
// order. The origin and alpha bits of the descriptor and any colour map are not looked at.
// A 16-bit pixel widens each 5-bit field with zero low bits (0x7FFF gives F8 F8 F8) and drops
// the top bit. Grayscale and colour-mapped files (8 bits) are refused, as are run-length packets
// that run past the last pixel or the end of the data, and pixel data shorter than the header says.
#include <cstdint>
#include <optional>
#include <span>

#include "core/image.h"

namespace hg {

std::optional<Image> decodeTga(std::span<const uint8_t> bytes);

}  // namespace hg
