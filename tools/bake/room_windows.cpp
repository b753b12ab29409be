// The east windows: reveals through the wall, painted frames with glazing bars, sills with snow
// outside, the panes, heavy curtains on brass rods, and the moonlit landscape beyond.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <vector>

#include "bake/room_layout.h"

namespace hg::bake::room {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kGlassX = kWidth + 12.0f;
constexpr float kOuter = kWidth + kWallThickness;

ObjectDef frames() {
    ObjectDef o{"windows", {material("room_paint.tga"), material("room_snow.tga")}, {}, 256};
    const float s = 1.0f / 50.0f;
    for (const WindowOpening& w : kWindows) {
        // Reveals: the wall's thickness seen inside the opening.
        o.parts.push_back({rect({kOuter, w.y0, kSillZ}, {-kWallThickness, 0, 0}, {0, 0, kHeadZ - kSillZ}, s), 0});
        o.parts.push_back({rect({kWidth, w.y1, kSillZ}, {kWallThickness, 0, 0}, {0, 0, kHeadZ - kSillZ}, s), 0});
        o.parts.push_back({rect({kWidth, w.y1, kHeadZ}, {kWallThickness, 0, 0}, {0, w.y0 - w.y1, 0}, s), 0});
        // The inner sill board and the architrave round the opening.
        o.parts.push_back({block({kWidth - 12.0f, w.y0 - 9.0f, kSillZ - 4.0f}, {kGlassX, w.y1 + 9.0f, kSillZ}, s, 0.8f), 0});
        o.parts.push_back({block({kWidth - 4.0f, w.y0 - 9.0f, kSillZ - 14.0f}, {kWidth, w.y1 + 9.0f, kSillZ - 4.0f}, s, 0.5f), 0});
        o.parts.push_back({block({kWidth - 3.5f, w.y0 - 9.0f, kSillZ}, {kWidth, w.y0, kHeadZ + 9.0f}, s, 0.6f), 0});
        o.parts.push_back({block({kWidth - 3.5f, w.y1, kSillZ}, {kWidth, w.y1 + 9.0f, kHeadZ + 9.0f}, s, 0.6f), 0});
        o.parts.push_back({block({kWidth - 3.5f, w.y0, kHeadZ}, {kWidth, w.y1, kHeadZ + 9.0f}, s, 0.6f), 0});
        // Casement frame and glazing bars: two columns of three panes.
        const float bar = 2.5f, frame = 5.0f;
        const float x0 = kGlassX - 2.5f, x1 = kGlassX + 2.5f;
        o.parts.push_back({block({x0, w.y0, kSillZ}, {x1, w.y0 + frame, kHeadZ}, s), 0});
        o.parts.push_back({block({x0, w.y1 - frame, kSillZ}, {x1, w.y1, kHeadZ}, s), 0});
        o.parts.push_back({block({x0, w.y0 + frame, kSillZ}, {x1, w.y1 - frame, kSillZ + frame}, s), 0});
        o.parts.push_back({block({x0, w.y0 + frame, kHeadZ - frame}, {x1, w.y1 - frame, kHeadZ}, s), 0});
        const float mid = 0.5f * (w.y0 + w.y1);
        o.parts.push_back({block({x0 + 0.5f, mid - bar, kSillZ + frame}, {x1 - 0.5f, mid + bar, kHeadZ - frame}, s), 0});
        for (float k : {1.0f / 3.0f, 2.0f / 3.0f}) {
            const float z = kSillZ + frame + k * (kHeadZ - kSillZ - 2 * frame);
            o.parts.push_back({block({x0 + 0.5f, w.y0 + frame, z - bar * 0.5f}, {x1 - 0.5f, w.y1 - frame, z + bar * 0.5f}, s), 0});
        }
        // Snow piled on the outer sill, thicker in the middle.
        Shape drift = block({kGlassX + 3.0f, w.y0 + 1.0f, kSillZ - 1.0f}, {kOuter + 4.0f, w.y1 - 1.0f, kSillZ + 5.0f}, 1.0f / 60.0f, 2.0f);
        o.parts.push_back({std::move(drift), 1});
    }
    return o;
}

ObjectDef glass() {
    ObjectDef o{"glass", {material("room_glass.tga", true)}, {}, 0};
    for (const WindowOpening& w : kWindows)
        o.parts.push_back({rect({kGlassX, w.y1, kSillZ}, {0, w.y0 - w.y1, 0}, {0, 0, kHeadZ - kSillZ}, 1.0f / 120.0f), 0});
    return o;
}

// A curtain panel hanging from `top` down to the floor's edge, gathered by a tie-back: its
// fixed edge at y = edge, spreading `width` towards `dir` (+1 or -1).
Shape curtainPanel(float edge, float width, float dir) {
    const int columns = 30, rows = 8;
    const float top = kHeadZ + 24.0f, bottom = 40.0f, tie = 118.0f;
    Shape s;
    auto spread = [&](float z) {
        if (z > tie) return 0.45f + 0.55f * std::pow((z - tie) / (top - tie), 0.7f);
        return 0.45f + 0.35f * std::pow((tie - z) / (tie - bottom), 0.8f);
    };
    for (int r = 0; r <= rows; ++r) {
        const float t = static_cast<float>(r) / rows;
        const float z = bottom + (top - bottom) * t;
        const float span = width * spread(z);
        for (int c = 0; c <= columns; ++c) {
            const float k = static_cast<float>(c) / columns;
            const float amplitude = 2.0f + 5.0f * (1.0f - spread(z));
            const float x = kWidth - 9.0f - amplitude * (1.0f + std::sin(k * 7.0f * 2.0f * kPi));
            s.addPosition({x, edge + dir * span * k, z});
        }
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const uint32_t a = static_cast<uint32_t>(r * (columns + 1) + c), b = a + 1, d = a + static_cast<uint32_t>(columns + 1), e = d + 1;
            const Float2 ua{static_cast<float>(c) / columns, static_cast<float>(r) / rows};
            const Float2 ub{static_cast<float>(c + 1) / columns, ua.v}, ud{ua.u, static_cast<float>(r + 1) / rows}, ue{ub.u, ud.v};
            // Facing into the room (-x) whichever way the panel spreads.
            if (dir > 0) s.addQuad(a, d, e, b, ua, ud, ue, ub);
            else s.addQuad(a, b, e, d, ua, ub, ue, ud);
        }
    for (auto& corners : s.uvs)
        for (Float2& uv : corners) uv = {uv.u * 2.0f, uv.v * 2.5f};
    smoothNormals(s, 80.0f);
    return s;
}

ObjectDef curtains() {
    ObjectDef o{"curtains", {material("room_curtain.tga", true), material("room_brass.tga")}, {}, 256};
    for (const WindowOpening& w : kWindows) {
        o.parts.push_back({curtainPanel(w.y0 - 42.0f, 62.0f, 1.0f), 0});
        o.parts.push_back({curtainPanel(w.y1 + 42.0f, 62.0f, -1.0f), 0});
        const float z = kHeadZ + 27.0f;
        Shape rod = cylinder(1.6f, 1.6f, w.y1 - w.y0 + 100.0f, 10);
        apply(rod, Transform::frame({kWidth - 11.0f, w.y0 - 50.0f, z}, {0, 1, 0}, {0, 0, 1}));
        o.parts.push_back({worldUv(std::move(rod), 1.0f / 20.0f), 1});
        for (float y : {w.y0 - 52.0f, w.y1 + 52.0f}) {
            Shape knob = sphere(3.4f, 12, 8);
            apply(knob, Transform::translate({kWidth - 11.0f, y, z}));
            o.parts.push_back({worldUv(std::move(knob), 1.0f / 20.0f), 1});
        }
        // Brackets holding the rod off the wall.
        for (float y : {w.y0 - 40.0f, w.y1 + 40.0f}) o.parts.push_back({block({kWidth - 12.0f, y - 1.0f, z - 1.0f}, {kWidth, y + 1.0f, z + 1.0f}, 1.0f / 20.0f), 1});
    }
    return o;
}

// The landscape outside. Everything stands round the room's centre on an arc facing the east
// windows and is drawn without a lightmap, so its pictures carry the moonlit night themselves:
// hills and trees take their shade from the atlas's ramps, picked by UV from how each face turns
// to the moonlight and how far away it stands.
const Float3 kArcCentre{kWidth * 0.5f, kDepth * 0.5f, 0};
constexpr float kArcFrom = -80.0f * kPi / 180.0f, kArcTo = 80.0f * kPi / 180.0f;
// High from the south-west: flats and south slopes bright, the slopes facing the room half lit.
const Float3 kMoonlight = normalized({-0.25f, -0.55f, 0.8f});

float landscapeHash(int i, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(i) * 374761393u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFF) / 16777215.0f;
}

