// The room's pictures: papered walls, wood, stone and brick, fabrics, the rug, paintings, books,
// glass and the moonlit landscape outside. Every picture is painted bright: the lightmaps only
// darken, so the light of the room lives there, not here. In makeTexture v runs down the picture;
// meshes have v up.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "bake/room_layout.h"
#include "bake/paint.h"
#include "bake/texture_kit.h"

namespace hg::bake::room {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float frac(float x) { return x - std::floor(x); }
float smoothstep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}
float hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFF) / 16777215.0f;
}

// Damask on cream: an ogee lattice of fine golden lines with a rosette in every cell.
Canvas wallpaper() {
    const Colour ground = rgb(0xF2E6C8), motif = rgb(0xD9C08A), stripe = rgb(0xEADAB4);
    return makeTexture(512, [&](float u, float v) {
        const float cells = 4.0f;
        const float x = u * cells, y = v * cells;
        const float wave = 0.18f * std::sin(2.0f * kPi * y);
        const float line = std::min(std::fabs(frac(x + wave) - 0.5f), std::fabs(frac(x - wave) - 0.5f));
        const float lattice = 1.0f - smoothstep(0.012f, 0.03f, line);
        const float cx = frac(x) - 0.5f, cy = frac(y + 0.5f) - 0.5f;
        const float r = std::sqrt(cx * cx + cy * cy), a = std::atan2(cy, cx);
        const float petals = 0.09f + 0.05f * std::cos(6.0f * a);
        const float rosette = (1.0f - smoothstep(petals - 0.01f, petals + 0.01f, r)) * (r > 0.035f ? 1.0f : 0.6f);
        Colour c = mix(ground, stripe, 0.5f + 0.5f * std::sin(2.0f * kPi * u * 16.0f) > 0.85f ? 0.5f : 0.0f);
        c = mix(c, motif, std::max(lattice * 0.7f, rosette * 0.55f));
        return shade(c, 0.97f + 0.05f * fbm(u, v, 8, 8, 3, 11u));
    });
}

// Wood along u (planks, beams): fine streaks stretched along the grain.
Colour woodAlongU(float u, float v, Colour light, Colour dark, uint32_t seed, int streaks = 24) {
    const float g = 0.5f + 0.5f * fbm(u, v, 2, streaks, 4, seed);
    const float fine = 0.5f + 0.5f * fbm(u, v, 4, streaks * 4, 2, seed + 7);
    return mix(light, dark, std::clamp(0.2f + 0.6f * g + 0.25f * fine, 0.0f, 1.0f));
}

Canvas floorPlanks() {
    return makeTexture(512, [&](float u, float v) {
        const int plank = static_cast<int>(v * 8.0f);
        const float pv = frac(v * 8.0f);
        const float offset = hash(plank, 0, 3u);
        const float along = frac(u + offset);
        const int piece = static_cast<int>(std::floor(u + offset)) + plank * 7;
        const float tone = 0.85f + 0.3f * hash(piece, plank, 5u);
        Colour c = woodAlongU(u, v, rgb(0xC08850), rgb(0x6E4226), 21u + static_cast<uint32_t>(plank));
        c = shade(c, tone);
        const float seam = std::min(pv, 1.0f - pv) * 8.0f;  // in planks
        if (seam < 0.03f || along < 0.004f) c = shade(c, 0.45f);
        return c;
    });
}

// Panels between stiles and rails; the chair rail and skirting sit on top as mouldings.
Canvas wainscotPanels() {
    return makeTexture(512, [&](float u, float v) {
        const float z = 1.0f - v;  // up the wall, 1 = 120 cm
        Colour c = woodAlongU(v, u, rgb(0x9A6238), rgb(0x58301A), 33u);
        const float pu = frac(u * 2.0f);
        const bool stile = pu < 0.09f || pu > 0.91f;
        const bool rail = z < 0.16f || z > 0.6f;
        if (!stile && !rail) {
            const float du = std::min(pu - 0.09f, 0.91f - pu) * 60.0f, dz = std::min(z - 0.16f, 0.6f - z) * 120.0f;
            const float edge = std::min(du, dz);
            if (edge < 3.0f) c = shade(c, du < dz ? (pu < 0.5f ? 1.25f : 0.7f) : (z < 0.38f ? 0.7f : 1.2f));
            else c = shade(c, 1.06f);
        }
        return c;
    });
}

Canvas plaster(Colour base, uint32_t seed) {
    return makeTexture(256, [&](float u, float v) { return shade(base, 0.95f + 0.08f * fbm(u, v, 6, 6, 4, seed)); });
}

