#pragma once
// A decoded picture, ready for the texture upload.
//
// Every decoder yields red first: components 3 means R, G, B and maps to GL_RGB; components 4
// means R, G, B, A and maps to GL_RGBA. Rows are packed without padding (set GL_UNPACK_ALIGNMENT
// to 1 before handing rows whose byte count is not a multiple of 4 to GL).
//
// Row order is the one each format gives, never changed by the upload:
//   TGA  - rows in file order (our files store the bottom row first, as GL expects), 3 or 4 components
//   JPEG - top row first, always 3 components
//   BMP  - bottom row first whatever the file's order, always 3 components
#include <cstdint>
#include <optional>
#include <vector>

namespace hg {

struct Image {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<uint8_t> pixels;  // width * height * components bytes
};

// True when the picture has no alpha or every pixel's alpha is 255.
inline bool isFullyOpaque(const Image& image) {
    if (image.components != 4) return true;
    for (size_t at = 3; at < image.pixels.size(); at += 4) {
        if (image.pixels[at] != 255) return false;
    }
    return true;
}

// No picture we load comes near this (8192 x 8192); a header claiming more is damaged, and a tiny
// file must not be able to make us allocate gigabytes.
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 26;

// The byte count of a width x height picture of `components` bytes per pixel, or nothing when a
// side is zero or the picture is larger than kMaxImagePixels.
inline std::optional<size_t> imageByteCount(uint64_t width, uint64_t height, int components) {
    if (width == 0 || height == 0 || width > kMaxImagePixels || height > kMaxImagePixels) return std::nullopt;
    if (width * height > kMaxImagePixels) return std::nullopt;
    return static_cast<size_t>(width * height * static_cast<uint64_t>(components));
}

}  // namespace hg
