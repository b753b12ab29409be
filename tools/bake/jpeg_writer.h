#pragma once
// Baseline JPEG through libjpeg, 4:2:0 YCbCr with the standard Huffman tables, written to memory.
#include <cstdint>
#include <string>
#include <vector>

#include "core/image.h"

namespace hg::bake {

// `image` is 3 components, top row first (the order JPEG stores). Quality 1-100. Empty on
// failure, with libjpeg's message in `error` when given.
std::vector<uint8_t> encodeJpeg(const Image& image, int quality, std::string* error = nullptr);

}  // namespace hg::bake
