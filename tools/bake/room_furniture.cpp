// The furniture: the couch facing the fire, two armchairs, the rug, the coffee and side tables,
// the bookcase with its books, a dresser, a footstool, the felt skirt under the tree and the
// wreath on the door. Pieces are modelled facing +y at the origin and then placed.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "bake/room_layout.h"

namespace hg::bake::room {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kFabricScale = 1.0f / 60.0f;
constexpr float kWoodScale = 1.0f / 60.0f;

// Coordinates across one side of a rounded box of half-size `half`: `steps` facets round each
// rounded edge (spaced so each turns by the same angle) and `flat` equal strips between them.
std::vector<float> roundedSpans(float half, float radius, int steps, int flat) {
    std::vector<float> out;
    const float core = half - radius;
    for (int k = 0; k < steps; ++k) out.push_back(-core - radius * std::tan(0.25f * kPi * (1.0f - static_cast<float>(k) / static_cast<float>(steps))));
    for (int j = 0; j <= flat; ++j) out.push_back(-core + 2.0f * core * static_cast<float>(j) / static_cast<float>(flat));
    for (int k = steps - 1; k >= 0; --k) out.push_back(core + radius * std::tan(0.25f * kPi * (1.0f - static_cast<float>(k) / static_cast<float>(steps))));
    return out;
}

// A box of `size` centred on the origin with every edge and corner rounded to `radius` (an
// upholstered block), its two largest faces puffed out by `puff` in the middle as a filled
// cushion is. UVs box-projected at kFabricScale in the box's own frame.
Shape roundedBox(Float3 size, float radius, float puff = 0.0f, int steps = 2, int flat = 2) {
    const float half[3] = {0.5f * size.x, 0.5f * size.y, 0.5f * size.z};
    radius = std::min({radius, 0.9f * half[0], 0.9f * half[1], 0.9f * half[2]});
    const int thin = half[0] <= half[1] && half[0] <= half[2] ? 0 : (half[1] <= half[2] ? 1 : 2);
    Shape s;
    // Each side: the axis it faces, its sign, and two axes across it whose cross product points out.
    const int sides[3][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}};
    for (const auto& side : sides)
        for (float sign : {1.0f, -1.0f}) {
            const int n = side[0];
            // Mirroring the side flips one axis across it so the winding still faces out.
            const int a = sign > 0 ? side[1] : side[2], b = sign > 0 ? side[2] : side[1];
            const std::vector<float> as = roundedSpans(half[a], radius, steps, flat), bs = roundedSpans(half[b], radius, steps, flat);
            const uint32_t first = static_cast<uint32_t>(s.positions.size());
            for (float qb : bs)
                for (float qa : as) {
                    float q[3];
                    q[n] = sign * half[n];
                    q[a] = qa;
                    q[b] = qb;
                    float inner[3], d[3];
                    for (int i = 0; i < 3; ++i) {
                        inner[i] = std::clamp(q[i], -(half[i] - radius), half[i] - radius);
                        d[i] = q[i] - inner[i];
                    }
                    const Float3 dir = normalized({d[0], d[1], d[2]});
                    float p[3] = {inner[0] + dir.x * radius, inner[1] + dir.y * radius, inner[2] + dir.z * radius};
                    if (puff > 0.0f) {
                        const int u = (thin + 1) % 3, w = (thin + 2) % 3;
                        const float fu = p[u] / half[u], fw = p[w] / half[w];
                        p[thin] += puff * (1.0f - fu * fu) * (1.0f - fw * fw) * (p[thin] / half[thin]);
                    }
                    s.addPosition({p[0], p[1], p[2]});
                }
            const uint32_t width = static_cast<uint32_t>(as.size());
            for (uint32_t j = 0; j + 1 < bs.size(); ++j)
                for (uint32_t i = 0; i + 1 < width; ++i) {
                    const uint32_t c = first + j * width + i;
                    s.addQuad(c, c + 1, c + 1 + width, c + width);
                }
        }
    boxUv(s, kFabricScale);
    return s;
}

// An upholstered piece of `size` whose lower corner is `lo`, in the seat's own frame.
Shape padded(Float3 lo, Float3 size, float radius, float puff = 0.0f, int steps = 2, int flat = 2) {
    Shape s = roundedBox(size, radius, puff, steps, flat);
    apply(s, Transform::translate(lo + size * 0.5f));
    return s;
}

