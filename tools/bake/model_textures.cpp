// The textures of the room's models: atlases of materials (every model keeps its parts in one or
// two pictures so it draws in few passes), the clock's dial, fir needles, knitting and plaid.
#include <cmath>
#include <numbers>
#include <string>

#include "bake/model_parts.h"
#include "bake/paint.h"
#include "bake/text.h"
#include "bake/texture_kit.h"

#ifndef HG_DEJAVU_DIR
#define HG_DEJAVU_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace hg::bake {

namespace {

constexpr int kAtlas = 512;

void putCell(Canvas& atlas, int column, int row, int columns, int rows, const Canvas& tile) {
    const PixelRect r = gridPixels(column, row, columns, rows, atlas.width());
    placeInAtlas(atlas, tile, r.x, r.y, r.w, r.h);
}

Canvas brass(int size, uint32_t seed) { return brushedMetal(size, rgb(0xB08A3E), rgb(0xF2D78A), rgb(0x6B5426), seed); }
Canvas gold(int size, uint32_t seed) { return brushedMetal(size, rgb(0xC9962B), rgb(0xFFE79A), rgb(0x8A5E1A), seed); }
Canvas walnut(int size, uint32_t seed) { return woodGrain(size, rgb(0x7A4A2A), rgb(0x3A1E10), 9, seed); }

Canvas fur(int size, Colour base, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float clump = fbm(u, v, 6, 6, 3, seed);
        const float strand = fbm(u, v, 24, 96, 2, seed + 1);
        return shade(base, 0.85f + 0.12f * clump + 0.14f * strand);
    });
}

Canvas satin(int size, Colour colour, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float sheen = 0.5f + 0.5f * std::sin(u * 2.0f * std::numbers::pi_v<float> * 2.0f + 2.0f * fbm(u, v, 2, 2, 2, seed));
        return shade(colour, 0.8f + 0.35f * sheen);
    });
}

Canvas solid(int size, Colour colour, uint32_t seed, float strength = 0.05f) {
    return makeTexture(size, [&](float u, float v) { return paintedAt(colour, u, v, seed, strength); });
}

// A glossy ball's colour: flat paint with a faint mottling; the shine comes from the reflection pass.
Canvas lacquer(int size, Colour colour, uint32_t seed) { return solid(size, colour, seed, 0.03f); }

Canvas candleAtlas() {
    Canvas atlas(kAtlas, kAtlas);
    putCell(atlas, 0, 0, 2, 2, wax(256, rgb(0xF3E6C8), 11));
    putCell(atlas, 1, 0, 2, 2, wax(256, rgb(0xA8141E), 12));
    putCell(atlas, 0, 1, 2, 2, brass(256, 13));
    putCell(atlas, 1, 1, 2, 2, solid(256, rgb(0x1A1410), 14));
    return atlas;
}

Canvas clockAtlas() {
    Canvas atlas(kAtlas, kAtlas);
    putCell(atlas, 0, 0, 2, 2, walnut(256, 21));
    putCell(atlas, 1, 0, 2, 2, woodGrain(256, rgb(0x9A5A2E), rgb(0x5A2A14), 14, 22));
    putCell(atlas, 0, 1, 2, 2, brass(256, 23));
    putCell(atlas, 1, 1, 2, 2, brushedMetal(256, rgb(0x141826), rgb(0x2C3550), rgb(0x0A0A10), 24));
    return atlas;
}

