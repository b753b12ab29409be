// The east windows: reveals through the wall, painted frames with glazing bars, sills with snow
// outside, the panes, heavy curtains on brass rods, and the moonlit landscape beyond.
#include <cmath>
#include <numbers>

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

// The landscape outside: an arc of sky, hills and forest round the east side, and a snow field
// between the house and the arc. Drawn without a lightmap: its picture is the moonlit night.
ObjectDef panorama() {
    ObjectDef o{"panorama", {material("room_panorama.tga"), material("room_snowfield.tga")}, {}, 0};
    const Float3 centre{kWidth * 0.5f, kDepth * 0.5f, 0};
    const float radius = 2200.0f, bottom = -160.0f, top = 1700.0f, ground = -25.0f;
    const int segments = 36;
    const float from = -78.0f * kPi / 180.0f, to = 78.0f * kPi / 180.0f;
    Shape sky, field;
    for (int i = 0; i < segments; ++i) {
        const float a0 = from + (to - from) * static_cast<float>(i) / segments;
        const float a1 = from + (to - from) * static_cast<float>(i + 1) / segments;
        const Float3 d0{std::cos(a0), std::sin(a0), 0}, d1{std::cos(a1), std::sin(a1), 0};
        const Float3 p0 = centre + d0 * radius, p1 = centre + d1 * radius;
        const float u0 = static_cast<float>(i) / segments, u1 = static_cast<float>(i + 1) / segments;
        const uint32_t a = sky.addPosition(p0 + Float3{0, 0, bottom}), b = sky.addPosition(p1 + Float3{0, 0, bottom}),
                       c = sky.addPosition(p1 + Float3{0, 0, top}), d = sky.addPosition(p0 + Float3{0, 0, top});
        // Seen from the centre: wind the quad so it faces inwards.
        sky.addQuad(b, a, d, c, {u1, 0}, {u0, 0}, {u0, 1}, {u1, 1});
        const float near = kOuter + 5.0f;
        const Float3 q0 = centre + d0 * ((near - centre.x) / d0.x), q1 = centre + d1 * ((near - centre.x) / d1.x);
        const uint32_t e = field.addPosition({q0.x, q0.y, ground}), f = field.addPosition({q1.x, q1.y, ground}),
                       g = field.addPosition({p1.x, p1.y, ground}), h = field.addPosition({p0.x, p0.y, ground});
        field.addQuad(e, h, g, f);
    }
    planarUv(field, 2, 1.0f / 500.0f);
    o.parts.push_back({std::move(sky), 0});
    o.parts.push_back({std::move(field), 1});
    return o;
}

}  // namespace

std::vector<ObjectDef> windowObjects() { return {frames(), glass(), curtains(), panorama()}; }

}  // namespace hg::bake::room