// A turned wooden foot 11 cm tall, standing on z = 0.
Shape turnedFoot() {
    const std::array<Float2, 7> profile = {Float2{0, 0}, {2.4f, 0}, {3.8f, 4.0f}, {2.8f, 8.0f}, {4.2f, 9.5f}, {4.2f, 11.0f}, {0, 11.0f}};
    return worldUv(lathe(profile, 8), kWoodScale);
}

// The couch facing +y, `width` across and `depth` deep, on its own origin: a low frame on turned
// feet, rolled arms, a padded back, plump seat and back cushions (fabric, material 0), the feet
// (wood, 1) and two plaid scatter cushions (2).
std::vector<Part> couchParts(float width, float depth) {
    std::vector<Part> parts;
    const float hw = 0.5f * width, hd = 0.5f * depth, arm = 20.0f, feet = 11.0f;
    auto fabric = [&](Shape s) { parts.push_back({std::move(s), 0}); };
    // The frame between the arms, skirted down to the feet.
    fabric(padded({-hw + arm - 3.0f, -hd + 4.0f, feet}, {width - 2 * arm + 6.0f, depth - 6.0f, 28.0f}, 4.0f, 0.0f, 2, 1));
    // The back: a deep padded panel, its top rounded over.
    fabric(padded({-hw + 3.0f, -hd, feet}, {width - 6.0f, 22.0f, 76.0f}, 9.0f));
    // Rolled arms: a padded panel and a roll along its top flaring outwards.
    for (float side : {-1.0f, 1.0f}) {
        const float xc = side * (hw - 0.5f * arm);
        fabric(padded({xc - 0.5f * arm, -hd + 1.0f, feet}, {arm, depth - 1.0f, 44.0f}, 5.0f, 0.0f, 2, 1));
        fabric(padded({xc - 0.5f * arm - 3.0f + side * 2.0f, -hd + 1.0f, feet + 37.0f}, {arm + 6.0f, depth + 2.0f, 17.0f}, 8.0f, 0.0f, 2, 1));
    }
    // Seat cushions side by side, and back cushions leaning on the back.
    const int cushions = width > 150.0f ? 3 : 1;
    const float inner = width - 2 * arm, each = inner / static_cast<float>(cushions);
    for (int i = 0; i < cushions; ++i) {
        const float x0 = -hw + arm + each * static_cast<float>(i);
        fabric(padded({x0 + 0.6f, -hd + 21.0f, feet + 27.0f}, {each - 1.2f, depth - 19.0f, 15.0f}, 5.5f, 2.5f));
        Shape back = roundedBox({each - 1.5f, 17.0f, 42.0f}, 6.5f, 3.0f);
        apply(back, Transform::translate({x0 + 0.5f * each, -hd + 31.0f, feet + 64.0f}) * Transform::rotateX(-0.22f));
        fabric(std::move(back));
    }
    for (float x : {-hw + 7.0f, hw - 7.0f})
        for (float y : {-hd + 7.0f, hd - 7.0f}) parts.push_back({placed(turnedFoot(), {x, y, 0}), 1});
    // Two plaid cushions propped in the corners.
    for (float side : {-1.0f, 1.0f}) {
        Shape p = roundedBox({40.0f, 13.0f, 40.0f}, 6.0f, 4.5f);
        boxUv(p, 1.0f / 40.0f);
        apply(p, Transform::translate({side * (hw - arm - 19.0f), -hd + 38.0f, feet + 57.0f}) * Transform::rotateZ(side * 0.3f) *
                     Transform::rotateX(-0.35f) * Transform::rotateY(side * 0.55f));
        parts.push_back({std::move(p), 2});
    }
    return parts;
}

