#pragma once
// Reads a PNG the program wrote, for checks on its pixels.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace hg::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first, three bytes per pixel

    const uint8_t* at(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
    // Mean brightness (0-255) over a rectangle.
    double meanLevel(int x0, int y0, int x1, int y1) const {
        double sum = 0;
        long count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++count) sum += (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3.0;
        return count ? sum / count : 0.0;
    }
    double meanLevel() const { return meanLevel(0, 0, width, height); }
};

// Pixels of two same-sized pictures whose colour differs by more than `tolerance` in some channel.
inline int changedPixels(const Picture& a, const Picture& b, int tolerance) {
    int changed = 0;
    for (size_t i = 0; i + 2 < a.rgb.size() && i + 2 < b.rgb.size(); i += 3) {
        int most = 0;
        for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));
        changed += most > tolerance ? 1 : 0;
    }
    return changed;
}

inline std::optional<Picture> readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    Picture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return std::nullopt;
    return picture;
}

}  // namespace hg::test