// The enamel dial: cream ground, a minute track, upright serif numerals and a gold rim. The
// picture's right is the dial's right as seen from the front.
Canvas clockDial() {
    const int size = 512;
    const float c = size * 0.5f;
    Canvas dial = makeTexture(size, [&](float u, float v) {
        const float r = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
        Colour ground = mix(rgb(0xF8F0DC), rgb(0xE6D6B0), std::clamp(r * r, 0.0f, 1.0f));
        ground = paintedAt(ground, u, v, 31, 0.03f);
        if (r > 0.93f) ground = mix(rgb(0xD9B45A), rgb(0x8C6A28), std::clamp((r - 0.93f) / 0.07f, 0.0f, 1.0f));
        return ground;
    });
    const Colour ink = rgb(0x1E1A16);
    // Minute track: two thin circles and a tick per minute, longer at the hours.
    Plane ticks(size, size);
    for (int i = 0; i < 60; ++i) {
        const float a = float(i) / 60.0f * 2.0f * std::numbers::pi_v<float>;
        const float outer = c * 0.88f, inner = c * (i % 5 == 0 ? 0.77f : 0.82f);
        const float sx = std::sin(a), sy = -std::cos(a);
        addLine(ticks, {c + sx * inner, c + sy * inner}, {c + sx * outer, c + sy * outer}, i % 5 == 0 ? 4.5f : 2.0f);
    }
    for (float radius : {c * 0.885f, c * 0.815f}) {
        for (int i = 0; i < 360; ++i) {
            const float a0 = float(i) / 360.0f * 2.0f * std::numbers::pi_v<float>, a1 = float(i + 1) / 360.0f * 2.0f * std::numbers::pi_v<float>;
            addLine(ticks, {c + std::sin(a0) * radius, c - std::cos(a0) * radius},
                    {c + std::sin(a1) * radius, c - std::cos(a1) * radius}, 1.5f);
        }
    }
    paintMask(dial, ticks, 0, 0, ink);
    const Font font(std::string(HG_DEJAVU_DIR) + "/DejaVuSerif.ttf");
    for (int hour = 1; hour <= 12; ++hour) {
        const TextInk text = font.render(std::to_string(hour), 52.0f, 0.88f, 2);
        const float a = float(hour) / 12.0f * 2.0f * std::numbers::pi_v<float>;
        const float x = c + std::sin(a) * c * 0.6f, y = c - std::cos(a) * c * 0.6f;
        const int left = int(x - float(text.inkLeft + text.inkRight) * 0.5f);
        const int top = int(y - float(text.inkTop + text.inkBottom) * 0.5f);
        paintMask(dial, text.coverage, left, top, ink);
    }
    // A small engraved rosette at the centre.
    Plane rosette(size, size);
    for (int i = 0; i < 12; ++i) {
        const float a = float(i) / 12.0f * 2.0f * std::numbers::pi_v<float>;
        addLine(rosette, {c, c}, {c + std::sin(a) * 60.0f, c - std::cos(a) * 60.0f}, 1.2f);
    }
    paintMask(dial, rosette, 0, 0, withAlpha(rgb(0xB89A5A), 0.6f));
    return dial;
}

Canvas trainAtlas() {
    Canvas atlas(kAtlas, kAtlas);
    const int g = 4;
    putCell(atlas, 0, 0, g, g, solid(128, rgb(0xB3181C), 41));               // red paint
    putCell(atlas, 1, 0, g, g, solid(128, rgb(0x1F5A32), 42));               // green paint
    putCell(atlas, 2, 0, g, g, solid(128, rgb(0x1A1A1E), 43));               // black paint
    putCell(atlas, 3, 0, g, g, brass(128, 44));                              // brass
    putCell(atlas, 0, 1, g, g, gold(128, 45));                               // gold
    putCell(atlas, 1, 1, g, g, woodGrain(128, rgb(0x6A4428), rgb(0x3A2414), 4, 46));  // ties
    putCell(atlas, 2, 1, g, g, brushedMetal(128, rgb(0x7C7E84), rgb(0xC8CCD4), rgb(0x4A4640), 47));  // rail steel
    putCell(atlas, 3, 1, g, g, solid(128, rgb(0xF0E2C0), 48));               // cream
    putCell(atlas, 0, 2, g, g, solid(128, rgb(0x1E3A78), 49));               // blue paint
    putCell(atlas, 1, 2, g, g, paintedDots(128, rgb(0xB3181C), rgb(0xF2D06A), 4, 0.18f, 50));   // gift paper
    putCell(atlas, 2, 2, g, g, paintedStripes(128, rgb(0x1F5A32), rgb(0xF3EBD8), 4, 1, 51));  // gift paper
    putCell(atlas, 3, 2, g, g, solid(128, rgb(0x2A2218), 52));               // dark window
    putCell(atlas, 0, 3, g, g, woodGrain(128, rgb(0x9A6A3E), rgb(0x6A4428), 3, 53));  // wagon bed
    putCell(atlas, 1, 3, g, g, solid(128, rgb(0xE8E8EC), 54));               // white
    putCell(atlas, 2, 3, g, g, solid(128, rgb(0x6B1016), 55));               // dark red
    putCell(atlas, 3, 3, g, g, solid(128, rgb(0x3A3A40), 56));               // dark steel
    return atlas;
}