// Dressed masonry laid in courses, tiling both ways: `courses` rows of varied height down the
// picture, each cut into `blocks` units of varied length with the joints staggered from row to
// row. Joints are `joint` wide (in picture widths) with crisp, slightly ragged arrises; each unit
// catches the light along its top edge and falls into shadow along its bottom one, and carries
// grain, specks and tooling of its own so it stays sharp close up.
struct Masonry {
    int size = 1024;
    int courses = 5;
    int blocks = 3;
    Colour stone, stone2, mortar;
    float joint = 0.01f;
    float tooling = 0.0f;  // strength of slanted chisel marks
    uint32_t seed = 1;
};

Canvas masonry(const Masonry& m) {
    // Course heights vary a little; normalised so the courses fill the picture exactly.
    std::vector<float> edges = {0.0f};
    for (int r = 0; r < m.courses; ++r) edges.push_back(edges.back() + 0.75f + 0.5f * hash(r, 7, m.seed));
    for (float& e : edges) e /= edges.back();
    const float pixel = 1.0f / static_cast<float>(m.size);
    const float blocks = static_cast<float>(m.blocks);
    return makeTexture(m.size, [&](float u, float v) {
        const int row = std::min(m.courses - 1, static_cast<int>(std::upper_bound(edges.begin(), edges.end(), v) - edges.begin()) - 1);
        const float top = edges[static_cast<size_t>(row)], bottom = edges[static_cast<size_t>(row) + 1];
        // The joints of a row: unit i starts at (i + shift) / blocks, shifted on from the row above.
        const float offset = 0.5f * static_cast<float>(row % 2) + 0.2f * hash(row, 1, m.seed);
        auto jointAt = [&](int i) {
            const int k = ((i % m.blocks) + m.blocks) % m.blocks;
            return (static_cast<float>(i) + offset + 0.3f * (hash(row, k, m.seed + 3) - 0.5f)) / blocks;
        };
        int i = static_cast<int>(std::floor(u * blocks - offset));
        while (jointAt(i) > u) --i;
        while (jointAt(i + 1) <= u) ++i;
        const float left = jointAt(i), right = jointAt(i + 1);
        const int unit = ((i % m.blocks) + m.blocks) % m.blocks;
        // Distance to the unit's edges in picture widths, the arrises roughened by noise.
        const float rough = 0.0025f * fbm(u, v, 48, 48, 3, m.seed + 4);
        const float dTop = v - top, dBottom = bottom - v, dSide = std::min(u - left, right - u);
        const float edge = std::min({dTop, dBottom, dSide}) + rough;
        const float half = 0.5f * m.joint;
        const float inStone = smoothstep(half - pixel, half + pixel, edge);
        const float grain = fbm(u, v, 24, 24, 4, m.seed + 1);
        const float speck = hash(static_cast<int>(u * static_cast<float>(m.size)), static_cast<int>(v * static_cast<float>(m.size)), m.seed + 5);
        // Mortar: sandy, in the shadow of the unit above it.
        Colour mortar = shade(m.mortar, 0.88f + 0.18f * grain + 0.1f * (speck - 0.5f));
        if (dTop < half + pixel) mortar = shade(mortar, 0.8f);
        // The unit: its own tone, cloudy grain, specks, chisel marks, lit top and shadowed foot.
        Colour c = mix(m.stone, m.stone2, hash(unit, row, m.seed + 2));
        c = shade(c, 0.9f + 0.2f * hash(unit, row, m.seed + 6));
        const float cloud = fbm(u, v, 6, 6, 4, m.seed + 7);
        c = shade(c, 0.93f + 0.12f * cloud + 0.1f * grain);
        if (speck > 0.985f) c = shade(c, 0.72f);
        else if (speck < 0.012f) c = shade(c, 1.18f);
        if (m.tooling > 0.0f) {
            const float slant = 1.0f + 0.8f * hash(unit, row, m.seed + 8);
            const float marks = 0.5f + 0.5f * std::sin((u * slant + v) * 2.0f * kPi * 160.0f + 3.0f * grain);
            c = shade(c, 1.0f - m.tooling * marks * (0.5f + 0.5f * fbm(u, v, 12, 12, 2, m.seed + 9)));
        }
        const float arris = 2.5f * m.joint;
        if (dTop - half < arris) c = shade(c, 1.0f + 0.14f * (1.0f - (dTop - half) / arris));
        if (dBottom - half < arris) c = shade(c, 1.0f - 0.22f * (1.0f - (dBottom - half) / arris));
        if (u - left - half < arris) c = shade(c, 1.0f + 0.06f * (1.0f - (u - left - half) / arris));
        if (right - u - half < arris) c = shade(c, 1.0f - 0.12f * (1.0f - (right - u - half) / arris));
        return mix(mortar, c, inStone);
    });
}

