// The furniture: the couch facing the fire, two armchairs, the rug, the coffee and side tables,
// the bookcase with its books, a dresser, a footstool, the felt skirt under the tree and the
// wreath on the door. Pieces are modelled facing +y at the origin and then placed.
#include <cmath>
#include <cstdint>

#include "bake/room_layout.h"

namespace hg::bake::room {

namespace {

constexpr float kFabricScale = 1.0f / 45.0f;
constexpr float kWoodScale = 1.0f / 60.0f;

// A seat (couch or armchair) of `width` facing +y: fabric (material 0), wooden feet (1) and two
// plaid cushions (2) when `pillows` is set.
std::vector<Part> seat(float width, float depth, bool pillows) {
    std::vector<Part> parts;
    const float hw = 0.5f * width, hd = 0.5f * depth, arm = 15.0f;
    auto fabric = [&](Float3 lo, Float3 hi, float bevel) { parts.push_back({block(lo, hi, kFabricScale, bevel), 0}); };
    fabric({-hw + arm - 2.0f, -hd + 4.0f, 9.0f}, {hw - arm + 2.0f, hd, 37.0f}, 3.0f);  // base
    fabric({-hw + 4.0f, -hd, 9.0f}, {hw - 4.0f, -hd + 24.0f, 86.0f}, 6.0f);         // back
    // Arms with rolled tops.
    for (float side : {-1.0f, 1.0f}) {
        const float x0 = side < 0 ? -hw : hw - arm, x1 = x0 + arm;
        fabric({x0, -hd, 9.0f}, {x1, hd, 58.0f}, 5.0f);
        Shape roll = cylinder(8.5f, 8.5f, depth + 2.0f, 14);
        apply(roll, Transform::frame({0.5f * (x0 + x1) + side * 1.0f, -hd - 1.0f, 60.0f}, {0, 1, 0}, {1, 0, 0}));
        parts.push_back({worldUv(std::move(roll), kFabricScale), 0});
    }
    // Seat and back cushions, plump and bevelled.
    const int cushions = width > 150.0f ? 3 : 1;
    const float inner = width - 2 * arm, each = inner / static_cast<float>(cushions);
    for (int i = 0; i < cushions; ++i) {
        const float x0 = -hw + arm + each * static_cast<float>(i), x1 = x0 + each;
        fabric({x0 + 0.5f, -hd + 22.0f, 37.0f}, {x1 - 0.5f, hd + 2.0f, 50.0f}, 5.0f);
        Shape back = block({x0 + 1.0f, -8.0f, 0.0f}, {x1 - 1.0f, 8.0f, 36.0f}, kFabricScale, 6.0f);
        apply(back, Transform::translate({0, -hd + 30.0f, 50.0f}) * Transform::rotateX(-0.2f));
        parts.push_back({worldUv(std::move(back), kFabricScale), 0});
    }
    for (float x : {-hw + 6.0f, hw - 6.0f})
        for (float y : {-hd + 6.0f, hd - 6.0f}) {
            Shape foot = cylinder(3.2f, 2.2f, 9.0f, 8);
            apply(foot, Transform::translate({x, y, 9.0f}) * Transform::rotateX(3.14159f));
            parts.push_back({worldUv(std::move(foot), kWoodScale), 1});
        }
    if (pillows) {
        for (float side : {-1.0f, 1.0f}) {
            Shape p = block({-17.0f, -6.0f, -17.0f}, {17.0f, 6.0f, 17.0f}, 1.0f / 34.0f, 6.0f);
            apply(p, Transform::translate({side * (hw - arm - 20.0f), -hd + 36.0f, 68.0f}) * Transform::rotateZ(side * 0.35f) *
                         Transform::rotateX(-0.3f) * Transform::rotateY(0.78f));
            parts.push_back({std::move(p), 2});
        }
    }
    return parts;
}

std::vector<Part> placedParts(std::vector<Part> parts, Float3 at, float turn) {
    for (Part& p : parts) {
        p.shape = placed(std::move(p.shape), at, turn);
        smoothNormals(p.shape, 45.0f);
    }
    return parts;
}

ObjectDef couch() {
    ObjectDef o{"couch", {material("room_velvet_red.tga"), material("room_mantel.tga"), material("plaid_red.tga")}, {}, 256};
    o.parts = placedParts(seat(215.0f, 92.0f, true), kCouchCentre, 0.0f);
    return o;
}

ObjectDef armchair(int i) {
    ObjectDef o{"armchair0" + std::to_string(i + 1), {material("room_velvet_green.tga"), material("room_mantel.tga"), material("plaid_red.tga")}, {}, 128};
    o.parts = placedParts(seat(98.0f, 88.0f, false), kArmchairs[i], kArmchairTurn[i]);
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
    o.parts.push_back({block({c.x - 24.0f, c.y - 18.0f, 10.0f}, {c.x + 24.0f, c.y + 18.0f, 34.0f}, kFabricScale, 5.0f), 0});
    for (float dx : {-20.0f, 20.0f})
        for (float dy : {-14.0f, 14.0f}) o.parts.push_back({placed(worldUv(cylinder(2.5f, 1.8f, 10.0f, 8), kWoodScale), {c.x + dx, c.y + dy, 0}), 1});
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

std::vector<Footprint> furnitureFootprints() {
    std::vector<Footprint> out;
    out.push_back({kCouchCentre.x - 108.0f, kCouchCentre.y - 46.0f, kCouchCentre.x + 108.0f, kCouchCentre.y + 46.0f, 0.55f});
    for (const Float3& a : kArmchairs) out.push_back({a.x - 44.0f, a.y - 44.0f, a.x + 44.0f, a.y + 44.0f, 0.45f});
    out.push_back({kCoffeeTable.x - 55.0f, kCoffeeTable.y - 30.0f, kCoffeeTable.x + 55.0f, kCoffeeTable.y + 30.0f, 0.35f});
    for (const Float3& t : kSideTables) out.push_back({t.x - 18.0f, t.y - 18.0f, t.x + 18.0f, t.y + 18.0f, 0.3f});
    out.push_back({0.0f, 225.0f, 36.0f, 375.0f, 0.4f});
    out.push_back({470.0f, 0.0f, 640.0f, 48.0f, 0.4f});
    out.push_back({kTreePosition.x - 60.0f, kTreePosition.y - 60.0f, kTreePosition.x + 60.0f, kTreePosition.y + 60.0f, 0.45f});
    return out;
}

}  // namespace hg::bake::room