Canvas teddyAtlas() {
    Canvas atlas(kAtlas, kAtlas);
    putCell(atlas, 0, 0, 2, 2, fur(256, rgb(0x9A6434), 61));
    putCell(atlas, 1, 0, 2, 2, fur(256, rgb(0xE2C08E), 62));
    putCell(atlas, 0, 1, 2, 2, solid(256, rgb(0x141010), 63));
    putCell(atlas, 1, 1, 2, 2, satin(256, rgb(0xB0141E), 64));
    return atlas;
}

Canvas treeAtlas() {
    Canvas atlas(kAtlas, kAtlas);
    const int g = 4;
    putCell(atlas, 0, 0, g, g, lacquer(128, rgb(0xB0101A), 71));  // red bauble
    putCell(atlas, 1, 0, g, g, gold(128, 72));                    // gold bauble
    putCell(atlas, 2, 0, g, g, lacquer(128, rgb(0xC8CED8), 73));  // silver bauble
    putCell(atlas, 3, 0, g, g, lacquer(128, rgb(0x1F3C8A), 74));  // blue bauble
    putCell(atlas, 0, 1, g, g, lacquer(128, rgb(0x1A6A3A), 75));  // green bauble
    putCell(atlas, 1, 1, g, g, woodGrain(128, rgb(0x5A3A24), rgb(0x2E1C10), 6, 76));  // bark
    putCell(atlas, 2, 1, g, g, solid(128, rgb(0x8E1418), 77));   // tub paint
    putCell(atlas, 3, 1, g, g, brushedMetal(128, rgb(0xE8B830), rgb(0xFFF4B0), rgb(0xC08A20), 78));  // star
    putCell(atlas, 0, 2, g, g, solid(128, rgb(0xFF5A4A), 79, 0.02f));  // bulbs
    putCell(atlas, 1, 2, g, g, solid(128, rgb(0x6AF07A), 80, 0.02f));
    putCell(atlas, 2, 2, g, g, solid(128, rgb(0x6A9AFF), 81, 0.02f));
    putCell(atlas, 3, 2, g, g, solid(128, rgb(0xFFE070), 82, 0.02f));
    putCell(atlas, 0, 3, g, g, solid(128, rgb(0xF4F0E8), 83));   // white
    putCell(atlas, 1, 3, g, g, brass(128, 84));                  // caps, tub bands
    putCell(atlas, 2, 3, g, g, paintedStripes(128, rgb(0xC0141C), rgb(0xF6F0E6), 3, 1, 85));  // candy stripes
    putCell(atlas, 3, 3, g, g, woodGrain(128, rgb(0x7A4A2A), rgb(0x4A2A16), 5, 86));  // tub staves
    return atlas;
}