// Velvet: a fine plain weave under a dense pile. The pile lies in slightly different directions
// from patch to patch (crushed velvet), so broad soft areas catch more or less light, with a faint
// brushing along the length and scattered bright tips.
Canvas velvet(Colour colour, uint32_t seed) {
    const Colour deep = shade(mix(colour, rgb(0x100810), 0.25f), 0.8f), sheen = mix(colour, rgb(0xFFF0E0), 0.22f);
    return makeTexture(1024, [&](float u, float v) {
        const float threads = 192.0f;
        const float tx = u * threads, ty = v * threads;
        const bool warpOnTop = ((static_cast<int>(tx) + static_cast<int>(ty)) & 1) == 0;
        const float across = warpOnTop ? frac(tx) : frac(ty);
        const float weave = 0.9f + 0.1f * std::sin(kPi * across);
        const float crush = 0.5f + 0.5f * fbm(u, v, 3, 3, 5, seed);
        const float brushed = fbm(u, v, 4, 24, 3, seed + 1);
        const float tips = hash(static_cast<int>(u * 1024.0f), static_cast<int>(v * 1024.0f), seed + 2);
        Colour c = crush < 0.5f ? mix(deep, colour, crush * 2.0f) : mix(colour, sheen, (crush - 0.5f) * 1.6f);
        c = shade(c, weave * (0.97f + 0.08f * brushed) * (tips > 0.97f ? 1.1f : 1.0f));
        return c;
    });
}

Canvas curtain() {
    return makeTexture(512, [&](float u, float v) {
        const float ridge = 0.5f + 0.5f * std::sin(u * 2.0f * kPi * 14.0f + 2.0f * fbm(u, v, 3, 2, 2, 41u));
        const float nap = fbm(u, v, 32, 8, 3, 42u);
        Colour c = mix(rgb(0x8E1A1E), rgb(0xC8343A), 0.35f * ridge + 0.15f * nap + 0.2f);
        // A gold band near the hem.
        const float hem = 1.0f - v;
        if (frac(hem * 2.5f) < 0.035f) c = rgb(0xD8B060);
        return c;
    });
}

Canvas rug() {
    const Colour red = rgb(0x9A1E1C), navy = rgb(0x1E2C5A), gold = rgb(0xD9A850), cream = rgb(0xEEDCB8), green = rgb(0x2E5A3A);
    return makeTexture(512, [&](float u, float v) {
        const float ex = std::min(u, 1.0f - u), ey = std::min(v, 1.0f - v);
        const float edge = std::min(ex, ey);
        Colour c;
        if (edge < 0.02f) c = cream;  // fringe edge
        else if (edge < 0.09f) {
            // Border: a running vine of diamonds.
            const float along = ex < ey ? v : u;
            const float d = std::fabs(frac(along * 18.0f) - 0.5f) + std::fabs((edge - 0.055f) * 18.0f);
            c = d < 0.3f ? gold : navy;
            if (edge < 0.03f || std::fabs(edge - 0.085f) < 0.004f) c = gold;
        } else {
            const float x = (u - 0.5f) * 2.0f, y = (v - 0.5f) * 2.0f;
            const float diamond = std::fabs(x) * 0.75f + std::fabs(y);
            if (diamond < 0.45f) c = diamond < 0.12f ? gold : (diamond < 0.38f ? navy : cream);
            else {
                c = red;
                const float gx = frac(u * 10.0f) - 0.5f, gy = frac(v * 10.0f) - 0.5f;
                if (std::fabs(gx) + std::fabs(gy) < 0.14f) c = (static_cast<int>(u * 10.0f) + static_cast<int>(v * 10.0f)) % 2 ? gold : green;
                if (std::fabs(diamond - 0.55f) < 0.02f) c = gold;
            }
        }
        return shade(c, 0.88f + 0.16f * (0.5f + 0.5f * fbm(u, v, 64, 64, 2, 51u)));
    });
}