Float3 onArc(float turn, float radius, float z) { return kArcCentre + Float3{std::cos(turn) * radius, std::sin(turn) * radius, z}; }

float moonlit(Float3 normal) { return std::clamp(0.18f + 0.82f * std::max(0.0f, dot(normalized(normal), kMoonlight)), 0.0f, 1.0f); }

// A point of a ramp: `light` across, `haze` down the band (kept off the band's edges so mipmaps
// do not mix neighbouring bands).
Float2 rampUv(const UvRect& ramp, float light, float haze) {
    return {ramp.u0 + (ramp.u1 - ramp.u0) * (0.03f + 0.94f * std::clamp(light, 0.0f, 1.0f)),
            ramp.v0 + (ramp.v1 - ramp.v0) * (0.2f + 0.6f * std::clamp(haze, 0.0f, 1.0f))};
}
Float2 inRect(const UvRect& r, float u, float v) { return {r.u0 + (r.u1 - r.u0) * u, r.v0 + (r.v1 - r.v0) * v}; }

// One band of hills between two radii: rising from the snow field to a ridge at `ridge` of the
// way across and down again behind it; the ridge's height wanders along the arc.
struct HillLayer {
    float nearRadius, farRadius, ridge;
    float base, amplitude;
    float haze;
    uint32_t seed;
    int trees;
    float treeLow, treeHigh;  // tree heights
};

