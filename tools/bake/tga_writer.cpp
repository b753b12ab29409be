#include "bake/tga_writer.h"

namespace hg::bake {

std::vector<uint8_t> encodeTga(const Image& image) {
    const int c = image.components;
    if ((c != 3 && c != 4) || image.width <= 0 || image.height <= 0 || image.width > 0xFFFF ||
        image.height > 0xFFFF || image.pixels.size() != size_t(image.width) * size_t(image.height) * size_t(c))
        return {};
    std::vector<uint8_t> out = {
        0,                           // no image id
        0,                           // no colour map
        2,                           // uncompressed true colour
        0, 0, 0, 0, 0,               // colour map fields, unused
        0, 0, 0, 0,                  // x and y origin
        uint8_t(image.width), uint8_t(image.width >> 8),
        uint8_t(image.height), uint8_t(image.height >> 8),
        uint8_t(c * 8),
        uint8_t(c == 4 ? 8 : 0),     // alpha bits; origin bits clear: bottom-left, bottom row first
    };
    out.reserve(out.size() + image.pixels.size());
    const size_t rowBytes = size_t(image.width) * size_t(c);
    for (int row = image.height - 1; row >= 0; --row) {
        const uint8_t* p = image.pixels.data() + size_t(row) * rowBytes;
        for (int x = 0; x < image.width; ++x, p += c) {
            out.insert(out.end(), {p[2], p[1], p[0]});
            if (c == 4) out.push_back(p[3]);
        }
    }
    return out;
}

}  // namespace hg::bake