// A wing chair facing +y: a tall padded back with wings, rolled arms, one deep seat cushion and
// one back cushion (fabric, 0) on turned feet (wood, 1).
std::vector<Part> armchairParts(float width, float depth) {
    std::vector<Part> parts;
    const float hw = 0.5f * width, hd = 0.5f * depth, arm = 17.0f, feet = 11.0f;
    auto fabric = [&](Shape s) { parts.push_back({std::move(s), 0}); };
    fabric(padded({-hw + arm - 3.0f, -hd + 4.0f, feet}, {width - 2 * arm + 6.0f, depth - 6.0f, 28.0f}, 4.0f, 0.0f, 2, 1));
    fabric(padded({-hw + 3.0f, -hd, feet}, {width - 6.0f, 20.0f, 96.0f}, 9.0f));
    for (float side : {-1.0f, 1.0f}) {
        const float xc = side * (hw - 0.5f * arm);
        fabric(padded({xc - 0.5f * arm, -hd + 10.0f, feet}, {arm, depth - 10.0f, 42.0f}, 5.0f, 0.0f, 2, 1));
        fabric(padded({xc - 0.5f * arm - 3.0f + side * 2.0f, -hd + 10.0f, feet + 36.0f}, {arm + 6.0f, depth - 8.0f, 16.0f}, 7.5f, 0.0f, 2, 1));
        // A wing rising from the arm to the top of the back, splayed a little outwards.
        Shape wing = roundedBox({9.0f, 34.0f, 50.0f}, 4.5f, 0.0f, 2, 1);
        apply(wing, Transform::translate({side * (hw - 5.0f), -hd + 24.0f, feet + 70.0f}) * Transform::rotateZ(-side * 0.16f) *
                        Transform::rotateY(side * 0.06f));
        fabric(std::move(wing));
    }
    fabric(padded({-hw + arm + 0.6f, -hd + 19.0f, feet + 27.0f}, {width - 2 * arm - 1.2f, depth - 17.0f, 15.0f}, 5.5f, 2.5f));
    Shape back = roundedBox({width - 2 * arm - 2.0f, 15.0f, 52.0f}, 6.5f, 3.0f);
    apply(back, Transform::translate({0.0f, -hd + 27.0f, feet + 70.0f}) * Transform::rotateX(-0.16f));
    fabric(std::move(back));
    for (float x : {-hw + 7.0f, hw - 7.0f})
        for (float y : {-hd + 7.0f, hd - 7.0f}) parts.push_back({placed(turnedFoot(), {x, y, 0}), 1});
    return parts;
}

std::vector<Part> placedParts(std::vector<Part> parts, Float3 at, float turn) {
    for (Part& p : parts) {
        p.shape = placed(std::move(p.shape), at, turn);
        smoothNormals(p.shape, 50.0f);
    }
    return parts;
}

ObjectDef couch() {
    ObjectDef o{"couch", {material("room_velvet_red.tga"), material("room_mantel.tga"), material("plaid_red.tga")}, {}, 256};
    o.parts = placedParts(couchParts(kCouchWidth, kCouchDepth), kCouchCentre, 0.0f);
    return o;
}

ObjectDef armchair(int i) {
    ObjectDef o{"armchair0" + std::to_string(i + 1), {material("room_velvet_green.tga"), material("room_mantel.tga")}, {}, 256};
    o.parts = placedParts(armchairParts(kArmchairWidth, kArmchairDepth), kArmchairs[i], kArmchairTurn[i]);
    return o;
}

ObjectDef rug() {
    ObjectDef o{"rug", {material("room_rug.tga")}, {}, 256};
    const float x0 = kCoffeeTable.x - 150.0f, x1 = kCoffeeTable.x + 150.0f, y0 = kCoffeeTable.y - 105.0f, y1 = kCoffeeTable.y + 105.0f;
    Shape top = rect({x0, y0, 0.8f}, {x1 - x0, 0, 0}, {0, y1 - y0, 0}, 1.0f);
    for (auto& corners : top.uvs)
        for (Float2& uv : corners) uv = {uv.u / (x1 - x0), uv.v / (y1 - y0)};
    o.parts.push_back({std::move(top), 0});
    return o;
}