const HillLayer kHills[] = {
    {1450.0f, 1750.0f, 0.7f, 30.0f, 170.0f, 0.05f, 11u, 260, 50.0f, 100.0f},
    {1800.0f, 2100.0f, 0.65f, 110.0f, 230.0f, 0.38f, 23u, 200, 50.0f, 95.0f},
    {2150.0f, 2400.0f, 0.6f, 200.0f, 330.0f, 0.75f, 37u, 70, 40.0f, 70.0f},
};

float ridgeHeight(const HillLayer& l, float turn) {
    float phase[3], freq[3] = {4.0f, 11.0f, 29.0f};
    for (int k = 0; k < 3; ++k) {
        phase[k] = 6.2832f * landscapeHash(k, l.seed);
        freq[k] *= 0.8f + 0.4f * landscapeHash(k + 3, l.seed);
    }
    const float wave = 0.55f * std::sin(freq[0] * turn + phase[0]) + 0.3f * std::sin(freq[1] * turn + phase[1]) + 0.15f * std::sin(freq[2] * turn + phase[2]);
    return l.base + l.amplitude * (0.5f + 0.5f * wave);
}

float hillHeight(const HillLayer& l, float turn, float t) {
    const float rise = t < l.ridge ? std::pow(std::sin(0.5f * kPi * t / l.ridge), 1.6f) : std::cos(0.5f * kPi * (t - l.ridge) / (1.0f - l.ridge));
    return kLandscapeGround + ridgeHeight(l, turn) * rise;
}

Float3 hillPoint(const HillLayer& l, float turn, float t) {
    return onArc(turn, l.nearRadius + (l.farRadius - l.nearRadius) * t, hillHeight(l, turn, t));
}