Canvas books() {
    const Colour spines[8] = {rgb(0x7A1C1C), rgb(0x1E3466), rgb(0x265A34), rgb(0x6A4424), rgb(0xB0882E), rgb(0x2A2420), rgb(0xA83A2A), rgb(0x2A6664)};
    return makeTexture(256, [&](float u, float v) {
        const int col = std::min(7, static_cast<int>(u * 8.0f));
        Colour c = spines[col];
        const float b = 1.0f - v;
        if (std::fabs(b - 0.14f) < 0.02f || std::fabs(b - 0.86f) < 0.02f) c = rgb(0xE0C070);
        if (b > 0.55f && b < 0.72f && std::fabs(frac(u * 8.0f) - 0.5f) < 0.3f) c = mix(c, rgb(0xE8D8A8), 0.6f);
        return shade(c, 0.9f + 0.15f * fbm(u, v, 8, 32, 2, 61u));
    });
}

Canvas felt() {
    return makeTexture(256, [&](float u, float v) {
        const float r = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f));
        const float fuzz = fbm(u, v, 32, 32, 3, 71u);
        if (r > 0.43f) return shade(rgb(0xF4F0EA), 0.9f + 0.1f * fuzz);
        return shade(rgb(0xA8181C), 0.9f + 0.15f * fuzz);
    });
}

Canvas doorPanels() {
    return makeTexture(512, [&](float u, float v) {
        const float z = 1.0f - v;
        Colour c = woodAlongU(v, u, rgb(0xA86C40), rgb(0x6A3A1E), 81u, 16);
        const float pu[2][2] = {{0.14f, 0.46f}, {0.54f, 0.86f}};
        const float pz[2][2] = {{0.08f, 0.44f}, {0.52f, 0.92f}};
        for (const auto& a : pu)
            for (const auto& b : pz)
                if (u > a[0] && u < a[1] && z > b[0] && z < b[1]) {
                    const float e = std::min({u - a[0], a[1] - u, (z - b[0]) * 0.45f, (b[1] - z) * 0.45f});
                    c = e < 0.018f ? shade(c, (u - a[0] < 0.018f || b[1] - z < 0.04f) ? 1.25f : 0.7f) : shade(c, 1.05f);
                }
        return c;
    });
}

// Four small paintings in the quarters of the picture: a winter landscape, a still life, a
// harbour and a summer field.
Canvas paintings() {
    return makeTexture(512, [&](float u, float v) {
        const int q = (u < 0.5f ? 0 : 1) + (v < 0.5f ? 0 : 2);
        const float x = frac(u * 2.0f), y = 1.0f - frac(v * 2.0f);  // y up inside each painting
        const float brush = 0.94f + 0.1f * fbm(u, v, 24, 24, 3, 91u);
        Colour c;
        if (q == 0) {
            c = mix(rgb(0xE8C8A0), rgb(0x6A80B0), smoothstep(0.4f, 1.0f, y));
            const float hill = 0.42f + 0.08f * std::sin(x * 6.0f + 1.0f) + 0.04f * std::sin(x * 17.0f);
            if (y < hill) c = mix(rgb(0xF4F4F8), rgb(0xB8C4DC), smoothstep(0.0f, hill, y));
            for (int t = 0; t < 7; ++t) {
                const float tx = 0.1f + 0.13f * static_cast<float>(t), th = 0.18f + 0.06f * hash(t, 0, 93u);
                const float base = hill - 0.04f;
                if (y > base && y < base + th && std::fabs(x - tx) < 0.045f * (1.0f - (y - base) / th)) c = rgb(0x1E3A2A);
            }
            if (std::fabs(x - 0.62f) < 0.07f && y > hill - 0.05f && y < hill + 0.05f) c = rgb(0xA83228);
            if (std::fabs(x - 0.62f) < 0.09f - (y - hill - 0.05f) && y >= hill + 0.05f && y < hill + 0.12f) c = rgb(0xF0F0F4);
        } else if (q == 1) {
            c = mix(rgb(0x2A1E16), rgb(0x5A4028), smoothstep(0.0f, 1.0f, y));
            if (y < 0.3f) c = rgb(0x6A4A30);
            const float fruits[4][3] = {{0.35f, 0.42f, 0.12f}, {0.58f, 0.40f, 0.11f}, {0.47f, 0.55f, 0.1f}, {0.7f, 0.35f, 0.08f}};
            const Colour fc[4] = {rgb(0xC83A28), rgb(0xE0A030), rgb(0x7A9A3A), rgb(0xB02838)};
            for (int i = 0; i < 4; ++i) {
                const float dx = x - fruits[i][0], dy = y - fruits[i][1];
                const float r = std::sqrt(dx * dx + dy * dy);
                if (r < fruits[i][2]) c = shade(fc[i], 0.7f + 0.5f * (1.0f - r / fruits[i][2]) + 0.4f * (dy - dx));
            }
        } else if (q == 2) {
            c = mix(rgb(0xF0D8B0), rgb(0x8AA8D0), smoothstep(0.45f, 1.0f, y));
            if (y < 0.4f) c = mix(rgb(0x2A4A6A), rgb(0x5A7AA0), y / 0.4f + 0.1f * std::sin(x * 60.0f + y * 20.0f));
            for (int b = 0; b < 3; ++b) {
                const float bx = 0.2f + 0.28f * static_cast<float>(b);
                if (std::fabs(x - bx) < 0.08f - (0.4f - y) * 0.5f && y > 0.32f && y < 0.4f) c = rgb(0x5A2A18);
                if (std::fabs(x - bx) < 0.006f && y > 0.4f && y < 0.62f) c = rgb(0x3A2A1A);
                if (x > bx + 0.01f && x < bx + 0.09f - (y - 0.42f) * 0.35f && y > 0.42f && y < 0.6f) c = rgb(0xF4ECDC);
            }
        } else {
            c = mix(rgb(0xF4E4B0), rgb(0x70A0D8), smoothstep(0.5f, 1.0f, y));
            const float field = 0.5f + 0.05f * std::sin(x * 5.0f);
            if (y < field) c = mix(rgb(0x7A9A3A), rgb(0xD8B048), smoothstep(0.0f, field, y) * 0.8f + 0.2f * std::sin(x * 40.0f));
            const float sx = x - 0.75f, sy = y - 0.8f;
            if (sx * sx + sy * sy < 0.004f) c = rgb(0xFFF0C0);
        }
        return shade(c, brush);
    });
}