ObjectDef coffeeTable() {
    ObjectDef o{"coffeetable", {material("room_mantel.tga")}, {}, 128};
    const Float3 c = kCoffeeTable;
    const float top = kCoffeeTableTop;
    o.parts.push_back({block({c.x - 58.0f, c.y - 32.0f, top - 4.0f}, {c.x + 58.0f, c.y + 32.0f, top}, kWoodScale, 1.2f), 0});
    o.parts.push_back({block({c.x - 50.0f, c.y - 25.0f, top - 9.0f}, {c.x + 50.0f, c.y + 25.0f, top - 4.0f}, kWoodScale), 0});
    o.parts.push_back({block({c.x - 48.0f, c.y - 24.0f, 9.0f}, {c.x + 48.0f, c.y + 24.0f, 11.0f}, kWoodScale), 0});
    const std::array<Float2, 8> leg = {Float2{0, 0}, {2.0f, 0}, {2.6f, 4.0f}, {1.8f, 9.0f}, {2.8f, 14.0f}, {2.2f, 30.0f}, {2.8f, top - 9.0f}, {0, top - 9.0f}};
    for (float dx : {-48.0f, 48.0f})
        for (float dy : {-22.0f, 22.0f}) o.parts.push_back({placed(worldUv(lathe(leg, 10), kWoodScale), {c.x + dx, c.y + dy, 0}), 0});
    return o;
}

ObjectDef sideTables() {
    ObjectDef o{"sidetables", {material("room_mantel.tga")}, {}, 128};
    const std::array<Float2, 12> pedestal = {Float2{0, 0},       {20.0f, 0},        {20.0f, 2.0f},  {6.0f, 6.0f},
                                             {3.5f, 10.0f},      {5.0f, 18.0f},     {3.0f, 26.0f},  {4.5f, 40.0f},
                                             {3.0f, kSideTableTop - 4.0f}, {27.0f, kSideTableTop - 3.5f}, {27.0f, kSideTableTop}, {0, kSideTableTop}};
    for (const Float3& at : kSideTables) {
        Shape s = lathe(pedestal, 24);
        smoothNormals(s, 40.0f);
        o.parts.push_back({placed(worldUv(std::move(s), kWoodScale), at), 0});
    }
    return o;
}

ObjectDef bookcase() {
    ObjectDef o{"bookcase", {material("room_mantel.tga")}, {}, 256};
    const float y0 = 225.0f, y1 = 375.0f, d = 36.0f, top = 205.0f, s = kWoodScale;
    o.parts.push_back({block({0.5f, y0, 0}, {d, y0 + 3.0f, top}, s), 0});
    o.parts.push_back({block({0.5f, y1 - 3.0f, 0}, {d, y1, top}, s), 0});
    o.parts.push_back({block({0.5f, y0 + 3.0f, 0}, {2.5f, y1 - 3.0f, top}, s), 0});
    o.parts.push_back({block({-0.5f, y0 - 3.0f, top}, {d + 3.0f, y1 + 3.0f, top + 5.0f}, s, 1.0f), 0});
    for (float z : {0.0f, 42.0f, 82.0f, 122.0f, 162.0f}) o.parts.push_back({block({2.5f, y0 + 3.0f, z}, {d - 0.5f, y1 - 3.0f, z + 3.0f}, s), 0});
    o.parts.push_back({block({d - 2.0f, y0 + 3.0f, 3.0f}, {d, y1 - 3.0f, 9.0f}, s), 0});
    return o;
}

ObjectDef books() {
    ObjectDef o{"books", {material("room_books.tga")}, {}, 128};
    uint32_t seed = 1234567u;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>((seed >> 8) & 0xFFFF) / 65535.0f;
    };
    for (float z : {45.0f, 85.0f, 125.0f, 165.0f}) {
        // A shelf's books make one part: their spines share one lightmap chart.
        Shape row;
        float y = 230.0f + 8.0f * next();
        const float end = 370.0f - 10.0f - 25.0f * next();
        while (y < end) {
            const float w = 2.5f + 3.5f * next(), h = 22.0f + 12.0f * next(), depth = 20.0f + 6.0f * next();
            Shape b = block({3.0f, y, z}, {3.0f + depth, y + w, z + h}, 1.0f, 0.3f);
            // Each book's spine takes one of the atlas's eight columns.
            const int cell = static_cast<int>(next() * 8.0f) % 8;
            for (auto& corners : b.uvs)
                for (Float2& uv : corners) uv = {(static_cast<float>(cell) + 0.1f + 0.8f * std::fmod(std::fabs(uv.u), 1.0f)) / 8.0f, std::fmod(std::fabs(uv.v), 1.0f)};
            merge(row, b);
            y += w + 0.3f;
            if (next() < 0.06f) y += 8.0f;
        }
        o.parts.push_back({std::move(row), 0});
    }
    return o;
}