Shape hills(const HillLayer& l) {
    const int segments = 44;
    const float rows[] = {0.0f, 0.14f, 0.32f, 0.5f, 0.64f, 0.76f, 0.88f, 1.0f};
    const int rowCount = static_cast<int>(std::size(rows));
    Shape s;
    std::vector<float> light;
    const float step = (kArcTo - kArcFrom) / segments;
    for (int r = 0; r < rowCount; ++r)
        for (int i = 0; i <= segments; ++i) {
            const float a = kArcFrom + step * static_cast<float>(i), t = rows[r];
            s.addPosition(hillPoint(l, a, t));
            const float dt = 0.02f;
            const Float3 across = hillPoint(l, a, std::min(t + dt, 1.0f)) - hillPoint(l, a, std::max(t - dt, 0.0f));
            const Float3 along = hillPoint(l, a + 0.01f, t) - hillPoint(l, a - 0.01f, t);
            light.push_back(moonlit(cross(across, along)));
        }
    const uint32_t width = static_cast<uint32_t>(segments + 1);
    for (uint32_t r = 0; r + 1 < static_cast<uint32_t>(rowCount); ++r)
        for (uint32_t i = 0; i < static_cast<uint32_t>(segments); ++i) {
            const uint32_t a = r * width + i, b = a + width, c = b + 1, d = a + 1;
            auto uv = [&](uint32_t k) { return rampUv(kSnowRamp, light[k], l.haze); };
            s.addQuad(a, b, c, d, uv(a), uv(b), uv(c), uv(d));
        }
    smoothNormals(s, 180.0f);
    return s;
}

// A fir of `tiers` tiers of needles, `height` tall, standing at `at`; shaded from the fir ramp
// by each facet's turn to the moon, the tips of the tiers dusted with snow. Only the lowest tier
// of a near fir has an underside: the cameras look at the others from below only through their
// skirts, and the far ones are too small to show one.
void addFir(Shape& s, Float3 at, float height, float haze, uint32_t seed, int tiers, bool underside) {
    const int sides = 5;
    const float twist = 6.2832f * landscapeHash(1, seed), width = height * (0.3f + 0.08f * landscapeHash(2, seed));
    const float count = static_cast<float>(tiers);
    for (int tier = 0; tier < tiers; ++tier) {
        const float k = static_cast<float>(tier);
        const float z0 = height * (0.1f + 0.78f / count * k), z1 = tier == tiers - 1 ? height : z0 + height * 1.38f / count;
        const float radius = width * (1.0f - 0.81f / count * k);
        const uint32_t apex = s.addPosition(at + Float3{0, 0, z1}), middle = s.addPosition(at + Float3{0, 0, z0 + 0.08f * height});
        std::vector<uint32_t> ring;
        for (int j = 0; j < sides; ++j) {
            const float turn = twist + 6.2832f * static_cast<float>(j) / sides;
            ring.push_back(s.addPosition(at + Float3{std::cos(turn) * radius, std::sin(turn) * radius, z0}));
        }
        for (int j = 0; j < sides; ++j) {
            const uint32_t a = ring[static_cast<size_t>(j)], b = ring[static_cast<size_t>((j + 1) % sides)];
            const Float3 n = cross(s.positions[b] - s.positions[a], s.positions[apex] - s.positions[a]);
            const float lit = 0.55f * moonlit(n);
            s.addFace(a, b, apex, rampUv(kFirRamp, lit, haze), rampUv(kFirRamp, lit, haze), rampUv(kFirRamp, lit + 0.22f, haze));
            if (tier == 0 && underside) s.addFace(middle, b, a, rampUv(kFirRamp, 0.0f, haze), rampUv(kFirRamp, 0.05f, haze), rampUv(kFirRamp, 0.05f, haze));
        }
    }
}