// The moonlit snow and the firs, shaded: `light` from facing away from the moon (0) to facing it
// (1), `haze` from the nearest hills (0) to the farthest (1), which fade into the sky's glow.
Colour hazed(Colour c, float haze) { return mix(c, mix(nightSky(0.04f), rgb(0x8A9AC4), 0.35f), 0.62f * std::clamp(haze, 0.0f, 1.0f)); }

Colour snowShade(float light, float haze) {
    const Colour shadow = rgb(0x26325A), middle = rgb(0x5A6CA2), lit = rgb(0xC0CEEE);
    const float l = std::clamp(light, 0.0f, 1.0f);
    return hazed(l < 0.5f ? mix(shadow, middle, l * 2.0f) : mix(middle, lit, (l - 0.5f) * 2.0f), haze);
}

Colour firShade(float light, float haze) {
    const float l = std::clamp(light, 0.0f, 1.0f);
    const Colour c = l < 0.7f ? mix(rgb(0x050A0E), rgb(0x1C3034), l / 0.7f) : mix(rgb(0x1C3034), rgb(0x9AAACC), (l - 0.7f) / 0.3f);
    return hazed(c, haze);
}

// The sky picture, repeated kSkyRepeats times round the dome: u across, v down from kSkyTop to
// kSkyBottom in elevation. Deep blue overhead, paler and hazier down to the hills, thin moonlit
// veils of cloud, and stars as small soft points, more of them higher up; widened as the dome
// narrows towards its top so they stay round.
Canvas panoramaPicture() {
    const int size = 1024;
    auto elevationAt = [](float v) { return kSkyTop - v * (kSkyTop - kSkyBottom); };
    Canvas sky = makeTexture(size, [&](float u, float v) {
        const float e = elevationAt(v);
        const float veil = std::max(0.0f, fbm(u, v, 3, 6, 5, 101u) + 0.35f * fbm(u, v, 8, 4, 3, 102u) - 0.15f);
        const float band = std::exp(-std::pow((e - 0.36f) / 0.14f, 2.0f));
        return mix(nightSky(e), rgb(0x7084B4), std::min(0.35f, veil * band * 0.8f));
    });
    for (int k = 0; k < 700; ++k) {
        const float x = hash(k, 1, 103u) * size, y = hash(k, 2, 103u) * size;
        const float e = elevationAt(y / size);
        if (e < 0.08f || hash(k, 3, 103u) > std::clamp((e - 0.08f) / 0.35f, 0.15f, 1.0f)) continue;
        const float bright = std::pow(hash(k, 4, 103u), 3.0f);
        const float radius = 0.9f + 1.6f * bright, wide = radius / std::cos(e);
        const Colour tint = mix(rgb(0xFFF4E0), rgb(0xD8E4FF), hash(k, 5, 103u));
        const float strength = 0.45f + 0.55f * bright;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -6; dx <= 6; ++dx) {
                const int px = static_cast<int>(x) + dx, py = static_cast<int>(y) + dy;
                if (py < 0 || py >= size) continue;
                const float fx = (static_cast<float>(px) + 0.5f - x) / wide, fy = (static_cast<float>(py) + 0.5f - y) / radius;
                const float a = strength * std::exp(-(fx * fx + fy * fy));
                // Wrapped across the sides so the picture still tiles.
                sky.blend((px % size + size) % size, py, tint, std::min(a, 1.0f));
            }
    }
    return sky;
}

