// The fir tree: ten layered tiers of needles on a trunk in a banded wooden tub, standing on a
// plaid skirt; glass baubles hang from the branch tips, 72 little bulbs spiral round it (each an
// emitter of the tree-light glow in its colour) and a gold star crowns it.
#include <array>
#include <cmath>
#include <numbers>

#include "bake/model_parts.h"
#include "bake/models.h"
#include "bake/ornaments.h"
#include "bake/texture_kit.h"

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kTiers = 10;
constexpr int kLights = 72;
constexpr float kTip = 194.0f;

Cell atlasCell(int column, int row) { return gridCell(column, row, 4, 4); }

struct Tier {
    float rim = 0.0f;     // z of the rim at a lobe's root
    float top = 0.0f;     // z where the tier leaves the trunk
    float radius = 0.0f;  // rim radius between lobes
    float inner = 0.0f;   // radius at the top
    int lobes = 0;
    float phase = 0.0f;
};

std::array<Tier, kTiers> tiers() {
    std::array<Tier, kTiers> out{};
    Random random(7);
    for (int i = 0; i < kTiers; ++i) {
        Tier& t = out[size_t(i)];
        t.rim = 34.0f + float(i) * 15.0f;
        t.top = i == kTiers - 1 ? kTip : t.rim + 30.0f - float(i) * 1.2f;
        t.radius = 58.0f * (1.0f - (t.rim - 26.0f) / 178.0f);
        t.inner = i == kTiers - 1 ? 0.0f : 3.0f;
        t.lobes = std::max(5, int(t.radius / 4.2f));
        t.phase = random.uniform(0.0f, 2.0f * kPi);
    }
    return out;
}

// How far a branch tip reaches out at angle `a`: 1 at a tip, 0 between tips.
float lobe(const Tier& t, float a) { return std::pow(0.5f + 0.5f * std::cos(float(t.lobes) * a + t.phase), 3.0f); }

// A point of a tier's upper surface: s from 0 (at the trunk) to 1 (at the rim).
Float3 tierPoint(const Tier& t, float a, float s) {
    const float l = lobe(t, a);
    const float jitter = 1.0f + 0.05f * gradientNoise(a * 3.0f / kPi, t.rim * 0.1f, 6, 1000, 17);
    const float r = t.inner + (t.radius * (1.0f + 0.16f * l) * jitter - t.inner) * std::pow(s, 0.9f);
    const float z = t.top - (t.top - t.rim) * std::pow(s, 1.5f) - 3.0f * l * s * s * s;
    return {r * std::cos(a), r * std::sin(a), z};
}

// A ring-and-spoke surface: rows of points round the z axis, each row closing on itself; quads
// wind so that rows running outwards and down face up and out.
Shape radialSurface(const std::vector<std::vector<Float3>>& rows, float uRepeat, float vScale) {
    Shape s;
    const size_t columns = rows[0].size();
    std::vector<float> vAt(rows.size(), 0.0f);
    for (size_t r = 1; r < rows.size(); ++r) vAt[r] = vAt[r - 1] + length(rows[r][0] - rows[r - 1][0]);
    for (const auto& row : rows)
        for (size_t c = 0; c <= columns; ++c) s.addPosition(row[c % columns]);
    for (size_t r = 0; r + 1 < rows.size(); ++r) {
        for (size_t c = 0; c < columns; ++c) {
            const uint32_t a = uint32_t(r * (columns + 1) + c), b = a + 1, d = uint32_t((r + 1) * (columns + 1) + c), e = d + 1;
            const float u0 = float(c) / float(columns) * uRepeat, u1 = float(c + 1) / float(columns) * uRepeat;
            s.addQuad(a, d, e, b, {u0, vAt[r] * vScale}, {u0, vAt[r + 1] * vScale}, {u1, vAt[r + 1] * vScale},
                      {u1, vAt[r] * vScale});
        }
    }
    return s;
}

Shape tierShape(const Tier& t) {
    const int columns = std::max(30, int(t.radius * 1.3f));
    const int steps = 7;
    std::vector<std::vector<Float3>> rows;
    for (int j = 0; j <= steps; ++j) {
        std::vector<Float3> row;
        for (int c = 0; c < columns; ++c) row.push_back(tierPoint(t, 2.0f * kPi * float(c) / float(columns), float(j) / float(steps)));
        rows.push_back(std::move(row));
    }
    // The underside, from the rim back in and up to the trunk (to the axis under the crown), and
    // on to where the upper surface starts: each tier is a closed shell, so the renderer need not
    // draw the faces turned away from the eye.
    const std::vector<Float3> rimRow = rows.back();
    const float reach = t.inner > 0.0f ? 4.0f : 0.0f;
    for (float f : {0.45f, 1.0f}) {
        std::vector<Float3> row;
        for (const Float3& p : rimRow) {
            const float out = std::max(std::hypot(p.x, p.y), 1e-3f);
            const Float3 inward{p.x * reach / out, p.y * reach / out, t.rim + 0.4f * (t.top - t.rim)};
            row.push_back(f == 1.0f && reach == 0.0f ? inward : lerp(p, inward, f));
        }
        rows.push_back(std::move(row));
    }
    if (t.inner > 0.0f) rows.push_back(rows.front());
    const float repeats = std::max(2.0f, std::round(2.0f * kPi * t.radius / 45.0f));
    Shape s = radialSurface(rows, repeats, 1.0f / 30.0f);
    smoothNormals(s, 60.0f);
    return s;
}