// A cottage `width` along the arc and `depth` across it, its long wall facing the room.
void addCottage(Shape& walls, Shape& roof, float turn, float radius, uint32_t seed) {
    const float width = 250.0f + 40.0f * landscapeHash(1, seed), depth = 180.0f, eaves = 145.0f, ridge = eaves + 105.0f;
    const float bottom = kLandscapeGround - 30.0f;
    const Float3 origin = onArc(turn, radius, 0.0f);
    const Float3 out = normalized({std::cos(turn), std::sin(turn), 0}), along = cross({0, 0, 1}, out) * -1.0f;
    // along points to the viewer's right seen from the room, out away from the room.
    // Modelled at full size and built at kScale: a small house seen far off.
    constexpr float kScale = 0.62f;
    auto at = [&](float x, float y, float z) { return origin + (along * x + out * y) * kScale + Float3{0, 0, kLandscapeGround + (z - kLandscapeGround) * kScale}; };
    const float hw = 0.5f * width, hd = 0.5f * depth;
    auto quad = [&](Shape& s, Float3 a, Float3 b, Float3 c, Float3 d, Float2 ua, Float2 ub, Float2 uc, Float2 ud) {
        const uint32_t i = s.addPosition(a), j = s.addPosition(b), k = s.addPosition(c), l = s.addPosition(d);
        s.addQuad(i, j, k, l, ua, ub, uc, ud);
    };
    const float h = ridge - bottom;
    const float wallTop = (eaves - bottom) / h;
    // Long walls: the front facing the room, the back away from it.
    quad(walls, at(-hw, -hd, bottom), at(hw, -hd, bottom), at(hw, -hd, eaves), at(-hw, -hd, eaves), inRect(kCottageFront, 0, 0), inRect(kCottageFront, 1, 0),
         inRect(kCottageFront, 1, 1), inRect(kCottageFront, 0, 1));
    quad(walls, at(hw, hd, bottom), at(-hw, hd, bottom), at(-hw, hd, eaves), at(hw, hd, eaves), inRect(kCottageEnd, 0, 0), inRect(kCottageEnd, 1, 0),
         inRect(kCottageEnd, 1, wallTop), inRect(kCottageEnd, 0, wallTop));
    // Gable ends: a wall and the triangle under the roof.
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * hw, y0 = side < 0 ? hd : -hd, y1 = -y0;
        const uint32_t a = walls.addPosition(at(x, y0, bottom)), b = walls.addPosition(at(x, y1, bottom)), c = walls.addPosition(at(x, y1, eaves)),
                       d = walls.addPosition(at(x, 0, ridge)), e = walls.addPosition(at(x, y0, eaves));
        walls.addQuad(a, b, c, e, inRect(kCottageEnd, 0, 0), inRect(kCottageEnd, 1, 0), inRect(kCottageEnd, 1, wallTop), inRect(kCottageEnd, 0, wallTop));
        walls.addFace(e, c, d, inRect(kCottageEnd, 0, wallTop), inRect(kCottageEnd, 1, wallTop), inRect(kCottageEnd, 0.5f, 1));
    }
    // The roof: two snow-covered slabs overhanging the walls, and a stone chimney with a cap of snow.
    for (float side : {-1.0f, 1.0f}) {
        const float over = 22.0f, slope = (ridge - eaves) / hd;
        const Float3 lowL = at(-hw - 18.0f, side * (hd + over), eaves - over * slope), lowR = at(hw + 18.0f, side * (hd + over), eaves - over * slope);
        const Float3 topL = at(-hw - 18.0f, 0, ridge + 6.0f), topR = at(hw + 18.0f, 0, ridge + 6.0f);
        Shape slab;
        const Float3 lift{0, 0, 12.0f * kScale};
        const uint32_t a = slab.addPosition(side < 0 ? lowL : lowR), b = slab.addPosition(side < 0 ? lowR : lowL), c = slab.addPosition(side < 0 ? topR : topL),
                       d = slab.addPosition(side < 0 ? topL : topR);
        const uint32_t e = slab.addPosition(slab.positions[a] - lift), f = slab.addPosition(slab.positions[b] - lift);
        slab.addQuad(a, b, c, d);
        slab.addQuad(e, f, b, a);  // the snow's thick edge at the eaves
        for (size_t k = 0; k < slab.faces.size(); ++k) {
            const float lit = moonlit(slab.faceNormal(k));
            slab.uvs[k] = {rampUv(kSnowRamp, lit, 0.0f), rampUv(kSnowRamp, lit, 0.0f), rampUv(kSnowRamp, lit, 0.0f)};
        }
        merge(roof, slab);
    }
    Shape chimney = box(Float3{34.0f, 34.0f, 110.0f} * kScale);
    apply(chimney, Transform::translate(at(hw * 0.45f, hd * 0.3f, ridge + 10.0f)) * Transform::rotateZ(turn));
    fitUv(chimney, kCottageStone.u0, kCottageStone.v0, kCottageStone.u1, kCottageStone.v1);
    merge(walls, chimney);
    Shape cap = box(Float3{42.0f, 42.0f, 12.0f} * kScale, 2.0f);
    apply(cap, Transform::translate(at(hw * 0.45f, hd * 0.3f, ridge + 68.0f)) * Transform::rotateZ(turn));
    for (size_t k = 0; k < cap.faces.size(); ++k) {
        const Float2 uv = rampUv(kSnowRamp, moonlit(cap.faceNormal(k)), 0.0f);
        cap.uvs[k] = {uv, uv, uv};
    }
    merge(roof, cap);
}

