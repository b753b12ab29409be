// The toy railroad round the tree: a circle of track (Hull) and a train of a locomotive and two
// wagons, the second carrying a teddy bear.
//
// Every moving part is built where it stands at train angle 0 and pivots at the track centre, so
// turning a part about z runs it along the track. The locomotive leads anticlockwise (seen from
// above), the direction a growing angle turns it.
#include <array>
#include <cmath>
#include <numbers>

#include "bake/model_parts.h"
#include "bake/models.h"

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTrackRadius = 80.0f;  // centre line of the track
constexpr float kGauge = 6.0f;         // rail to rail
constexpr float kRailTop = 1.6f;
const char* const kAtlas = "train_atlas.tga";

Cell red() { return gridCell(0, 0, 4, 4); }
Cell green() { return gridCell(1, 0, 4, 4); }
Cell black() { return gridCell(2, 0, 4, 4); }
Cell brass() { return gridCell(3, 0, 4, 4); }
Cell gold() { return gridCell(0, 1, 4, 4); }
Cell ties() { return gridCell(1, 1, 4, 4); }
Cell steel() { return gridCell(2, 1, 4, 4); }
Cell window() { return gridCell(3, 2, 4, 4); }
Cell dottedPaper() { return gridCell(1, 2, 4, 4); }
Cell stripedPaper() { return gridCell(2, 2, 4, 4); }
Cell bed() { return gridCell(0, 3, 4, 4); }
Cell darkSteel() { return gridCell(3, 3, 4, 4); }

// Parts of a vehicle are built in its own frame: x forward, y to the left, z up from the rail top.
Shape part(Shape s, const Cell& cell, float crease = 40.0f) { return finishSolid(std::move(s), cell, crease); }
Shape boxAt(Float3 size, Float3 centre, const Cell& cell, float bevel = 0.0f) {
    return part(transformed(box(size, bevel), Transform::translate(centre)), cell);
}
// A round part along the vehicle's x axis from x0 forwards.
Shape alongX(Shape s, float x0, float z) { return transformed(std::move(s), Transform::frame({x0, 0, z}, {1, 0, 0}, {0, 0, 1})); }

// A wheel of radius r on the rail at x, on the left (side 1) or right (-1), with a brass hub.
Shape wheel(float x, float r, float side, const Cell& cell) {
    const float inner = kGauge * 0.5f - 0.35f;
    Shape s = part(transformed(cylinder(r, r, 0.7f, 18), Transform::frame({x, side * inner, r}, {0, side, 0}, {1, 0, 0})), cell);
    merge(s, part(transformed(cylinder(r * 0.35f, r * 0.25f, 0.35f, 10), Transform::frame({x, side * (inner + 0.7f), r}, {0, side, 0}, {1, 0, 0})),
                  brass()));
    return s;
}

