#pragma once
// Smooth value noise that wraps after a whole number of cells each way, for the effect pictures
// that must tile (the flame texture scrolls through itself).
#include <cmath>
#include <cstdint>

namespace hg::bake::tile_noise {

inline float hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

// 0 to 1; x and y in cells, wrapping after periodX and periodY cells.
inline float value(float x, float y, int periodX, int periodY, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto wrap = [](int v, int p) { return ((v % p) + p) % p; };
    const int x0 = wrap(static_cast<int>(fx), periodX), x1 = wrap(static_cast<int>(fx) + 1, periodX);
    const int y0 = wrap(static_cast<int>(fy), periodY), y1 = wrap(static_cast<int>(fy) + 1, periodY);
    const float a = hash(x0, y0, seed), b = hash(x1, y0, seed), c = hash(x0, y1, seed), d = hash(x1, y1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

// A fractal sum over (u, v) in the unit square, 0 to 1, tiling both ways.
inline float fractal(float u, float v, int periodX, int periodY, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * value(u * static_cast<float>(periodX), v * static_cast<float>(periodY), periodX, periodY, seed + 17u * static_cast<uint32_t>(o));
        total += amplitude;
        amplitude *= 0.5f;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

}  // namespace hg::bake::tile_noise
