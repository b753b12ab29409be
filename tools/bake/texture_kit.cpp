#include "bake/texture_kit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bake/ornaments.h"
#include "bake/paint.h"

namespace hg::bake {

namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float unitHash(int x, int y, uint32_t seed) { return float(hash(x, y, seed) >> 8) / float(1u << 24); }

int wrap(int i, int period) {
    const int r = i % period;
    return r < 0 ? r + period : r;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float frac(float x) { return x - std::floor(x); }

float smoothstep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Colour clampColour(Colour c) {
    return {std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f), 1.0f};
}

}  // namespace

Colour shade(Colour c, float f) { return {c.r * f, c.g * f, c.b * f, c.a}; }

float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float fx = fade(x - float(ix)), fy = fade(y - float(iy));
    auto at = [&](int dx, int dy) { return unitHash(wrap(ix + dx, periodX), wrap(iy + dy, periodY), seed); };
    const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * fx;
    const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

float gradientNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float rx = x - float(ix), ry = y - float(iy);
    auto slope = [&](int dx, int dy) {
        const float a = unitHash(wrap(ix + dx, periodX), wrap(iy + dy, periodY), seed) * kTau;
        return std::cos(a) * (rx - float(dx)) + std::sin(a) * (ry - float(dy));
    };
    const float fx = fade(rx), fy = fade(ry);
    const float top = slope(0, 0) + (slope(1, 0) - slope(0, 0)) * fx;
    const float bottom = slope(0, 1) + (slope(1, 1) - slope(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

float fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed, float gain) {
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    int px = periodX, py = periodY;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * gradientNoise(u * float(px), v * float(py), px, py, seed + uint32_t(o) * 7919u);
        total += amplitude;
        amplitude *= gain;
        px *= 2;
        py *= 2;
    }
    return total > 0.0f ? sum / total * 1.6f : 0.0f;
}

Canvas makeTexture(int size, const std::function<Colour(float u, float v)>& colourAt) {
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Colour c = clampColour(colourAt((float(x) + 0.5f) / float(size), (float(y) + 0.5f) / float(size)));
            canvas.at(x, y) = {c.r, c.g, c.b, 1.0f};
        }
    }
    return canvas;
}

Canvas woodGrain(int size, Colour early, Colour late, int rings, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        // Rings bent by slow noise, then fine streaks and pores along the grain.
        const float bend = 0.9f * fbm(u, v, 2, 1, 3, seed) + 0.25f * fbm(u, v, 6, 2, 3, seed + 1);
        const float t = frac(u * float(rings) + bend);
        const float ring = smoothstep(0.45f, 0.85f, t) * (1.0f - smoothstep(0.9f, 1.0f, t));
        const float streak = fbm(u, v, 48, 2, 3, seed + 2);
        const float pore = valueNoise(u * 160.0f, v * 10.0f, 160, 10, seed + 3);
        float f = 0.25f + 0.6f * ring + 0.18f * streak;
        if (pore > 0.82f) f += (pore - 0.82f) * 2.5f;
        Colour c = mix(early, late, std::clamp(f, 0.0f, 1.0f));
        return shade(c, 0.95f + 0.1f * fbm(u, v, 3, 3, 2, seed + 4));
    });
}

Canvas brushedMetal(int size, Colour base, Colour highlight, Colour tarnish, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float streak = fbm(u, v, 2, 96, 3, seed);
        const float sheen = 0.5f + 0.5f * fbm(u, v, 2, 2, 3, seed + 1);
        const float blotch = smoothstep(0.25f, 0.75f, 0.5f + 0.5f * fbm(u, v, 4, 4, 4, seed + 2));
        Colour c = mix(base, highlight, std::clamp(0.35f * sheen + 0.25f * streak + 0.2f, 0.0f, 1.0f));
        c = mix(c, tarnish, 0.35f * blotch);
        const int px = int(u * float(size)), py = int(v * float(size));
        if (unitHash(px, py, seed + 3) > 0.996f) c = mix(c, highlight, 0.7f);
        return c;
    });
}