Shape locomotive() {
    Shape s;
    merge(s, boxAt({20.6f, 7.2f, 0.8f}, {0, 0, 3.4f}, black(), 0.1f));  // footplate
    merge(s, boxAt({1.0f, 7.8f, 1.6f}, {10.3f, 0, 3.2f}, red(), 0.15f));  // buffer beams
    merge(s, boxAt({1.0f, 7.8f, 1.6f}, {-10.3f, 0, 3.2f}, red(), 0.15f));
    for (float end : {-1.0f, 1.0f})
        for (float y : {-2.6f, 2.6f}) {
            const Float3 at{end * 10.8f, y, 3.2f};
            merge(s, part(transformed(cylinder(0.45f, 0.45f, 1.0f, 8), Transform::frame(at, {end, 0, 0}, {0, 0, 1})), brass()));
            merge(s, part(transformed(cylinder(0.75f, 0.75f, 0.25f, 10), Transform::frame(at + Float3{end * 1.0f, 0, 0}, {end, 0, 0}, {0, 0, 1})),
                          brass()));
        }
    // Boiler, smokebox, its door, bands.
    merge(s, part(alongX(cylinder(3.0f, 3.0f, 11.7f, 24, false), -4.2f, 6.8f), green(), 50.0f));
    merge(s, part(alongX(cylinder(3.15f, 3.15f, 2.1f, 24), 7.5f, 6.8f), black(), 50.0f));
    merge(s, part(transformed(sphere(2.7f, 20, 8), Transform::translate({9.6f, 0, 6.8f}) * Transform::scale({0.22f, 1, 1})), black(), 60.0f));
    for (float x : {-1.2f, 3.2f, 7.3f}) merge(s, part(transformed(torus(3.05f, 0.16f, 24, 4), Transform::frame({x, 0, 6.8f}, {1, 0, 0}, {0, 0, 1})), brass(), 60.0f));
    // Chimney, dome and whistle on top.
    const std::array<Float2, 8> chimney = {Float2{0, 0}, {1.0f, 0}, {0.85f, 2.2f}, {1.05f, 3.3f}, {1.5f, 4.0f}, {1.5f, 4.4f}, {1.1f, 4.4f}, {0, 4.2f}};
    merge(s, part(transformed(lathe(chimney, 16), Transform::translate({7.9f, 0, 9.0f})), black(), 50.0f));
    const std::array<Float2, 6> dome = {Float2{0, 0}, {1.7f, 0}, {1.6f, 0.8f}, {1.25f, 1.6f}, {0.6f, 2.0f}, {0, 2.1f}};
    merge(s, part(transformed(lathe(dome, 16), Transform::translate({2.4f, 0, 9.3f})), brass(), 50.0f));
    merge(s, part(transformed(cylinder(0.35f, 0.3f, 1.8f, 8), Transform::translate({-2.6f, 0, 9.4f})), brass()));
    // Cab with windows and a roof.
    merge(s, boxAt({5.8f, 7.4f, 7.2f}, {-7.2f, 0, 7.4f}, red(), 0.15f));
    merge(s, boxAt({2.4f, 7.5f, 2.2f}, {-7.0f, 0, 9.3f}, window()));
    merge(s, boxAt({0.1f, 5.0f, 2.0f}, {-4.27f, 0, 9.4f}, window()));
    merge(s, boxAt({7.0f, 8.6f, 0.6f}, {-7.3f, 0, 11.3f}, black(), 0.2f));
    merge(s, boxAt({5.9f, 7.5f, 0.35f}, {-7.2f, 0, 4.3f}, gold()));  // lining
    // Cowcatcher.
    const std::vector<Float2> wedge = counterClockwise({{10.0f, 0.5f}, {11.9f, 0.5f}, {10.0f, 2.6f}});
    merge(s, part(transformed(extrude(wedge, 6.0f), Transform::frame({0, 3.0f, 0}, {0, -1, 0}, {1, 0, 0})), red(), 30.0f));
    // Wheels: three coupled drivers and a small leading pair, with coupling rods.
    for (float side : {-1.0f, 1.0f}) {
        for (float x : {-6.0f, -1.4f, 3.2f}) merge(s, wheel(x, 2.0f, side, red()));
        merge(s, wheel(7.9f, 1.2f, side, red()));
        merge(s, boxAt({9.8f, 0.25f, 0.5f}, {-1.4f, side * (kGauge * 0.5f + 0.75f), 2.0f}, steel()));
    }
    return s;
}

// An open wagon: a bed on two axles, with sides when `walls` is set.
Shape wagon(const Cell& paint, bool walls) {
    Shape s;
    merge(s, boxAt({13.0f, 7.0f, 0.8f}, {0, 0, 3.0f}, bed(), 0.1f));
    merge(s, boxAt({11.6f, 5.0f, 0.9f}, {0, 0, 2.2f}, black()));
    merge(s, boxAt({0.8f, 7.4f, 1.3f}, {6.9f, 0, 2.9f}, paint, 0.12f));
    merge(s, boxAt({0.8f, 7.4f, 1.3f}, {-6.9f, 0, 2.9f}, paint, 0.12f));
    merge(s, boxAt({2.6f, 0.6f, 0.5f}, {-8.3f, 0, 2.6f}, darkSteel()));  // coupling to the vehicle ahead
    merge(s, boxAt({2.6f, 0.6f, 0.5f}, {8.3f, 0, 2.6f}, darkSteel()));
    if (walls) {
        for (float side : {-1.0f, 1.0f}) {
            merge(s, boxAt({13.0f, 0.5f, 3.4f}, {0, side * 3.25f, 5.1f}, paint, 0.1f));
            merge(s, boxAt({13.2f, 0.7f, 0.35f}, {0, side * 3.25f, 6.9f}, gold(), 0.1f));
            merge(s, boxAt({0.5f, 6.0f, 3.4f}, {side * 6.25f, 0, 5.1f}, paint, 0.1f));
            merge(s, boxAt({0.7f, 6.8f, 0.35f}, {side * 6.25f, 0, 6.9f}, gold(), 0.1f));
        }
    } else {
        for (float side : {-1.0f, 1.0f})
            for (float x : {-5.5f, 0.0f, 5.5f}) merge(s, boxAt({0.5f, 0.5f, 2.4f}, {x, side * 3.2f, 4.6f}, paint, 0.08f));
        for (float side : {-1.0f, 1.0f}) merge(s, boxAt({12.0f, 0.4f, 0.4f}, {0, side * 3.2f, 5.6f}, gold()));
    }
    for (float side : {-1.0f, 1.0f})
        for (float x : {-3.8f, 3.8f}) merge(s, wheel(x, 1.5f, side, black()));
    return s;
}

