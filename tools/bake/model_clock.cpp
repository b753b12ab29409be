// The mantel clock: a walnut case with a rising ("hat") top on a stepped plinth with brass feet,
// an enamel dial behind a brass bezel, and three hands.
//
// The dial faces +y. The hands point up (+z) at rest and turn about the y axis through the dial
// centre; a negative angle turns them clockwise as seen from the front.
#include <array>
#include <cmath>
#include <numbers>

#include "bake/model_parts.h"
#include "bake/models.h"

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
const char* const kAtlas = "clock_atlas.tga";
Cell walnutCell() { return gridCell(0, 0, 2, 2); }
Cell lightWoodCell() { return gridCell(1, 0, 2, 2); }
Cell brassCell() { return gridCell(0, 1, 2, 2); }
Cell steelCell() { return gridCell(1, 1, 2, 2); }

constexpr float kFront = 5.0f;    // the case's front face, y
constexpr float kDepth = 10.0f;   // front to back
constexpr float kBase = 5.1f;     // top of the plinth, z
constexpr float kDialZ = 14.1f;   // dial centre, z
constexpr float kDialR = 7.0f;    // dial radius
constexpr float kDialFront = kFront + 0.2f;

// The case's outline seen from the front: flat foot, rising shoulders, a round crown.
std::vector<Float2> caseOutline() {
    std::vector<Float2> out;
    const float half = 14.5f;
    const int samples = 40;
    out.push_back({-half, kBase});
    out.push_back({half, kBase});
    for (int i = 0; i <= samples; ++i) {
        const float x = half - 2.0f * half * float(i) / float(samples);
        const float c = std::cos(kPi * x / (2.0f * half));
        out.push_back({x, kBase + 6.0f + 14.0f * c * c});
    }
    // The last sample sits at (-half, top of the shoulder); the outline closes down to the foot.
    return out;
}

// A flat piece cut from an outline in the xz plane, `thickness` deep behind y = `front`.
Shape plate(std::span<const Float2> outline, float front, float thickness, Float3 offset = {}) {
    return transformed(extrude(outline, thickness), Transform::frame(Float3{offset.x, front, offset.z}, {0, -1, 0}, {1, 0, 0}));
}

// A hand: its outline (x across, up along the hand, origin at the pivot) cut `thickness` deep
// with its front at y = `front`, plus a round boss at the pivot.
Shape hand(std::span<const Float2> outline, float front, float thickness, float boss, const Cell& cell) {
    Shape s = plate(outline, front, thickness, {0, 0, kDialZ});
    merge(s, plate(circleOutline(boss, 16), front + 0.05f, thickness + 0.05f, {0, 0, kDialZ}));
    return finishSolid(std::move(s), cell, 30.0f);
}

ModelObject handObject(const char* name, Shape shape) {
    ModelObject o = modelObject(name, kAtlas, std::move(shape), "Hull");
    o.pivot = {0, kDialFront, kDialZ};
    return o;
}

// A round part turned about the y axis instead of z (bezel, dial), centred on the dial.
Transform facingFront(float y) { return Transform::frame({0, y, kDialZ}, {0, 1, 0}, {-1, 0, 0}); }

}  // namespace

