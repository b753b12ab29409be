#pragma once
// Truevision TGA, uncompressed true colour: 24 bits (B, G, R) or 32 bits (B, G, R, A with 8
// attribute bits). The file stores the bottom row first (origin bit clear), which is the order
// the texture upload hands to GL, so the picture's top row is the last row of the file.
#include <cstdint>
#include <vector>

#include "core/image.h"

namespace hg::bake {

// `image` is top row first with 3 components (written as 24 bits) or 4 (32 bits); its pixel
// count must match its size. Any other shape gives an empty result.
std::vector<uint8_t> encodeTga(const Image& image);

}  // namespace hg::bake