// The landscape's atlas: the snow and fir ramps, the cottage's walls and chimney.
Canvas landscapePicture() {
    const int size = 1024;
    auto inside = [](const UvRect& r, float u, float v, float& lu, float& lv) {
        if (u < r.u0 || u >= r.u1 || v < r.v0 || v >= r.v1) return false;
        lu = (u - r.u0) / (r.u1 - r.u0);
        lv = (v - r.v0) / (r.v1 - r.v0);
        return true;
    };
    auto ramp = [](float lu, float lv, float& light, float& haze) {
        light = (lu - 0.03f) / 0.94f;
        haze = (lv - 0.2f) / 0.6f;
    };
    // A window lit from within: warm panes behind a cross of glazing bars, a snowy sill, and
    // the glow spilling on to the wall round it.
    auto window = [](Colour wall, float x, float y, float x0, float y0, float x1, float y1) {
        const float cx = 0.5f * (x0 + x1), cy = 0.5f * (y0 + y1), w = x1 - x0, h = y1 - y0;
        const float dx = std::max(std::fabs(x - cx) - 0.5f * w, 0.0f) / w, dy = std::max(std::fabs(y - cy) - 0.5f * h, 0.0f) / h;
        Colour c = mix(wall, rgb(0xC08040), 0.5f * std::exp(-3.0f * (dx + dy)));
        const float frame = 0.12f;
        if (dx > 0.0f || dy > 0.0f) {
            if (y < y0 && y > y0 - 0.06f * h && std::fabs(x - cx) < 0.6f * w) c = rgb(0xB8C4E4);  // snow on the sill
            return c;
        }
        const float fx = (x - x0) / w, fy = (y - y0) / h;
        if (fx < frame * 0.6f || fx > 1.0f - frame * 0.6f || fy < frame * 0.6f || fy > 1.0f - frame * 0.6f) return rgb(0x3A2E2A);
        if (std::fabs(fx - 0.5f) < 0.05f || std::fabs(fy - 0.55f) < 0.05f) return rgb(0x4A3020);
        const float r = std::sqrt((fx - 0.5f) * (fx - 0.5f) + (fy - 0.4f) * (fy - 0.4f));
        return mix(rgb(0xFFE098), rgb(0xE89038), std::clamp(r * 1.6f, 0.0f, 1.0f));
    };
    // Dark timber in the moonlight: courses of logs.
    auto logs = [](float x, float y, float courses) {
        const float f = frac(y * courses);
        Colour c = mix(rgb(0x3E3238), rgb(0x2A2228), 0.5f + 0.5f * fbm(x, y, 4, 8, 3, 171u));
        if (f < 0.12f) c = shade(c, 0.55f);
        return shade(c, 0.9f + 0.15f * std::sin(kPi * f));
    };
    return makeTexture(size, [&](float u, float pictureV) {
        const float v = 1.0f - pictureV;
        float lu = 0, lv = 0, light = 0, haze = 0;
        if (inside(kSnowRamp, u, v, lu, lv)) {
            ramp(lu, lv, light, haze);
            return snowShade(light, haze);
        }
        if (inside(kFirRamp, u, v, lu, lv)) {
            ramp(lu, lv, light, haze);
            return firShade(light, haze);
        }
        if (inside(kCottageFront, u, v, lu, lv)) {
            // From 30 cm under the snow to the eaves; the door in the middle, a window each side.
            Colour c = logs(lu, lv, 11.0f);
            if (std::fabs(lu - 0.5f) < 0.07f && lv < 0.72f) c = std::fabs(lu - 0.5f) > 0.06f || lv > 0.7f ? rgb(0x4A3A30) : rgb(0x2E2018);
            if (std::fabs(lu - 0.5f) < 0.025f && lv > 0.55f && lv < 0.65f) c = rgb(0xF0B060);  // a small light in the door
            c = window(c, lu, lv, 0.12f, 0.42f, 0.32f, 0.76f);
            c = window(c, lu, lv, 0.68f, 0.42f, 0.88f, 0.76f);
            return c;
        }
        if (inside(kCottageEnd, u, v, lu, lv)) {
            // From under the snow to the ridge: the wall up to 0.66, the gable above it.
            Colour c = logs(lu, lv, 15.0f);
            if (lv > 0.66f) c = mix(rgb(0x34282C), rgb(0x2A2026), 0.5f + 0.5f * std::sin(lu * 80.0f));  // boarded gable
            c = window(c, lu, lv, 0.38f, 0.36f, 0.62f, 0.56f);
            c = window(c, lu, lv, 0.44f, 0.74f, 0.56f, 0.84f);
            return c;
        }
        if (inside(kCottageStone, u, v, lu, lv)) {
            const float row = std::floor(lv * 8.0f), x = lu * 3.0f + 0.5f * std::fmod(row, 2.0f);
            Colour c = shade(rgb(0x5A5660), 0.75f + 0.4f * hash(static_cast<int>(x), static_cast<int>(row), 172u));
            if (frac(lv * 8.0f) < 0.1f || frac(x) < 0.06f) c = rgb(0x2A282E);
            return c;
        }
        // The last band is spare: the snow ramp's darkest shade, so filtering finds nothing odd.
        return snowShade(0.0f, 0.0f);
    });
}