Model buildClock() {
    Shape body;
    // Plinth in two steps, on four brass bun feet.
    Shape plinth = transformed(box({34, 13, 2.4f}, 0.35f), Transform::translate({0, 0, 2.9f}));
    merge(plinth, transformed(box({31, 11.4f, 1.0f}, 0.3f), Transform::translate({0, 0, 4.6f})));
    boxUv(plinth, 1.0f / 34.0f);
    merge(body, finish(plinth, walnutCell(), 30.0f));
    Shape feet;
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f})
            merge(feet, transformed(sphere(1.4f, 12, 7), Transform::translate({sx * 14.5f, sy * 4.8f, 0.95f}) *
                                                              Transform::scale({1, 1, 0.68f})));
    merge(body, finish(feet, brassCell(), 60.0f));

    // The case, its crown turned smoothly, front and back edges crisp.
    const std::vector<Float2> outline = caseOutline();
    Shape shell = plate(outline, kFront, kDepth);
    boxUv(shell, 1.0f / 30.0f);
    merge(body, finish(shell, walnutCell(), 30.0f));
    // A brass bead round the front edge and a raised panel of lighter wood on the back.
    std::vector<Float3> bead;
    for (Float2 p : outline) bead.push_back({p.u, kFront + 0.05f, p.v});
    merge(body, finish(sweep(circleOutline(0.32f, 6), bead, true, 0.05f), brassCell(), 50.0f));
    std::vector<Float2> panel;
    for (Float2 p : outline) panel.push_back({p.u * 0.8f, kBase + (p.v - kBase) * 0.8f + 0.6f});
    Shape back = plate(panel, -kFront, 0.3f);  // stands 0.3 proud of the back
    boxUv(back, 1.0f / 30.0f);
    merge(body, finish(back, lightWoodCell(), 30.0f));
    // A turned finial on the crown.
    const std::array<Float2, 10> finial = {Float2{0, 0}, {1.3f, 0}, {1.3f, 0.3f}, {0.5f, 0.7f}, {0.45f, 1.2f},
                                          {0.9f, 1.6f}, {0.95f, 2.1f}, {0.7f, 2.6f}, {0.3f, 2.9f}, {0, 3.0f}};
    merge(body, finish(transformed(lathe(finial, 16), Transform::translate({0, 0, kBase + 19.8f})), brassCell(), 50.0f));
    // The bezel ring round the dial.
    merge(body, finish(transformed(torus(kDialR + 0.3f, 0.55f, 48, 8), facingFront(kFront + 0.35f)), brassCell(), 60.0f));

    Model model;
    model.objects.push_back(modelObject("Hull", kAtlas, std::move(body)));

    // Minute, hour and second hands, front to back: second in front.
    const std::array<Float2, 7> minute = {Float2{-0.3f, -1.3f}, {0.3f, -1.3f}, {0.18f, 5.0f}, {0.5f, 5.35f},
                                         {0, 6.3f},            {-0.5f, 5.35f}, {-0.18f, 5.0f}};
    const std::array<Float2, 9> hour = {Float2{-0.35f, -1.0f}, {0.35f, -1.0f}, {0.25f, 2.7f}, {0.95f, 3.2f}, {0.6f, 3.75f},
                                       {0, 4.5f},             {-0.6f, 3.75f}, {-0.95f, 3.2f}, {-0.25f, 2.7f}};
    const std::array<Float2, 5> second = {Float2{-0.1f, -1.9f}, {0.1f, -1.9f}, {0.05f, 6.55f}, {0, 6.75f}, {-0.05f, 6.55f}};
    model.objects.push_back(handObject("Arrow01", hand(minute, kDialFront + 0.35f, 0.12f, 0.65f, steelCell())));
    model.objects.push_back(handObject("Arrow02", hand(hour, kDialFront + 0.15f, 0.12f, 0.8f, steelCell())));
    Shape secondHand = hand(second, kDialFront + 0.55f, 0.08f, 0.4f, brassCell());
    merge(secondHand, finishSolid(plate(circleOutline(0.45f, 12), kDialFront + 0.55f, 0.08f, {0, 0, kDialZ - 1.5f}),
                                  brassCell()));
    model.objects.push_back(handObject("Arrow03", std::move(secondHand)));

    // The enamel dial: a thin disc whose front shows the whole dial picture, right way round from
    // the front (the picture's right is -x).
    Shape dial = transformed(cylinder(kDialR, kDialR, 0.2f, 64), facingFront(kFront));
    smoothNormals(dial, 40.0f);
    for (size_t f = 0; f < dial.faces.size(); ++f)
        for (int k = 0; k < 3; ++k) {
            const Float3 p = dial.positions[dial.faces[f][k]];
            dial.uvs[f][k] = {0.5f - p.x / (2.0f * kDialR), 0.5f + (p.z - kDialZ) / (2.0f * kDialR)};
        }
    model.objects.push_back(modelObject("Dial", "clock_dial.tga", std::move(dial), "Hull"));
    return model;
}

}  // namespace hg::bake
