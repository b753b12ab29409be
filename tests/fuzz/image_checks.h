#pragma once
// What the image fuzz targets check of a decoded picture, and the plain-data part of its upload:
// the mipmap chain a picture with power-of-two sides is halved into.
#include <algorithm>

#include "core/image.h"
#include "fuzz_target.h"
#include "image/texture_upload.h"

namespace hg::fuzz {

inline bool isPowerOfTwo(int side) { return side > 0 && (side & (side - 1)) == 0; }

inline void checkAndHalve(const Image& image, int components) {
    check(image.width > 0 && image.height > 0, "a picture has both sides");
    check(image.components == components, "the format's component count");
    check(uint64_t(image.width) * uint64_t(image.height) <= kMaxImagePixels, "no picture beyond the pixel limit");
    check(image.pixels.size() == size_t(image.width) * size_t(image.height) * size_t(image.components),
          "width * height * components bytes");
    isFullyOpaque(image);
    if (!isPowerOfTwo(image.width) || !isPowerOfTwo(image.height)) return;
    Image level = image;
    while (level.width > 1 || level.height > 1) {
        Image half = halveImage(level);
        check(half.width == std::max(1, level.width / 2) && half.height == std::max(1, level.height / 2),
              "each mipmap level halves both sides");
        check(half.pixels.size() == size_t(half.width) * size_t(half.height) * size_t(half.components),
              "a mipmap level is whole");
        level = std::move(half);
    }
}

}  // namespace hg::fuzz