Float3 onDome(float turn, float elevation, float radius) {
    return kArcCentre + Float3{std::cos(turn) * std::cos(elevation), std::sin(turn) * std::cos(elevation), std::sin(elevation)} * radius;
}

// The sky: a dome over the arc, its picture repeated round it so the stars stay small and round.
Shape skyDome() {
    const int segments = 48;
    const float rings[] = {kSkyBottom, 0.0f, 0.06f, 0.13f, 0.21f, 0.3f, 0.4f, 0.52f, 0.65f, kSkyTop};
    const uint32_t ringCount = static_cast<uint32_t>(std::size(rings)), width = static_cast<uint32_t>(segments + 1);
    Shape sky;
    for (float e : rings)
        for (int i = 0; i <= segments; ++i) sky.addPosition(onDome(kArcFrom + (kArcTo - kArcFrom) * static_cast<float>(i) / segments, e, kSkyRadius));
    for (uint32_t r = 0; r + 1 < ringCount; ++r)
        for (uint32_t i = 0; i < static_cast<uint32_t>(segments); ++i) {
            const uint32_t a = r * width + i, b = a + 1, c = b + width, d = a + width;
            const float u0 = kSkyRepeats * static_cast<float>(i) / segments, u1 = kSkyRepeats * static_cast<float>(i + 1) / segments;
            const float v0 = (rings[r] - kSkyBottom) / (kSkyTop - kSkyBottom), v1 = (rings[r + 1] - kSkyBottom) / (kSkyTop - kSkyBottom);
            // Seen from the centre: wind the quad so it faces inwards.
            sky.addQuad(b, a, d, c, {u1, v0}, {u0, v0}, {u0, v1}, {u1, v1});
        }
    return sky;
}

// The moon and its halo on a patch just inside the dome, facing its centre; the picture's clear
// surround lets the sky show through.
Shape moon() {
    Shape s;
    const Float3 c = onDome(kMoonTurn, kMoonElevation, kSkyRadius - 30.0f);
    const Float3 side = Float3{-std::sin(kMoonTurn), std::cos(kMoonTurn), 0} * kMoonPatch;
    const Float3 up = Float3{-std::cos(kMoonTurn) * std::sin(kMoonElevation), -std::sin(kMoonTurn) * std::sin(kMoonElevation), std::cos(kMoonElevation)} * kMoonPatch;
    // From the room the viewer's left is along +side.
    const uint32_t a = s.addPosition(c + side - up), b = s.addPosition(c - side - up), d = s.addPosition(c - side + up), e = s.addPosition(c + side + up);
    s.addQuad(a, b, d, e, {0, 0}, {1, 0}, {1, 1}, {0, 1});
    return s;
}