// The outer surface's radius at height z and angle a (the widest tier there), or 0.
float surfaceRadius(const std::array<Tier, kTiers>& all, float z, float a) {
    float best = 0.0f;
    for (const Tier& t : all) {
        float lo = 0.0f, hi = 1.0f;
        if (z > tierPoint(t, a, 0.0f).z || z < tierPoint(t, a, 1.0f).z) continue;
        for (int i = 0; i < 30; ++i) {
            const float mid = 0.5f * (lo + hi);
            (tierPoint(t, a, mid).z > z ? lo : hi) = mid;
        }
        const Float3 p = tierPoint(t, a, 0.5f * (lo + hi));
        best = std::max(best, std::hypot(p.x, p.y));
    }
    return best;
}

// A five-pointed star of flat facets, facing ±y.
Shape star(Float3 centre, float outer, float inner, float depth) {
    Shape s;
    std::vector<Float3> rim;
    for (int k = 0; k < 10; ++k) {
        const float a = kPi * 0.5f + kPi * float(k) / 5.0f;
        const float r = (k % 2 == 0) ? outer : inner;
        rim.push_back(centre + Float3{r * std::cos(a), 0, r * std::sin(a)});
    }
    for (float side : {-1.0f, 1.0f}) {
        const Float3 apex = centre + Float3{0, side * depth, 0};
        for (int k = 0; k < 10; ++k) {
            uint32_t ia = s.addPosition(apex), ib = s.addPosition(rim[size_t(k)]), ic = s.addPosition(rim[size_t((k + 1) % 10)]);
            const Float3 n = cross(rim[size_t(k)] - apex, rim[size_t((k + 1) % 10)] - apex);
            const Float3 mid = (apex + rim[size_t(k)] + rim[size_t((k + 1) % 10)]) * (1.0f / 3.0f);
            if (dot(n, mid - centre) < 0.0f) std::swap(ib, ic);
            s.addFace(ia, ib, ic);
        }
    }
    return s;
}

ModelObject child(const char* name, const char* texture, Shape shape) { return modelObject(name, texture, std::move(shape), "Hull"); }

}  // namespace