ObjectDef dresser() {
    ObjectDef o{"dresser", {material("room_mantel.tga"), material("room_brass.tga")}, {}, 128};
    const float x0 = 470.0f, x1 = 640.0f, d = 48.0f, top = 86.0f;
    o.parts.push_back({block({x0, 0.5f, 8.0f}, {x1, d, top - 3.0f}, kWoodScale, 1.0f), 0});
    o.parts.push_back({block({x0 - 3.0f, 0.5f, top - 3.0f}, {x1 + 3.0f, d + 3.0f, top}, kWoodScale, 1.0f), 0});
    for (float x : {x0 + 3.0f, x1 - 7.0f})
        for (float y : {3.0f, d - 4.0f}) o.parts.push_back({block({x, y, 0}, {x + 4.0f, y + 4.0f, 8.0f}, kWoodScale), 0});
    // Drawer fronts and brass pulls.
    for (int row = 0; row < 3; ++row) {
        const float z0 = 12.0f + 24.0f * static_cast<float>(row), z1 = z0 + 21.0f;
        for (int col = 0; col < 2; ++col) {
            const float a = x0 + 5.0f + 81.0f * static_cast<float>(col), b = a + 78.0f;
            o.parts.push_back({block({a, d, z0}, {b, d + 1.5f, z1}, kWoodScale, 0.5f), 0});
            o.parts.push_back({block({0.5f * (a + b) - 6.0f, d + 1.5f, 0.5f * (z0 + z1) - 1.0f}, {0.5f * (a + b) + 6.0f, d + 3.5f, 0.5f * (z0 + z1) + 1.0f}, 1.0f / 10.0f), 1});
        }
    }
    return o;
}

ObjectDef footstool() {
    ObjectDef o{"footstool", {material("room_velvet_green.tga"), material("room_mantel.tga")}, {}, 64};
    const Float3 c{185.0f, 440.0f, 0};
    o.parts.push_back({placed(padded({-25.0f, -19.0f, 10.0f}, {50.0f, 38.0f, 25.0f}, 6.0f, 2.0f), c), 0});
    for (float dx : {-19.0f, 19.0f})
        for (float dy : {-13.0f, 13.0f}) o.parts.push_back({placed(turnedFoot(), c + Float3{dx, dy, 0}), 1});
    for (Part& p : o.parts) smoothNormals(p.shape, 50.0f);
    return o;
}

ObjectDef treeSkirt() {
    ObjectDef o{"treeskirt", {material("room_felt.tga")}, {}, 128};
    Shape disc = cylinder(68.0f, 64.0f, 2.0f, 40);
    planarUv(disc, 2, 1.0f / 136.0f, {0.5f, 0.5f});
    o.parts.push_back({placed(std::move(disc), {kTreePosition.x, kTreePosition.y, 0.1f}), 0});
    return o;
}

ObjectDef wreath() {
    ObjectDef o{"wreath", {material("fir_needles.tga"), material("room_felt.tga")}, {}, 64};
    const Float3 at{5.0f, 0.5f * (kDoorY0 + kDoorY1), 168.0f};
    Shape ring = torus(17.0f, 6.0f, 24, 10);
    ring.uvs.assign(ring.faces.size(), {});
    boxUv(ring, 1.0f / 12.0f);
    apply(ring, Transform::translate(at) * Transform::rotateY(1.5708f));
    smoothNormals(ring, 60.0f);
    o.parts.push_back({std::move(ring), 0});
    // A red bow at the bottom.
    for (float side : {-1.0f, 1.0f}) {
        Shape loop = block({-2.0f, -6.0f, -3.5f}, {2.0f, 6.0f, 3.5f}, 1.0f / 12.0f, 1.5f);
        apply(loop, Transform::translate(at + Float3{5.0f, side * 6.5f, -17.0f}) * Transform::rotateX(side * 0.4f));
        o.parts.push_back({std::move(loop), 1});
    }
    return o;
}

}  // namespace

std::vector<ObjectDef> furnitureObjects() {
    return {couch(), armchair(0), armchair(1), rug(), coffeeTable(), sideTables(), bookcase(), books(), dresser(), footstool(), treeSkirt(), wreath()};
}

}  // namespace hg::bake::room
