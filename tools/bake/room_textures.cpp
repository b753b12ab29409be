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

// Courses of blocks with mortar joints; `courses` rows, blocks of varying length.
Canvas masonry(int size, int courses, float meanBlocks, Colour stone, Colour stone2, Colour mortar, float joint, uint32_t seed) {
    return makeTexture(size, [&](float u, float v) {
        const int row = static_cast<int>(v * static_cast<float>(courses));
        const float rv = frac(v * static_cast<float>(courses));
        const float x = u * meanBlocks + 0.5f * static_cast<float>(row % 2) + 0.3f * hash(row, 1, seed);
        const int block = static_cast<int>(std::floor(x));
        const float bu = frac(x);
        const float jointU = joint * meanBlocks, jointV = joint * static_cast<float>(courses);
        const bool isJoint = bu < jointU || rv < jointV;
        const float grain = fbm(u, v, 16, 16, 3, seed + 1);
        if (isJoint) return shade(mortar, 0.9f + 0.15f * grain);
        Colour c = mix(stone, stone2, hash(block, row, seed + 2));
        const float edge = std::min({bu - jointU, 1.0f - bu, rv - jointV, 1.0f - rv});
        c = shade(c, (0.92f + 0.14f * grain) * (0.85f + 0.15f * smoothstep(0.0f, 0.08f, edge)));
        return c;
    });
}

Canvas velvet(Colour colour, uint32_t seed) {
    Canvas base = woven(512, 64, colour, shade(colour, 0.8f), seed);
    Canvas tone = makeTexture(512, [&](float u, float v) {
        const float nap = 0.5f + 0.5f * fbm(u, v, 5, 5, 4, seed + 9);
        return withAlpha(shade(colour, 0.85f + 0.3f * nap), 0.55f);
    });
    composite(base, tone, 0, 0);
    return base;
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

// The night outside, across an arc round the east side: u across the arc, v down the picture
// from 1700 cm above the ground (top) to 160 cm below it.
Canvas panoramaPicture() {
    const float horizon = 1.0f - 160.0f / 1860.0f;  // picture v of ground level
    return makeTexture(1024, [&](float u, float v) {
        const float z = (1.0f - v) * 1860.0f - 160.0f;  // height in cm at the arc
        const float h = std::max(z, 0.0f) / 1700.0f;
        Colour c = mix(rgb(0x2A3A66), rgb(0x060A1C), std::pow(std::clamp(h * 2.2f, 0.0f, 1.0f), 0.6f));
        // Stars, more of them higher up.
        const int sx = static_cast<int>(u * 1024.0f), sy = static_cast<int>(v * 1024.0f);
        const float star = hash(sx, sy, 101u);
        if (z > 300.0f && star > 0.9965f) c = mix(c, rgb(0xF4F4FF), 0.5f + 0.5f * hash(sx, sy, 102u));
        // The moon with a soft halo.
        const float mx = (u - 0.42f) * 1.6f * 1024.0f, my = (v - (1.0f - (520.0f + 160.0f) / 1860.0f)) * 1024.0f;
        const float mr = std::sqrt(mx * mx + my * my);
        c = mix(c, rgb(0x9AB0E0), 0.45f * std::exp(-mr / 60.0f));
        if (mr < 22.0f) c = mix(rgb(0xFFFBEA), rgb(0xD8D8CC), 0.3f * (0.5f + 0.5f * fbm(u * 8.0f, v * 8.0f, 8, 8, 3, 103u)));
        // Far snowy hills, then a band of forest, then the snow field.
        const float hills = 90.0f + 120.0f * (0.5f + 0.5f * fbm(u, 0.3f, 5, 1, 4, 104u));
        if (z < hills) c = mix(rgb(0x8C9CC4), rgb(0x5C6A94), smoothstep(hills - 60.0f, hills, z));
        const float treeLine = 40.0f + 30.0f * (0.5f + 0.5f * fbm(u, 0.7f, 9, 1, 3, 105u));
        const float tx = frac(u * 260.0f), tree = 1.0f - std::fabs(tx - 0.5f) * 2.0f;
        const float tip = treeLine * (0.6f + 0.5f * hash(static_cast<int>(u * 260.0f), 0, 106u));
        if (z < tip * (0.3f + 0.7f * tree) && z >= 0.0f) c = (std::fmod(z, 14.0f) < 2.5f) ? rgb(0x6A7898) : rgb(0x101A24);
        if (z < 0.0f) c = mix(rgb(0x7888B0), rgb(0x5A6890), smoothstep(0.0f, 160.0f, -z));
        (void)horizon;
        return c;
    });
}

Canvas snowfield() {
    return makeTexture(512, [&](float u, float v) {
        Colour c = shade(rgb(0x7C8CB4), 0.9f + 0.2f * (0.5f + 0.5f * fbm(u, v, 6, 6, 4, 111u)));
        if (hash(static_cast<int>(u * 512), static_cast<int>(v * 512), 112u) > 0.997f) c = rgb(0xE0E8FF);
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
            const float a = 0.08f + 0.07f * streak + 0.3f * frost;
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
    out.push_back({"room_stone.tga", masonry(512, 5, 2.2f, rgb(0xD8CCB4), rgb(0xBCAE96), rgb(0x9A9080), 0.012f, 153u)});
    out.push_back({"room_firebrick.tga", masonry(256, 8, 4.0f, rgb(0x8A4A34), rgb(0x5A3024), rgb(0x4A3A32), 0.02f, 154u)});
    out.push_back({"room_hearth.tga", masonry(256, 2, 1.5f, rgb(0xB0A498), rgb(0x988878), rgb(0x6A625A), 0.01f, 155u)});
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
    return out;
}

}  // namespace

const std::vector<NamedCanvas>& roomTextures() {
    static const std::vector<NamedCanvas> textures = makeAll();
    return textures;
}

}  // namespace hg::bake::room