Model buildFirTree() {
    const auto all = tiers();
    Model model;

    // Crown first: each tier's skirt hangs over the tier below, so seen from the side or above the
    // upper tier is nearer, and drawn first it lets the rasteriser turn the hidden part of the lower
    // one away before texturing it.
    Shape needles;
    for (auto t = all.rbegin(); t != all.rend(); ++t) merge(needles, tierShape(*t));
    model.objects.push_back(modelObject("Hull", "fir_needles.tga", std::move(needles)));

    // Trunk and tub: wooden staves with two brass bands.
    const std::array<Float2, 8> tubProfile = {Float2{0, 0},    {19.0f, 0},     {19.3f, 0.6f},  {22.0f, 19.0f},
                                             {22.6f, 19.4f}, {22.2f, 20.2f}, {20.6f, 19.6f}, {0, 18.8f}};
    Shape tub = finish(lathe(tubProfile, 40), atlasCell(3, 3), 50.0f);
    merge(tub, finish(transformed(torus(19.75f, 0.5f, 40, 5), Transform::translate({0, 0, 3.5f})), atlasCell(1, 3), 60.0f));
    merge(tub, finish(transformed(torus(21.65f, 0.5f, 40, 5), Transform::translate({0, 0, 16.0f})), atlasCell(1, 3), 60.0f));
    Shape trunk = cylinder(3.6f, 2.4f, 165.0f, 10, false);
    apply(trunk, Transform::translate({0, 0, 18.0f}));
    merge(tub, finish(trunk, atlasCell(1, 1), 60.0f));
    model.objects.push_back(child("tub", "tree_atlas.tga", std::move(tub)));

    // The skirt: plaid cloth falling in soft folds from the tub to the floor.
    {
        std::vector<std::vector<Float3>> rows;
        const int columns = 90;
        for (int j = 0; j <= 6; ++j) {
            const float t = float(j) / 6.0f;
            std::vector<Float3> row;
            for (int c = 0; c < columns; ++c) {
                const float a = 2.0f * kPi * float(c) / float(columns);
                const float r = 21.5f + (52.0f * (1.0f + 0.05f * std::cos(9.0f * a)) - 21.5f) * t;
                const float z = 0.3f + 4.0f * (1.0f - t) * (1.0f - t) + 0.9f * std::sin(9.0f * a) * t * (1.0f - t);
                row.push_back({r * std::cos(a), r * std::sin(a), z});
            }
            rows.push_back(std::move(row));
        }
        Shape skirt = radialSurface(rows, 1.0f, 1.0f);
        planarUv(skirt, 2, 1.0f / 36.0f);
        smoothNormals(skirt, 70.0f);
        model.objects.push_back(child("skirt", "plaid_red.tga", std::move(skirt)));
    }

    // Baubles hanging from every other branch tip, colours in turn.
    Shape baubles;
    Random random(31);
    const std::array<Cell, 5> colours = {atlasCell(0, 0), atlasCell(1, 0), atlasCell(2, 0), atlasCell(3, 0), atlasCell(0, 1)};
    int count = 0;
    for (int i = 0; i + 1 < kTiers; ++i) {
        const Tier& t = all[size_t(i)];
        for (int k = i % 2; k < t.lobes; k += 2) {
            const float a = (2.0f * kPi * float(k) - t.phase) / float(t.lobes);
            const Float3 tip = tierPoint(t, a, 0.97f);
            const float r = std::max(2.4f, 4.2f - float(i) * 0.2f) * random.uniform(0.85f, 1.1f);
            const Float3 out = normalized(Float3{tip.x, tip.y, 0});
            const Float3 centre = tip + out * (r * 0.5f) + Float3{0, 0, -r - 1.0f};
            Shape ball = transformed(sphere(r, 12, 8), Transform::translate(centre));
            cylindricalUv(ball, centre, 1.0f, 0.5f / r);
            for (auto& face : ball.uvs)
                for (Float2& uv : face) uv.v += 0.5f;
            merge(baubles, finish(ball, colours[size_t(count++ % 5)], 80.0f));
            merge(baubles, finishSolid(transformed(cylinder(r * 0.3f, r * 0.3f, r * 0.35f, 8), Transform::translate(centre + Float3{0, 0, r * 0.85f})),
                                       atlasCell(1, 3), 50.0f));
            merge(baubles, finishSolid(transformed(cylinder(0.08f, 0.08f, 1.3f, 4), Transform::translate(centre + Float3{0, 0, r * 1.15f})),
                                       atlasCell(1, 3), 80.0f));
        }
    }
    ModelObject ornaments = child("ornaments", "tree_atlas.tga", std::move(baubles));
    ornaments.material.reflectionTexture = "env_warm.tga";
    model.objects.push_back(std::move(ornaments));

    // The lights: 72 bulbs on a spiral of seven turns, each an emitter of its colour's glow.
    const std::array<const char*, 4> names = {"red", "green", "blue", "yellow"};
    Shape lights;
    const std::array<Float2, 6> bulbProfile = {Float2{0, 0}, {0.45f, 0}, {0.7f, 0.6f}, {0.6f, 1.3f}, {0.25f, 1.75f}, {0, 1.85f}};
    for (int k = 0; k < kLights; ++k) {
        const float s = float(k) / float(kLights - 1);
        const float z = 40.0f + s * 142.0f;
        const float a = s * 7.0f * 2.0f * kPi;
        const float r = surfaceRadius(all, z, a);
        const Float3 out{std::cos(a), std::sin(a), 0};
        const Float3 at = out * (r + 0.6f) + Float3{0, 0, z};
        Shape bulb = lathe(bulbProfile, 6);
        apply(bulb, Transform::frame(at - out * 0.6f, out + Float3{0, 0, 0.8f}, {0, 0, 1}));
        merge(lights, finishSolid(bulb, atlasCell(k % 4, 2), 60.0f));
        model.markers.push_back(emitter(std::string("emit ") + names[size_t(k % 4)] + "_firlight", "Hull", at));
    }
    merge(lights, finishSolid(star({0, 0, kTip + 7.5f}, 8.5f, 3.6f, 2.2f), atlasCell(3, 1), 0.0f));
    merge(lights, finishSolid(transformed(cylinder(0.6f, 0.6f, 5.0f, 6), Transform::translate({0, 0, kTip - 2.0f})),
                              atlasCell(3, 1), 50.0f));
    ModelObject glowing = child("lights", "tree_atlas.tga", std::move(lights));
    glowing.material.illuminationTexture = "tree_glow.tga";
    model.objects.push_back(std::move(glowing));
    return model;
}

}  // namespace hg::bake