// The moon on a clear ground (premultiplied): a disc with faint seas and a darkened limb, a halo
// fading out well inside the picture's edge, and thin clouds drifting across the halo.
Canvas moonPicture() {
    const int size = 512;
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float lx = 2.0f * (static_cast<float>(x) + 0.5f) / size - 1.0f, ly = 1.0f - 2.0f * (static_cast<float>(y) + 0.5f) / size;
            const float r = std::sqrt(lx * lx + ly * ly) * kMoonPatch;  // cm from the moon's centre
            const float edge = smoothstep(1.0f, 0.8f, std::max(std::fabs(lx), std::fabs(ly)));
            const float halo = (0.55f * std::exp(-std::max(r - kMoonRadius, 0.0f) / 60.0f) + 0.25f * std::exp(-r / 220.0f)) * edge;
            const float wisp = std::max(0.0f, fbm(0.5f + 0.5f * lx, 0.25f + 0.25f * ly, 3, 2, 4, 173u) - 0.08f) * std::exp(-std::pow((ly + 0.3f) * 3.0f, 2.0f));
            const float cloud = std::min(0.55f, 1.8f * wisp) * edge;
            // Halo and clouds as a veil of pale blue over the sky behind.
            Colour veil = rgb(0xA8B8E4);
            float a = std::min(1.0f, halo + cloud * (1.0f - halo));
            const float disc = smoothstep(kMoonRadius + 2.0f, kMoonRadius - 2.0f, r);
            if (disc > 0.0f) {
                const float seas = fbm(0.5f + 0.2f * lx, 0.5f + 0.2f * ly, 4, 4, 4, 174u);
                const float limb = std::sqrt(std::max(0.0f, 1.0f - (r / kMoonRadius) * (r / kMoonRadius)));
                Colour m = mix(rgb(0xFFFBEC), rgb(0xC4C6C8), std::clamp(0.5f + 1.4f * seas, 0.0f, 1.0f) * 0.55f);
                m = shade(m, 0.86f + 0.14f * limb);
                // A cloud drifting over the disc dims it a little.
                veil = mix(veil, m, disc * (1.0f - 0.4f * cloud));
                a = a + (1.0f - a) * disc;
            }
            c.at(x, y) = {veil.r * a, veil.g * a, veil.b * a, a};
        }
    return c;
}

// The snow field between the house and the hills, shaded as the ramp shades flat snow, with faint
// drifts and glints.
Canvas snowfield() {
    return makeTexture(512, [&](float u, float v) {
        const float drift = fbm(u, v, 4, 6, 4, 111u);
        Colour c = snowShade(0.84f + 0.08f * drift, 0.0f);
        if (hash(static_cast<int>(u * 512), static_cast<int>(v * 512), 112u) > 0.996f) c = rgb(0xE8F0FF);
        return c;
    });
}

Canvas snow() {
    return makeTexture(256, [&](float u, float v) { return shade(rgb(0xE4ECFA), 0.92f + 0.1f * fbm(u, v, 6, 6, 3, 121u)); });
}