// The bulbs glow in their own colours; everything else on the glow map stays black.
Canvas treeGlow(const Canvas& atlas) {
    Canvas glow(kAtlas, kAtlas);
    for (int y = 0; y < kAtlas; ++y)
        for (int x = 0; x < kAtlas; ++x) glow.at(x, y) = {0, 0, 0, 1};
    for (int column = 0; column < 4; ++column) {
        const PixelRect r = gridPixels(column, 2, 4, 4, kAtlas);
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                const Pixel p = atlas.at(x, y);
                glow.at(x, y) = {p.r * 0.8f, p.g * 0.8f, p.b * 0.8f, 1.0f};
            }
    }
    const PixelRect star = gridPixels(3, 1, 4, 4, kAtlas);
    for (int y = star.y; y < star.y + star.h; ++y)
        for (int x = star.x; x < star.x + star.w; ++x) {
            const Pixel p = atlas.at(x, y);
            glow.at(x, y) = {p.r * 0.5f, p.g * 0.5f, p.b * 0.5f, 1.0f};
        }
    return glow;
}

// A warm room seen in a ball: firelight low on one side, dark above, a window's cool glint.
Canvas warmReflection() {
    return makeTexture(256, [](float u, float v) {
        const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f, r = std::hypot(x, y);
        Colour c = mix(rgb(0x3A2418), rgb(0x0C0806), std::clamp(r, 0.0f, 1.0f));
        const float fire = std::exp(-((x + 0.35f) * (x + 0.35f) + (y - 0.45f) * (y - 0.45f)) * 9.0f);
        const float window = std::exp(-((x - 0.45f) * (x - 0.45f) + (y + 0.4f) * (y + 0.4f)) * 40.0f);
        c = {c.r + 1.0f * fire + 0.35f * window, c.g + 0.6f * fire + 0.45f * window, c.b + 0.25f * fire + 0.6f * window, 1.0f};
        return c;
    });
}

// Red knitting with green and cream bands and a row of little trees; the cuff is cream.
Canvas stockingAtlas() {
    Canvas atlas(kAtlas, kAtlas);
    const Colour red = rgb(0xB0141C), green = rgb(0x1E5A30), cream = rgb(0xF2E8D4);
    Canvas body = knitted(512, 24, [&](int column, int row) {
        const int band = row % 15;
        if (band == 0 || band == 1 || band == 8 || band == 9) return green;
        if (band >= 3 && band <= 6) {
            // A little fir tree every six stitches: a triangle of cream stitches.
            const int x = column % 6, y = band - 3;  // y 0 is the tip
            return std::abs(x - 3) <= y ? cream : red;
        }
        return red;
    }, 91);
    const PixelRect bodyRect{0, 0, 384, 512};
    placeInAtlas(atlas, body, bodyRect.x, bodyRect.y, bodyRect.w, bodyRect.h);
    Canvas cuff = knitted(256, 8, [&](int, int) { return cream; }, 92);
    placeInAtlas(atlas, cuff, 384, 0, 128, 256);
    placeInAtlas(atlas, solid(128, rgb(0xC9962B), 93), 384, 256, 128, 128);  // gold loop and bell
    placeInAtlas(atlas, solid(128, green, 94), 384, 384, 128, 128);
    return atlas;
}

std::map<std::string, Canvas> makeAll() {
    std::map<std::string, Canvas> t;
    t["candle_atlas.tga"] = candleAtlas();
    t["clock_atlas.tga"] = clockAtlas();
    t["clock_dial.tga"] = clockDial();
    t["train_atlas.tga"] = trainAtlas();
    t["teddy_atlas.tga"] = teddyAtlas();
    t["tree_atlas.tga"] = treeAtlas();
    t["tree_glow.tga"] = treeGlow(t["tree_atlas.tga"]);
    t["fir_needles.tga"] = firNeedles(512, 101);
    t["plaid_red.tga"] = plaid(512, std::array{Stripe{rgb(0x9E1018), 24}, Stripe{rgb(0x1A1A1A), 4}, Stripe{rgb(0x1E4A2A), 12},
                                            Stripe{rgb(0x9E1018), 6}, Stripe{rgb(0xE8C860), 2}},
                                 4, 102);
    t["stocking_atlas.tga"] = stockingAtlas();
    t["env_warm.tga"] = warmReflection();
    return t;
}

}  // namespace

const std::map<std::string, Canvas>& modelTextures() {
    static const std::map<std::string, Canvas> textures = makeAll();
    return textures;
}

}  // namespace hg::bake
