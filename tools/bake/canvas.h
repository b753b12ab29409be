#pragma once
// The builder's picture types: a float RGBA canvas (premultiplied, top row first) to paint on,
// a single-channel plane for coverage masks, and the step from either to an 8-bit hg::Image.
//
// Painting happens in floats so blurs, glows and several layers of compositing do not band; the
// picture is rounded to bytes once, when it is written.
#include <cstdint>
#include <vector>

#include "core/image.h"

namespace hg::bake {

// A colour with straight (not premultiplied) alpha, every channel from 0 to 1.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// 0xRRGGBB with the given opacity.
constexpr Colour rgb(uint32_t hex, float alpha = 1.0f) {
    return {static_cast<float>((hex >> 16) & 0xFF) / 255.0f, static_cast<float>((hex >> 8) & 0xFF) / 255.0f,
            static_cast<float>(hex & 0xFF) / 255.0f, alpha};
}

Colour mix(Colour a, Colour b, float t);
Colour withAlpha(Colour c, float alpha);

// A premultiplied pixel.
struct Pixel {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// One float per pixel: coverage masks, glow and outline shapes. Row 0 is the top row.
class Plane {
public:
    Plane() = default;
    Plane(int width, int height) : width_(width), height_(height), values_(size_t(width) * size_t(height), 0.0f) {}
    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    float& at(int x, int y) { return values_[size_t(y) * size_t(width_) + size_t(x)]; }
    float at(int x, int y) const { return values_[size_t(y) * size_t(width_) + size_t(x)]; }
    // 0 outside the plane, so callers may sample around the edges freely.
    float sample(int x, int y) const { return contains(x, y) ? at(x, y) : 0.0f; }
    std::vector<float>& values() { return values_; }
    const std::vector<float>& values() const { return values_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<float> values_;
};

// RGBA, premultiplied, row 0 at the top; starts fully transparent.
class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * size_t(height)) {}
    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Pixel& at(int x, int y) { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    const Pixel& at(int x, int y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    std::vector<Pixel>& pixels() { return pixels_; }
    const std::vector<Pixel>& pixels() const { return pixels_; }

    // Lays `colour` over the pixel with the given coverage (0 to 1); outside the canvas nothing.
    void blend(int x, int y, Colour colour, float coverage = 1.0f);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

// The canvas in bytes, top row first, red first: components 4 keeps alpha (straight), 3 drops it
// (the picture is then taken as laid over black). Fully transparent pixels take the colour of the
// ink around them rather than black, so mipmaps and filtering do not pull dark fringes into soft
// edges; their alpha stays 0.
Image toImage(const Canvas& canvas, int components);

}  // namespace hg::bake