// A wrapped present with a gold ribbon both ways and a little bow.
Shape present(Float3 centre, Float3 size, const Cell& paper) {
    Shape s = boxAt(size, centre, paper, 0.1f);
    merge(s, boxAt({size.x + 0.08f, 0.5f, size.z + 0.08f}, centre, gold()));
    merge(s, boxAt({0.5f, size.y + 0.08f, size.z + 0.08f}, centre, gold()));
    for (float side : {-1.0f, 1.0f})
        merge(s, part(transformed(torus(0.55f, 0.2f, 10, 4), Transform::frame(centre + Float3{side * 0.5f, 0, size.z * 0.5f + 0.45f}, {0, 1, 0}, {1, 0, 0})), gold(), 60.0f));
    return s;
}

// Where a vehicle whose centre is `arc` units along the track from angle 0 stands, facing
// anticlockwise.
Transform onTrack(float arc) {
    const float angle = arc / kTrackRadius;
    return Transform::translate({kTrackRadius * std::cos(angle), kTrackRadius * std::sin(angle), kRailTop}) *
           Transform::rotateZ(angle + kPi * 0.5f);
}

// Every part pivots at the track centre, (0, 0, 0).
ModelObject object(const char* name, const char* parent, Shape shape) { return modelObject(name, kAtlas, std::move(shape), parent); }

}  // namespace

// The steam emitter, at the top of the locomotive's chimney as it stands at train angle 0.
Float3 railroadChimneyTop() { return onTrack(0.0f).point({7.9f, 0, 9.0f + 4.4f}); }

Model buildRailroad() {
    // Track: two rails swept round the circle on sleepers.
    Shape track;
    const std::vector<Float2> rail = counterClockwise(
        {{0, -0.6f}, {0, 0.6f}, {0.2f, 0.25f}, {0.75f, 0.25f}, {1.0f, 0.35f}, {1.0f, -0.35f}, {0.75f, -0.25f}, {0.2f, -0.25f}});
    for (float offset : {-kGauge * 0.5f, kGauge * 0.5f}) {
        std::vector<Float3> path;
        for (int i = 0; i < 96; ++i) {
            const float a = 2.0f * kPi * float(i) / 96.0f;
            path.push_back({(kTrackRadius + offset) * std::cos(a), (kTrackRadius + offset) * std::sin(a), kRailTop - 1.0f});
        }
        merge(track, finishSolid(sweep(rail, path, true), steel(), 50.0f));
    }
    Shape sleepers;
    for (int i = 0; i < 64; ++i) {
        const float a = 2.0f * kPi * (float(i) + 0.5f) / 64.0f;
        Shape t = box({11.0f, 1.8f, 0.6f});
        apply(t, Transform::translate({kTrackRadius * std::cos(a), kTrackRadius * std::sin(a), 0.3f}) * Transform::rotateZ(a));
        merge(sleepers, t);
    }
    boxUv(sleepers, 1.0f / 11.0f);
    merge(track, finish(sleepers, ties(), 30.0f));

    Model model;
    model.objects.push_back(object("Hull", kRootParent, std::move(track)));
    // The train's order matters to the program: the fourth object (index 3) is wagon01, and its
    // only marker is the locomotive's steam.
    const float locoHalf = 11.0f, wagonHalf = 7.0f, gap = 3.0f;
    const float wagon1At = -(locoHalf + gap + wagonHalf), wagon2At = wagon1At - (2.0f * wagonHalf + gap);
    model.objects.push_back(object("loco", "Hull", transformed(locomotive(), onTrack(0.0f))));
    Shape flat = wagon(red(), false);
    model.objects.push_back(object("wagon02", "Hull", transformed(flat, onTrack(wagon2At))));
    Shape gondola = wagon(green(), true);
    merge(gondola, present({-3.2f, 0.6f, 5.6f}, {4.2f, 4.0f, 3.8f}, dottedPaper()));
    merge(gondola, present({2.6f, -0.4f, 5.2f}, {4.6f, 4.4f, 3.2f}, stripedPaper()));
    merge(gondola, present({2.0f, 1.2f, 8.2f}, {2.8f, 2.6f, 2.6f}, dottedPaper()));
    model.objects.push_back(object("wagon01", "Hull", transformed(gondola, onTrack(wagon1At))));
    // The teddy sits on the flat wagon looking out of the circle.
    Shape rider = teddyShape(0.42f, true);
    apply(rider, onTrack(wagon2At) * Transform::translate({0, 0, 3.4f}) * Transform::rotateZ(kPi));
    ModelObject teddy = object("teddy", "wagon02", std::move(rider));
    teddy.material.baseTexture = "teddy_atlas.tga";
    model.objects.push_back(std::move(teddy));

    model.markers.push_back(emitter("emit locosteam", "wagon01", railroadChimneyTop()));
    return model;
}

}  // namespace hg::bake
