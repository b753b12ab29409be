// The five camera flights and the markers that furnish the room. A flight is a smooth spline
// through a few eye points, looking at a second spline of targets, sampled into 300 keys.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "bake/room_layout.h"

namespace hg::bake::room {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kKeys = 300;

// Catmull-Rom through the points, s from 0 (first point) to n - 1 (last point).
Float3 spline(const std::vector<Float3>& p, float s) {
    const int n = static_cast<int>(p.size());
    const int i = std::clamp(static_cast<int>(std::floor(s)), 0, n - 2);
    const float t = s - static_cast<float>(i);
    const Float3 p0 = p[static_cast<size_t>(std::max(i - 1, 0))], p1 = p[static_cast<size_t>(i)], p2 = p[static_cast<size_t>(i + 1)],
                 p3 = p[static_cast<size_t>(std::min(i + 2, n - 1))];
    const float t2 = t * t, t3 = t2 * t;
    return (p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 + (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) * 0.5f;
}

SceneCamera flight(const std::vector<Float3>& eyes, const std::vector<Float3>& targets, float fov0, float fov1) {
    SceneCamera c;
    for (int k = 0; k < kKeys; ++k) {
        const float t = static_cast<float>(k) / (kKeys - 1);
        // Mostly steady speed, easing a little into the start and out of the end.
        const float eased = 0.75f * t + 0.25f * (0.5f - 0.5f * std::cos(kPi * t));
        const Float3 eye = spline(eyes, eased * static_cast<float>(eyes.size() - 1));
        const Float3 at = spline(targets, eased * static_cast<float>(targets.size() - 1));
        c.positions.push_back(eye);
        c.orientations.push_back(lookRotation(at - eye, {0, 0, 1}));
        c.fieldsOfView.push_back(fov0 + (fov1 - fov0) * eased);
    }
    return c;
}

Rotation turnZ(float radians) {
    // Instances are drawn turned by the conjugate of their rotation.
    return conjugate(rotationAbout({0, 0, 1}, radians));
}

SceneMarker marker(const std::string& name, int kind, Float3 at, float turn = 0.0f) {
    SceneMarker m;
    m.name = name;
    m.kind = kind;
    m.positions = {at};
    m.rotations = {turnZ(turn)};
    return m;
}

}  // namespace

std::vector<SceneCamera> roomCameras() {
    const Float3 fire{kFireX, 525.0f, 40.0f}, tree = kTreePosition;
    std::vector<SceneCamera> out;
    // The fire: a slow approach across the rug, a turn past the hearth, up to the stockings.
    out.push_back(flight({{175, 270, 125}, {225, 350, 105}, {285, 395, 92}, {355, 390, 95}, {405, 330, 115}},
                         {fire + Float3{0, -5, 5}, fire, fire, fire + Float3{0, -5, 20}, {kFireX, 505, 95}}, 1.3f, 1.2f));
    // The tree and the train: round the tree low down, rising to the star.
    out.push_back(flight({{392, 428, 100}, {422, 374, 98}, {497, 340, 106}, {560, 316, 128}, {615, 300, 155}},
                         {tree + Float3{0, 0, 22}, tree + Float3{0, 0, 22}, tree + Float3{0, 0, 40}, tree + Float3{0, 0, 75},
                          tree + Float3{0, 0, 115}},
                         1.35f, 1.3f));
    // The clock on the mantel, drifting across to the candles and the garland.
    out.push_back(flight({{240, 370, 152}, {268, 420, 150}, {300, 440, 146}, {338, 428, 150}, {360, 395, 158}},
                         {{300, 522, 150}, {300, 522, 150}, {300, 522, 148}, {290, 520, 145}, {270, 510, 140}}, 1.2f, 1.25f));
    // The windows: along the east side, looking out at the snow.
    out.push_back(flight({{420, 80, 120}, {505, 130, 132}, {562, 200, 142}, {576, 275, 150}, {548, 335, 160}},
                         {{900, 100, 210}, {900, 150, 220}, {900, 250, 225}, {900, 300, 235}, {880, 330, 240}}, 1.35f, 1.3f));
    // A slow overview from the south side of the room, high up.
    out.push_back(flight({{85, 95, 198}, {240, 62, 199}, {420, 62, 197}, {600, 118, 192}},
                         {{320, 500, 85}, {340, 520, 80}, {450, 500, 80}, {520, 470, 90}}, 1.5f, 1.45f));
    return out;
}

std::vector<SceneMarker> roomMarkers() {
    std::vector<SceneMarker> m;
    const float mantel = kMantelTop, shelfY = 521.0f;
    m.push_back(marker("instance firtree", kInstanceMarker, kTreePosition));
    m.push_back(marker("instance railroad", kInstanceMarker, kTreePosition + Float3{0, 0, 0.3f}));
    m.push_back(marker("instance Clock", kInstanceMarker, {kFireX, shelfY, mantel}, kPi));
    m.push_back(marker("instance candle left", kInstanceMarker, {kFireX - 52.0f, shelfY, mantel}));
    m.push_back(marker("instance candle right", kInstanceMarker, {kFireX + 52.0f, shelfY, mantel}));
    m.push_back(marker("instance tallcandle left", kInstanceMarker, {kFireX - 92.0f, shelfY + 3.0f, mantel}));
    m.push_back(marker("instance tallcandle right", kInstanceMarker, {kFireX + 92.0f, shelfY + 3.0f, mantel}));
    m.push_back(marker("instance garland", kInstanceMarker, {kFireX, kMantelFront, mantel}));
    const char* stockings[] = {"one", "two", "three", "four"};
    const float stockingX[] = {-88.0f, -44.0f, 44.0f, 88.0f};
    for (int i = 0; i < 4; ++i)
        m.push_back(marker(std::string("instance stocking ") + stockings[i], 3, {kFireX + stockingX[i], kMantelFront - 2.0f, mantel - 10.0f}));
    m.push_back(marker("instance firewood", kInstanceMarker, {148.0f, 492.0f, 0.0f}, 0.1f));
    m.push_back(marker("instance teddy couch", kInstanceMarker, {252.0f, 188.0f, 54.0f}, 0.2f));
    m.push_back(marker("instance teddy tree", kInstanceMarker, {462.0f, 448.0f, 0.0f}, 2.3f));
    m.push_back(marker("instance lamp left", kInstanceMarker, {kSideTables[0].x, kSideTables[0].y, kSideTableTop}));
    m.push_back(marker("instance lamp right", kInstanceMarker, {kSideTables[1].x, kSideTables[1].y, kSideTableTop}));
    m.push_back(marker("instance giftbox one", kInstanceMarker, {484.0f, 392.0f, 0.0f}, 0.3f));
    m.push_back(marker("instance giftboxtall one", kInstanceMarker, {526.0f, 344.0f, 0.0f}, 0.8f));
    m.push_back(marker("instance giftboxflat one", kInstanceMarker, {584.0f, 326.0f, 0.0f}, 0.1f));
    m.push_back(marker("instance giftbox two", kInstanceMarker, {642.0f, 344.0f, 0.0f}, -0.4f));
    m.push_back(marker("instance baubles", kInstanceMarker, {kCoffeeTable.x - 25.0f, kCoffeeTable.y, kCoffeeTableTop}));
    m.push_back(marker("instance candle table", kInstanceMarker, {kCoffeeTable.x + 28.0f, kCoffeeTable.y + 4.0f, kCoffeeTableTop}));
    m.push_back(marker("animmodel fireplace_fire", kAnimatedMeshMarker, kFirePosition));
    m.push_back(marker("emit fire", 2, kFirePosition + Float3{0, 0, 6.0f}));
    for (const WindowOpening& w : kWindows) m.push_back(marker("emit snowfall", 2, {kWidth + 100.0f, 0.5f * (w.y0 + w.y1), 275.0f}));
    return m;
}

std::vector<std::string> lightNames(const std::vector<SceneMarker>& markers) {
    std::vector<std::string> names;
    for (const SceneMarker& m : markers)
        if (m.kind == kInstanceMarker) names.push_back(m.name);
    return names;
}

}  // namespace hg::bake::room