// Nearly clear panes with a faint cool tint, a soft streak and frost gathered at the bottom.
// makeTexture paints opaque pictures, so the coverage is set here (premultiplied).
Canvas glassPane() {
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / 256.0f, v = (static_cast<float>(y) + 0.5f) / 256.0f;
            const float streak = std::exp(-std::pow((u + v - 1.0f) * 6.0f, 2.0f));
            const float frost = smoothstep(0.75f, 1.0f, v) * (0.5f + 0.5f * fbm(u, v, 12, 12, 3, 131u));
            const float a = 0.05f + 0.05f * streak + 0.28f * frost;
            c.at(x, y) = {0.8f * a, 0.87f * a, 0.97f * a, a};
        }
    return c;
}

Canvas bark() {
    return makeTexture(256, [&](float u, float v) {
        const float crack = std::fabs(fbm(u, v, 12, 3, 3, 141u));
        Colour c = mix(rgb(0x6A4A32), rgb(0x2E2016), smoothstep(0.0f, 0.25f, 0.25f - crack));
        return shade(c, 0.9f + 0.2f * fbm(u, v, 32, 8, 2, 142u));
    });
}

std::vector<NamedCanvas> makeAll() {
    std::vector<NamedCanvas> out;
    out.push_back({"room_wallpaper.tga", wallpaper()});
    out.push_back({"room_wainscot.tga", wainscotPanels()});
    out.push_back({"room_floor.tga", floorPlanks()});
    out.push_back({"room_ceiling.tga", plaster(rgb(0xF0E8D8), 151u)});
    out.push_back({"room_beam.tga", makeTexture(256, [](float u, float v) { return woodAlongU(u, v, rgb(0x8A5A34), rgb(0x4A2C18), 152u); })});
    // The fireplace's masonry, 1024 px to 100 cm (stone), 72 cm (brick) and 80 cm (hearth): about
    // ten texels a centimetre, sharp at the closest the cameras come.
    out.push_back({"room_stone.tga", masonry({1024, 5, 3, rgb(0xDCD0B8), rgb(0xB8AA92), rgb(0x8E8474), 0.011f, 0.05f, 153u})});
    out.push_back({"room_firebrick.tga", masonry({1024, 10, 3, rgb(0x9A5238), rgb(0x6A3426), rgb(0x3E342E), 0.012f, 0.0f, 154u})});
    out.push_back({"room_hearth.tga", masonry({1024, 2, 2, rgb(0xA89C90), rgb(0x8A7E74), rgb(0x5A544E), 0.008f, 0.03f, 155u})});
    out.push_back({"room_mantel.tga", woodGrain(512, rgb(0xB07848), rgb(0x5E3820), 9, 156u)});
    out.push_back({"room_iron.tga", plaster(rgb(0x4A4644), 157u)});
    out.push_back({"room_log.tga", bark()});
    out.push_back({"room_paint.tga", painted(256, rgb(0xF4EEE2), 158u)});
    out.push_back({"room_snow.tga", snow()});
    out.push_back({"room_glass.tga", glassPane(), true});
    out.push_back({"room_curtain.tga", curtain()});
    out.push_back({"room_brass.tga", brushedMetal(256, rgb(0xC89A48), rgb(0xFFE8A8), rgb(0x6A5024), 159u)});
    out.push_back({"room_gilt.tga", brushedMetal(256, rgb(0xD8A840), rgb(0xFFF0B0), rgb(0x806020), 160u)});
    out.push_back({"room_door.tga", doorPanels()});
    out.push_back({"room_paintings.tga", paintings()});
    out.push_back({"room_velvet_red.tga", velvet(rgb(0xB02A30), 161u)});
    out.push_back({"room_velvet_green.tga", velvet(rgb(0x3A7A4C), 162u)});
    out.push_back({"room_rug.tga", rug()});
    out.push_back({"room_books.tga", books()});
    out.push_back({"room_felt.tga", felt()});
    out.push_back({"room_panorama.tga", panoramaPicture()});
    out.push_back({"room_snowfield.tga", snowfield()});
    out.push_back({"room_landscape.tga", landscapePicture()});
    out.push_back({"room_moon.tga", moonPicture(), true});
    return out;
}

}  // namespace

Colour nightSky(float elevation) {
    const float h = std::clamp(elevation / 0.7f, 0.0f, 1.0f);
    const Colour c = mix(rgb(0x4C6090), rgb(0x080E2C), std::pow(h, 0.6f));
    return mix(c, rgb(0x7282AE), 0.45f * std::exp(-h * 10.0f));
}

const std::vector<NamedCanvas>& roomTextures() {
    static const std::vector<NamedCanvas> textures = makeAll();
    return textures;
}

}  // namespace hg::bake::room
