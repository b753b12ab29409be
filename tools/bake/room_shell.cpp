// The room's shell: papered walls above a wainscot, the plank floor, the beamed ceiling, the
// door and the pictures; and the geometry helpers every theme of the recipe shares.
#include <algorithm>
#include <cmath>

#include "bake/room_layout.h"

namespace hg::bake::room {

Shape worldUv(Shape shape, float uvScale) {
    boxUv(shape, uvScale);
    return shape;
}

Shape block(Float3 lo, Float3 hi, float uvScale, float bevel) {
    Shape s = box(hi - lo, bevel);
    apply(s, Transform::translate((lo + hi) * 0.5f));
    return worldUv(std::move(s), uvScale);
}

Shape rect(Float3 origin, Float3 u, Float3 v, float uvScale) {
    Shape s;
    const uint32_t a = s.addPosition(origin), b = s.addPosition(origin + u), c = s.addPosition(origin + u + v),
                   d = s.addPosition(origin + v);
    const float lu = length(u) * uvScale, lv = length(v) * uvScale;
    s.addQuad(a, b, c, d, {0, 0}, {lu, 0}, {lu, lv}, {0, lv});
    return s;
}

Shape placed(Shape shape, Float3 at, float turn) {
    apply(shape, Transform::translate(at) * Transform::rotateZ(turn));
    return shape;
}

SceneMaterial material(const std::string& texture, bool twoSided) {
    SceneMaterial m;
    m.baseTexture = texture;
    m.twoSided = twoSided;
    return m;
}

namespace {

// One wall seen from inside: it starts at `start` and runs along `dir` for `length`; its inner
// face looks along dir × z.
struct Wall {
    Float3 start;
    Float3 dir;
    float length;
    Float3 inward() const { return cross(dir, {0, 0, 1}); }
    Float3 at(float s, float z, float off = 0.0f) const { return start + dir * s + inward() * off + Float3{0, 0, z}; }
};

const Wall kNorth{{0, kDepth, 0}, {1, 0, 0}, kWidth};
const Wall kEast{{kWidth, kDepth, 0}, {0, -1, 0}, kDepth};
const Wall kSouth{{kWidth, 0, 0}, {-1, 0, 0}, kWidth};
const Wall kWest{{0, 0, 0}, {0, 1, 0}, kDepth};

struct Hole {
    float s0, z0, s1, z1;
};

// The band z0..z1 of a wall, `off` in front of it, as rectangles around the holes.
Shape wallBand(const Wall& wall, float z0, float z1, const std::vector<Hole>& holes, float off, float uvScale) {
    std::vector<float> cuts = {0.0f, wall.length};
    for (const Hole& h : holes) {
        cuts.push_back(std::clamp(h.s0, 0.0f, wall.length));
        cuts.push_back(std::clamp(h.s1, 0.0f, wall.length));
    }
    std::sort(cuts.begin(), cuts.end());
    Shape out;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const float sa = cuts[i], sb = cuts[i + 1];
        if (sb - sa < 0.01f) continue;
        std::vector<std::pair<float, float>> gaps;
        for (const Hole& h : holes)
            if (h.s0 <= sa + 0.01f && h.s1 >= sb - 0.01f) gaps.push_back({h.z0, h.z1});
        std::sort(gaps.begin(), gaps.end());
        float z = z0;
        auto piece = [&](float from, float to) {
            if (to - from < 0.01f) return;
            Shape r = rect(wall.at(sa, from, off), wall.dir * (sb - sa), {0, 0, to - from}, uvScale);
            merge(out, r);
        };
        for (auto [g0, g1] : gaps) {
            piece(z, std::min(g0, z1));
            z = std::max(z, g1);
        }
        piece(z, z1);
    }
    // Texture coordinates continue along the wall and up it, so the paper's pattern lines up.
    for (size_t f = 0; f < out.faces.size(); ++f)
        for (int c = 0; c < 3; ++c) {
            const Float3 p = out.positions[out.faces[f][c]] - wall.start;
            out.uvs[f][c] = {dot(p, wall.dir) * uvScale, p.z * uvScale};
        }
    return out;
}

// A straight moulding along a wall from s0 to s1: `depth` out from the wall, z0..z1.
Shape moulding(const Wall& wall, float s0, float s1, float z0, float z1, float depth, float uvScale) {
    const Float3 a = wall.at(s0, z0), b = wall.at(s1, z1, depth);
    return block({std::min(a.x, b.x), std::min(a.y, b.y), z0}, {std::max(a.x, b.x), std::max(a.y, b.y), z1}, uvScale);
}

constexpr float kWainscotTop = 84.0f;
constexpr float kPaperScale = 1.0f / 90.0f;

std::vector<Hole> windowHoles(float z0, float z1) {
    std::vector<Hole> holes;
    for (const WindowOpening& w : kWindows) holes.push_back({kDepth - w.y1, z0, kDepth - w.y0, z1});
    return holes;
}

ObjectDef walls() {
    ObjectDef o{"room", {material("room_wallpaper.tga")}, {}, 512};
    o.parentName = "Scene Root";
    for (const Wall* w : {&kNorth, &kSouth, &kWest}) o.parts.push_back({wallBand(*w, kWainscotTop, kHeight, {}, 0, kPaperScale), 0});
    o.parts.push_back({wallBand(kEast, kWainscotTop, kHeight, windowHoles(kSillZ, kHeadZ), 0, kPaperScale), 0});
    return o;
}

ObjectDef wainscot() {
    ObjectDef o{"wainscot", {material("room_wainscot.tga")}, {}, 256};
    const float off = 1.5f, scale = 1.0f / 120.0f;
    const std::vector<Hole> fireplace = {{kFireX - 112.0f, 0, kFireX + 112.0f, kWainscotTop}};
    const std::vector<Hole> door = {{kDoorY0 - 10.0f, 0, kDoorY1 + 10.0f, kWainscotTop}};
    o.parts.push_back({wallBand(kNorth, 0, kWainscotTop, fireplace, off, scale), 0});
    o.parts.push_back({wallBand(kSouth, 0, kWainscotTop, {}, off, scale), 0});
    o.parts.push_back({wallBand(kEast, 0, kWainscotTop, {}, off, scale), 0});
    o.parts.push_back({wallBand(kWest, 0, kWainscotTop, door, off, scale), 0});
    return o;
}

// Chair rail and skirting boards, interrupted where the fireplace and the door stand.
ObjectDef mouldings() {
    ObjectDef rails{"mouldings", {material("room_wainscot.tga")}, {}, 256};
    auto runs = [&](const Wall& wall, std::vector<std::pair<float, float>> spans) {
        for (auto [s0, s1] : spans) {
            rails.parts.push_back({moulding(wall, s0, s1, kWainscotTop - 5.0f, kWainscotTop + 1.0f, 4.0f, 1.0f / 60.0f), 0});
            rails.parts.push_back({moulding(wall, s0, s1, 0.0f, 14.0f, 3.0f, 1.0f / 60.0f), 0});
        }
    };
    runs(kNorth, {{0, kFireX - 112.0f}, {kFireX + 112.0f, kWidth}});
    runs(kSouth, {{0, kWidth}});
    runs(kEast, {{0, kDepth}});
    runs(kWest, {{0, kDoorY0 - 10.0f}, {kDoorY1 + 10.0f, kDepth}});
    return rails;
}

ObjectDef floor() {
    ObjectDef o{"floor", {material("room_floor.tga")}, {}, 512};
    o.parts.push_back({rect({0, 0, 0}, {kWidth, 0, 0}, {0, kDepth, 0}, 1.0f / 160.0f), 0});
    return o;
}

ObjectDef ceiling() {
    ObjectDef o{"ceiling", {material("room_ceiling.tga")}, {}, 256};
    o.parts.push_back({rect({0, 0, kHeight}, {0, kDepth, 0}, {kWidth, 0, 0}, 1.0f / 150.0f), 0});
    return o;
}

ObjectDef beams() {
    ObjectDef o{"beams", {material("room_beam.tga")}, {}, 256};
    for (float y : {100.0f, 275.0f, 450.0f}) o.parts.push_back({block({0.5f, y - 11, kHeight - 20}, {kWidth - 0.5f, y + 11, kHeight - 0.2f}, 1.0f / 100.0f, 1.0f), 0});
    return o;
}

// A sloping band where the walls meet the ceiling.
ObjectDef cornice() {
    ObjectDef cornice{"cornice", {material("room_paint.tga")}, {}, 256};
    for (const Wall* w : {&kNorth, &kEast, &kSouth, &kWest}) {
        const Float3 bottom = w->at(0, kHeight - 14.0f), top = w->at(0, kHeight, 12.0f);
        Shape s = rect(bottom, w->dir * w->length, top - bottom, 1.0f / 60.0f);
        cornice.parts.push_back({std::move(s), 0});
    }
    return cornice;
}

ObjectDef door() {
    ObjectDef o{"door", {material("room_door.tga"), material("room_brass.tga")}, {}, 128};
    const float y0 = kDoorY0, y1 = kDoorY1, top = kDoorTop;
    // The leaf, its panels raised by the texture.
    Shape leaf = block({0.2f, y0, 0.0f}, {3.2f, y1, top}, 1.0f);
    for (size_t f = 0; f < leaf.faces.size(); ++f)
        for (int c = 0; c < 3; ++c) {
            const Float3 p = leaf.positions[leaf.faces[f][c]];
            leaf.uvs[f][c] = {(p.y - y0) / (y1 - y0), p.z / top};
        }
    o.parts.push_back({std::move(leaf), 0});
    // A brass knob.
    Shape knob = sphere(3.2f, 12, 8);
    apply(knob, Transform::translate({7.5f, y1 - 12.0f, 100.0f}));
    o.parts.push_back({worldUv(std::move(knob), 1.0f / 10.0f), 1});
    Shape stem = cylinder(1.2f, 1.2f, 4.5f, 8);
    apply(stem, Transform::translate({3.0f, y1 - 12.0f, 100.0f}) * Transform::rotateY(1.5708f));
    o.parts.push_back({worldUv(std::move(stem), 1.0f / 10.0f), 1});
    return o;
}

// The architrave round the door.
ObjectDef doorFrame() {
    ObjectDef frame{"doorframe", {material("room_paint.tga")}, {}, 128};
    const float y0 = kDoorY0, y1 = kDoorY1, top = kDoorTop, w = 11.0f, scale = 1.0f / 60.0f;
    frame.parts.push_back({block({0.2f, y0 - w, 0}, {4.5f, y0, top + w}, scale, 0.8f), 0});
    frame.parts.push_back({block({0.2f, y1, 0}, {4.5f, y1 + w, top + w}, scale, 0.8f), 0});
    frame.parts.push_back({block({0.2f, y0, top}, {4.5f, y1, top + w}, scale, 0.8f), 0});
    return frame;
}

// A framed painting on a wall: `cell` picks the picture from the atlas (0..3).
void picture(ObjectDef& o, const Wall& wall, float s0, float s1, float z0, float z1, int cell) {
    const float border = 6.0f, depth = 3.5f;
    o.parts.push_back({moulding(wall, s0, s1, z0, z0 + border, depth, 1.0f / 40.0f), 1});
    o.parts.push_back({moulding(wall, s0, s1, z1 - border, z1, depth, 1.0f / 40.0f), 1});
    o.parts.push_back({moulding(wall, s0, s0 + border, z0 + border, z1 - border, depth, 1.0f / 40.0f), 1});
    o.parts.push_back({moulding(wall, s1 - border, s1, z0 + border, z1 - border, depth, 1.0f / 40.0f), 1});
    Shape canvas = rect(wall.at(s0 + border, z0 + border, 1.5f), wall.dir * (s1 - s0 - 2 * border), {0, 0, z1 - z0 - 2 * border}, 1.0f);
    const float u0 = 0.5f * static_cast<float>(cell % 2), v0 = 0.5f * static_cast<float>(1 - cell / 2);
    for (auto& corners : canvas.uvs)
        for (Float2& uv : corners) uv = {u0 + 0.01f + 0.48f * std::min(uv.u / (s1 - s0 - 2 * border), 1.0f), v0 + 0.01f + 0.48f * std::min(uv.v / (z1 - z0 - 2 * border), 1.0f)};
    o.parts.push_back({std::move(canvas), 0});
}

ObjectDef pictures() {
    ObjectDef o{"pictures", {material("room_paintings.tga"), material("room_gilt.tga")}, {}, 128};
    picture(o, kNorth, kFireX - 62.0f, kFireX + 62.0f, 170.0f, 262.0f, 0);  // winter landscape above the mantel
    picture(o, kNorth, 430.0f, 490.0f, 150.0f, 225.0f, 1);                  // still life beside it
    picture(o, kWest, 420.0f, 500.0f, 120.0f, 185.0f, 2);                   // harbour
    picture(o, kSouth, 250.0f, 450.0f, 130.0f, 220.0f, 3);                  // long landscape over the couch
    return o;
}

}  // namespace

std::vector<ObjectDef> shellObjects() {
    std::vector<ObjectDef> out;
    out.push_back(walls());
    out.push_back(wainscot());
    out.push_back(floor());
    out.push_back(ceiling());
    out.push_back(beams());
    out.push_back(door());
    out.push_back(pictures());
    out.push_back(mouldings());
    out.push_back(cornice());
    out.push_back(doorFrame());
    return out;
}

}  // namespace hg::bake::room