Canvas wax(int size, Colour colour, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float mottle = fbm(u, v, 3, 3, 4, seed);
        const float drip = std::max(0.0f, fbm(u, v, 20, 1, 2, seed + 1));
        return shade(colour, 0.95f + 0.05f * mottle + 0.1f * drip);
    });
}

Canvas knitted(int size, int stitches, const std::function<Colour(int column, int row)>& colourAt, uint32_t seed) {
    const int rows = stitches * 5 / 4;
    return makeTexture(size, [&](float u, float v) {
        const float cx = u * float(stitches), cy = v * float(rows);
        const int column = int(cx), row = int(cy);
        const float lx = cx - float(column), ly = cy - float(row);
        // Two slanted legs make a V; each leg is an ellipse, brightest along its middle.
        float best = 0.0f;
        for (int leg = 0; leg < 2; ++leg) {
            const float side = leg == 0 ? -1.0f : 1.0f;
            const float dx = lx - (0.5f + side * 0.22f), dy = ly - 0.5f;
            const float a = side * 0.6f;
            const float ax = dx * std::cos(a) - dy * std::sin(a), ay = dx * std::sin(a) + dy * std::cos(a);
            const float r = std::sqrt((ax / 0.2f) * (ax / 0.2f) + (ay / 0.55f) * (ay / 0.55f));
            best = std::max(best, 1.0f - r);
        }
        const float body = smoothstep(0.0f, 0.5f, best);
        const float fibre = 0.5f + 0.5f * fbm(u, v, stitches * 2, rows * 2, 2, seed);
        const Colour yarn = colourAt(column, row);
        return shade(yarn, 0.35f + 0.65f * body * (0.85f + 0.3f * fibre));
    });
}

Canvas woven(int size, int threads, Colour warp, Colour weft, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float cx = u * float(threads), cy = v * float(threads);
        const int i = int(cx), j = int(cy);
        const float lx = cx - float(i), ly = cy - float(j);
        const bool warpOnTop = ((i + j) & 1) == 0;
        // Across the visible thread it is round (bright in the middle); along it, it dips where it
        // goes under.
        const float across = warpOnTop ? lx : ly, along = warpOnTop ? ly : lx;
        const float round = std::sin(std::numbers::pi_v<float> * std::clamp(across * 1.1f - 0.05f, 0.0f, 1.0f));
        const float dip = 0.75f + 0.25f * std::sin(std::numbers::pi_v<float> * along);
        const float fibre = 0.9f + 0.1f * fbm(u, v, threads, threads, 2, seed);
        return shade(warpOnTop ? warp : weft, (0.45f + 0.55f * round) * dip * fibre);
    });
}

Canvas plaid(int size, std::span<const Stripe> sett, int repeats, uint32_t seed) {
    int perRepeat = 0;
    for (const Stripe& s : sett) perRepeat += s.threads;
    const int threads = std::max(1, perRepeat * repeats);
    auto colourOf = [&](int thread) {
        int t = wrap(thread, perRepeat);
        for (const Stripe& s : sett) {
            if (t < s.threads) return s.colour;
            t -= s.threads;
        }
        return sett.back().colour;
    };
    return makeTexture(size, [&](float u, float v) {
        // Two-over-two twill: average a few samples per pixel so the weave reads as a fine texture.
        Colour sum{};
        for (int sy = 0; sy < 2; ++sy) {
            for (int sx = 0; sx < 2; ++sx) {
                const float cx = (u + (float(sx) - 0.5f) * 0.5f / float(size)) * float(threads);
                const float cy = (v + (float(sy) - 0.5f) * 0.5f / float(size)) * float(threads);
                const int i = int(std::floor(cx)), j = int(std::floor(cy));
                const bool warpOnTop = wrap(i + j, 4) < 2;
                const Colour c = warpOnTop ? colourOf(i) : colourOf(j);
                const float lx = cx - float(i), ly = cy - float(j);
                const float round = 0.8f + 0.2f * std::sin(std::numbers::pi_v<float> * (warpOnTop ? lx : ly));
                sum = {sum.r + c.r * round * 0.25f, sum.g + c.g * round * 0.25f, sum.b + c.b * round * 0.25f, 1.0f};
            }
        }
        return shade(sum, 0.94f + 0.06f * fbm(u, v, 8, 8, 3, seed));
    });
}

