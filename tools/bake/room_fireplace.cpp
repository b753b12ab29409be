// The fireplace on the north wall: a stone surround round a sooty brick firebox, the hearth
// slab, the wooden mantel shelf on its corbels, and the iron grate with its logs.
#include <cmath>

#include "bake/room_layout.h"

namespace hg::bake::room {

namespace {

constexpr float kX0 = kFireX - 112.0f, kX1 = kFireX + 112.0f;      // surround
constexpr float kOpen0 = kFireX - 56.0f, kOpen1 = kFireX + 56.0f;  // opening
constexpr float kOpenTop = 88.0f, kSurroundTop = 125.0f;
constexpr float kBack = kDepth - 4.0f;  // the firebox's back wall

ObjectDef surround() {
    ObjectDef o{"fireplace", {material("room_stone.tga")}, {}, 256};
    const float y0 = kSurroundFront, y1 = kDepth - 0.5f, s = 1.0f / 100.0f;
    o.parts.push_back({block({kX0, y0, 0}, {kOpen0, y1, kSurroundTop}, s, 1.0f), 0});
    o.parts.push_back({block({kOpen1, y0, 0}, {kX1, y1, kSurroundTop}, s, 1.0f), 0});
    o.parts.push_back({block({kOpen0, y0, kOpenTop}, {kOpen1, y1, kSurroundTop}, s, 1.0f), 0});
    // A keystone and a plinth band give the stone some architecture.
    o.parts.push_back({block({kFireX - 10.0f, y0 - 3.0f, kOpenTop - 4.0f}, {kFireX + 10.0f, y0 + 2.0f, kOpenTop + 22.0f}, s, 1.0f), 0});
    o.parts.push_back({block({kX0 - 3.0f, y0 - 3.0f, 0}, {kOpen0, y0 + 2.0f, 16.0f}, s, 1.0f), 0});
    o.parts.push_back({block({kOpen1, y0 - 3.0f, 0}, {kX1 + 3.0f, y0 + 2.0f, 16.0f}, s, 1.0f), 0});
    return o;
}

ObjectDef firebox() {
    ObjectDef o{"firebox", {material("room_firebrick.tga")}, {}, 128};
    const float y0 = kSurroundFront + 1.0f, s = 1.0f / 72.0f;
    // Seen from inside the opening: the back, the two splayed sides, the floor and the top.
    o.parts.push_back({rect({kOpen0 + 12.0f, kBack, 0}, {kOpen1 - kOpen0 - 24.0f, 0, 0}, {0, 0, kOpenTop}, s), 0});
    const Float3 lb{kOpen0 + 12.0f, kBack, 0}, lf{kOpen0, y0, 0}, rb{kOpen1 - 12.0f, kBack, 0}, rf{kOpen1, y0, 0};
    o.parts.push_back({rect(lf, lb - lf, {0, 0, kOpenTop}, s), 0});
    o.parts.push_back({rect(rb, rf - rb, {0, 0, kOpenTop}, s), 0});
    Shape floorQuad;
    {
        const uint32_t a = floorQuad.addPosition(lf + Float3{0, 0, 0.5f}), b = floorQuad.addPosition(rf + Float3{0, 0, 0.5f}),
                       c = floorQuad.addPosition(rb + Float3{0, 0, 0.5f}), d = floorQuad.addPosition(lb + Float3{0, 0, 0.5f});
        floorQuad.addQuad(a, b, c, d);
    }
    o.parts.push_back({worldUv(std::move(floorQuad), s), 0});
    Shape top;
    {
        const Float3 up{0, 0, kOpenTop};
        const uint32_t a = top.addPosition(lf + up), b = top.addPosition(lb + up), c = top.addPosition(rb + up), d = top.addPosition(rf + up);
        top.addQuad(a, b, c, d);
    }
    o.parts.push_back({worldUv(std::move(top), s), 0});
    return o;
}

ObjectDef hearth() {
    ObjectDef o{"hearth", {material("room_hearth.tga")}, {}, 128};
    o.parts.push_back({block({kX0 - 14.0f, kSurroundFront - 52.0f, 0}, {kX1 + 14.0f, kSurroundFront + 0.5f, 4.5f}, 1.0f / 80.0f, 1.2f), 0});
    return o;
}

ObjectDef mantel() {
    ObjectDef o{"mantel", {material("room_mantel.tga")}, {}, 128};
    const float s = 1.0f / 70.0f;
    o.parts.push_back({block({kX0 - 12.0f, kMantelFront, kMantelTop - 8.0f}, {kX1 + 12.0f, kDepth - 0.5f, kMantelTop}, s, 1.5f), 0});
    o.parts.push_back({block({kX0 - 4.0f, kMantelFront + 4.0f, kMantelTop - 15.0f}, {kX1 + 4.0f, kDepth - 0.5f, kMantelTop - 8.0f}, s, 1.0f), 0});
    for (float x : {kX0 + 4.0f, kX1 - 20.0f})
        o.parts.push_back({block({x, kMantelFront + 5.0f, kSurroundTop - 28.0f}, {x + 16.0f, kSurroundFront + 1.0f, kMantelTop - 15.0f}, s, 1.0f), 0});
    return o;
}

ObjectDef grate() {
    ObjectDef o{"grate", {material("room_iron.tga"), material("room_log.tga")}, {}, 128};
    const float y = kFirePosition.y, s = 1.0f / 20.0f;
    // Front bars standing up, a basket floor, four legs.
    for (int i = 0; i < 7; ++i) {
        const float x = kFireX - 33.0f + 11.0f * static_cast<float>(i);
        o.parts.push_back({placed(worldUv(cylinder(0.9f, 0.9f, 16.0f, 6), s), {x, y - 16.0f, 4.0f}), 0});
    }
    o.parts.push_back({block({kFireX - 36.0f, y - 17.0f, 17.0f}, {kFireX + 36.0f, y - 15.0f, 19.0f}, s), 0});
    o.parts.push_back({block({kFireX - 36.0f, y - 17.0f, 4.0f}, {kFireX + 36.0f, y + 12.0f, 6.0f}, s), 0});
    for (float dx : {-34.0f, 34.0f})
        for (float dy : {-15.0f, 10.0f}) o.parts.push_back({block({kFireX + dx - 1.5f, y + dy - 1.5f, 0.5f}, {kFireX + dx + 1.5f, y + dy + 1.5f, 5.0f}, s), 0});
    // Logs lying across the basket, one leaning on the others.
    struct Log {
        Float3 a, b;
        float r;
    };
    const Log logs[] = {{{kFireX - 32.0f, y - 6.0f, 11.0f}, {kFireX + 30.0f, y - 3.0f, 11.0f}, 5.5f},
                        {{kFireX - 28.0f, y + 7.0f, 11.0f}, {kFireX + 33.0f, y + 5.0f, 12.0f}, 6.0f},
                        {{kFireX - 22.0f, y - 2.0f, 19.0f}, {kFireX + 20.0f, y + 6.0f, 24.0f}, 4.5f}};
    for (const Log& log : logs) {
        Shape c = cylinder(log.r, log.r * 0.92f, length(log.b - log.a), 10);
        cylindricalUv(c, {0, 0, 0}, 2.0f, 1.0f / 40.0f);
        const Float3 dir = normalized(log.b - log.a);
        apply(c, Transform::frame(log.a, dir, {0, 0, 1}));
        smoothNormals(c, 50.0f);
        o.parts.push_back({std::move(c), 1});
    }
    return o;
}

}  // namespace

std::vector<ObjectDef> fireplaceObjects() { return {surround(), firebox(), hearth(), mantel(), grate()}; }

}  // namespace hg::bake::room
