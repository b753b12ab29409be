#include "bake/canvas.h"

#include <algorithm>
#include <cmath>

#include "bake/paint.h"

namespace hg::bake {

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour withAlpha(Colour c, float alpha) {
    c.a = alpha;
    return c;
}

void Canvas::blend(int x, int y, Colour colour, float coverage) {
    if (!contains(x, y)) return;
    const float alpha = std::clamp(colour.a * coverage, 0.0f, 1.0f);
    if (alpha <= 0.0f) return;
    Pixel& p = at(x, y);
    const float keep = 1.0f - alpha;
    p.r = colour.r * alpha + p.r * keep;
    p.g = colour.g * alpha + p.g * keep;
    p.b = colour.b * alpha + p.b * keep;
    p.a = alpha + p.a * keep;
}

namespace {

uint8_t toByte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

Image toImage(const Canvas& canvas, int components) {
    Image image;
    image.width = canvas.width();
    image.height = canvas.height();
    image.components = components;
    image.pixels.reserve(size_t(canvas.width()) * size_t(canvas.height()) * size_t(components));

    // Colour for the transparent pixels: the ink's colour spread outwards and renormalised.
    Canvas spread;
    if (components == 4) {
        spread = canvas;
        blur(spread, 6.0f);
    }
    for (size_t i = 0; i < canvas.pixels().size(); ++i) {
        const Pixel& p = canvas.pixels()[i];
        if (components == 3) {
            image.pixels.insert(image.pixels.end(), {toByte(p.r), toByte(p.g), toByte(p.b)});
            continue;
        }
        const uint8_t alpha = toByte(p.a);
        const Pixel& source = alpha == 0 ? spread.pixels()[i] : p;
        const float scale = source.a > 1e-6f ? 1.0f / source.a : 0.0f;
        image.pixels.insert(image.pixels.end(),
                            {toByte(source.r * scale), toByte(source.g * scale), toByte(source.b * scale), alpha});
    }
    return image;
}

}  // namespace hg::bake