Colour paintedAt(Colour colour, float u, float v, uint32_t seed, float strength) {
    return shade(colour, 1.0f + strength * fbm(u, v, 2, 24, 3, seed) + 0.5f * strength * fbm(u, v, 4, 4, 2, seed + 1));
}

Canvas painted(int size, Colour colour, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) { return paintedAt(colour, u, v, seed); });
}

Canvas paintedStripes(int size, Colour a, Colour b, int count, int slant, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float t = frac((u + float(slant) * v / float(std::max(count, 1))) * float(count));
        const float edge = 0.5f * float(count) / float(size) * 2.0f;
        const float w = smoothstep(0.0f, edge, t) * (1.0f - smoothstep(0.5f, 0.5f + edge, t));
        return paintedAt(mix(b, a, w), u, v, seed);
    });
}

Canvas paintedDots(int size, Colour ground, Colour dotColour, int count, float radius, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const float cx = u * float(count), cy = v * float(count);
        float nearest = 1e9f;
        for (int dy = -1; dy <= 1; ++dy) {
            const int row = int(std::floor(cy)) + dy;
            const float shift = (wrap(row, 2) == 1) ? 0.5f : 0.0f;
            for (int dx = -1; dx <= 1; ++dx) {
                const float px = std::floor(cx - shift) + float(dx) + 0.5f + shift, py = float(row) + 0.5f;
                nearest = std::min(nearest, std::hypot(cx - px, cy - py));
            }
        }
        const float edge = float(count) / float(size);
        const float inDot = 1.0f - smoothstep(radius - edge, radius + edge, nearest);
        const Colour dot = shade(dotColour, 1.05f - 0.25f * nearest / std::max(radius, 1e-3f));
        return paintedAt(mix(ground, dot, inDot), u, v, seed);
    });
}

Canvas firNeedles(int size, uint32_t seed) {
    Canvas canvas = makeTexture(size, [&](float u, float v) {
        return shade(rgb(0x1C4A2A), 0.8f + 0.25f * fbm(u, v, 4, 4, 3, seed));
    });
    // Needles as short strokes in a few greens, drawn with wrap-around so the picture tiles.
    Random random(seed);
    const Colour greens[] = {rgb(0x2F6B3A), rgb(0x3E7D44), rgb(0x153A22), rgb(0x4F8F4E), rgb(0x24573A)};
    const int strokes = size * size / 90;
    for (int i = 0; i < strokes; ++i) {
        const float x = random.uniform(0.0f, float(size)), y = random.uniform(0.0f, float(size));
        const float a = random.uniform(-0.6f, 0.6f) + (random.uniform(0.0f, 1.0f) < 0.5f ? 0.8f : 2.35f);
        const float len = random.uniform(0.04f, 0.07f) * float(size);
        const Colour c = greens[random.next() % 5];
        Plane mask(int(len) + 6, int(len) + 6);
        const Point centre{mask.width() * 0.5f, mask.height() * 0.5f};
        addLine(mask, {centre.x - std::cos(a) * len * 0.5f, centre.y - std::sin(a) * len * 0.5f},
                {centre.x + std::cos(a) * len * 0.5f, centre.y + std::sin(a) * len * 0.5f}, float(size) / 180.0f + 1.0f);
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox)
                paintMask(canvas, mask, int(x - centre.x) + ox * size, int(y - centre.y) + oy * size, c);
    }
    return canvas;
}

void placeInAtlas(Canvas& atlas, const Canvas& tile, int x, int y, int w, int h) {
    const Canvas scaled = (tile.width() == w && tile.height() == h) ? tile : resample(tile, w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (atlas.contains(x + i, y + j)) atlas.at(x + i, y + j) = scaled.at(i, j);
}

}  // namespace hg::bake