ObjectDef panorama() {
    // Drawn nearest first (the materials' order is the drawing order): the hills and woods, the
    // snow field, then the sky only where nothing stands in front of it, and the moon over it.
    ObjectDef o{"panorama", {material("room_landscape.tga"), material("room_snowfield.tga"), material("room_panorama.tga"), material("room_moon.tga")}, {}, 0};
    // The snow field from the house to the sky.
    Shape field;
    const int segments = 48;
    for (int i = 0; i < segments; ++i) {
        const float a0 = kArcFrom + (kArcTo - kArcFrom) * static_cast<float>(i) / segments;
        const float a1 = kArcFrom + (kArcTo - kArcFrom) * static_cast<float>(i + 1) / segments;
        const Float3 d0{std::cos(a0), std::sin(a0), 0}, d1{std::cos(a1), std::sin(a1), 0};
        const float near = kOuter + 5.0f;
        const Float3 q0 = kArcCentre + d0 * ((near - kArcCentre.x) / d0.x), q1 = kArcCentre + d1 * ((near - kArcCentre.x) / d1.x);
        const Float3 p0 = onArc(a0, kSkyRadius - 20.0f, 0), p1 = onArc(a1, kSkyRadius - 20.0f, 0);
        const uint32_t e = field.addPosition({q0.x, q0.y, kLandscapeGround}), f = field.addPosition({q1.x, q1.y, kLandscapeGround}),
                       g = field.addPosition({p1.x, p1.y, kLandscapeGround}), h = field.addPosition({p0.x, p0.y, kLandscapeGround});
        field.addQuad(e, h, g, f);
    }
    planarUv(field, 2, 1.0f / 500.0f);

    Shape land, trees, walls, roofs;
    // Cottages at the foot of the near hills, each seen through one of the windows.
    const float cottages[] = {-0.2f, 0.07f};
    for (int i = 0; i < 2; ++i) addCottage(walls, roofs, cottages[i], 1420.0f, 71u + static_cast<uint32_t>(i));
    for (const HillLayer& l : kHills) {
        merge(land, hills(l));
        for (int k = 0; k < l.trees; ++k) {
            const uint32_t seed = l.seed * 1000u + static_cast<uint32_t>(k);
            const float a = kArcFrom + (kArcTo - kArcFrom) * landscapeHash(1, seed);
            // Firs grow in woods: thick where a slow wave along the arc is high, thin elsewhere.
            const float wood = 0.5f + 0.5f * std::sin(9.0f * a + static_cast<float>(l.seed)) * std::cos(3.0f * a + 1.3f);
            if (landscapeHash(2, seed) > 0.25f + 0.75f * wood) continue;
            const float t = 0.08f + 0.8f * landscapeHash(3, seed);
            bool clear = true;
            for (float c : cottages) clear = clear && std::fabs(a - c) * l.nearRadius > 220.0f;
            if (!clear && &l == &kHills[0] && t < 0.3f) continue;
            const float height = l.treeLow + (l.treeHigh - l.treeLow) * landscapeHash(4, seed);
            Float3 at = hillPoint(l, a, t);
            at.z -= 8.0f;
            const bool near = &l == &kHills[0];
            addFir(trees, at, height, l.haze, seed, near ? 3 : 2, near);
        }
    }
    o.parts.push_back({std::move(walls), 0});
    o.parts.push_back({std::move(roofs), 0});
    o.parts.push_back({std::move(trees), 0});
    o.parts.push_back({std::move(land), 0});
    o.parts.push_back({std::move(field), 1});
    o.parts.push_back({skyDome(), 2});
    // Last: drawn over the sky it lets through, behind everything else.
    o.parts.push_back({moon(), 3});
    return o;
}

}  // namespace

std::vector<ObjectDef> windowObjects() { return {frames(), glass(), curtains(), panorama()}; }

}  // namespace hg::bake::room
