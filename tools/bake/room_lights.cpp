#include "bake/room_lights.h"

#include <cmath>
#include <numbers>

#include "bake/room_layout.h"

namespace hg::bake::room {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float fraction(float v) { return v - std::floor(v); }

// The plastic sequences: points 0..n-1 spread evenly over the unit square and cube.
Float2 evenSquare(int i, float rotation) {
    constexpr float g = 1.32471795724f;
    return {fraction(0.5f + static_cast<float>(i) / g + rotation), fraction(0.5f + static_cast<float>(i) / (g * g) + rotation * 1.618034f)};
}

Float3 evenCube(int i, float rotation) {
    constexpr float g = 1.22074408460f;
    return {fraction(0.5f + static_cast<float>(i) / g + rotation), fraction(0.5f + static_cast<float>(i) / (g * g) + rotation * 1.618034f),
            fraction(0.5f + static_cast<float>(i) / (g * g * g) + rotation * 2.618034f)};
}

AreaLight sphere(const std::string& name, Float3 centre, float radius, Float3 hue, float strength, float falloff, int samples) {
    AreaLight l;
    l.name = name;
    l.shape = LightShape::Sphere;
    l.centre = centre;
    l.size = {radius, radius, radius};
    l.hue = hue;
    l.strength = strength;
    l.falloff = falloff;
    l.samples = samples;
    return l;
}

}  // namespace

std::vector<AreaLight> roomLights() {
    std::vector<AreaLight> lights;
    // The fire: a warm volume over the grate, lighting the room through the opening; the logs and
    // the surround cast its shadows. Its run-time light stands at the opening.
    AreaLight fire;
    fire.name = "fire";
    fire.shape = LightShape::Box;
    fire.centre = {kFireX, 521.0f, 30.0f};
    fire.size = {30.0f, 7.0f, 20.0f};
    fire.hue = {1.0f, 0.56f, 0.24f};
    fire.strength = 2.5f;
    fire.falloff = 200.0f;
    fire.samples = 24;
    fire.runTime = RunTimeLight{{0, -25.0f, 12.0f}, 10.0f, 0.72f, 100.0f};
    lights.push_back(fire);

    // The tree: a warm glow through the branches and a little coloured spill from its lights.
    const Float3 tree = kTreePosition;
    lights.push_back(sphere("tree glow", tree + Float3{0, 0, 100}, 40.0f, {1.0f, 0.74f, 0.45f}, 0.9f, 150.0f, 12));
    lights.push_back(sphere("tree red", tree + Float3{-45, -30, 60}, 12.0f, {1.0f, 0.2f, 0.15f}, 0.4f, 70.0f, 4));
    lights.push_back(sphere("tree green", tree + Float3{20, -50, 120}, 12.0f, {0.27f, 1.0f, 0.33f}, 0.3f, 70.0f, 4));
    lights.push_back(sphere("tree blue", tree + Float3{-50, 10, 90}, 12.0f, {0.25f, 0.35f, 1.0f}, 0.4f, 70.0f, 4));
    // The lamps on the side tables: bulbs under their shades.
    for (size_t i = 0; i < std::size(kSideTables); ++i)
        lights.push_back(sphere("lamp " + std::to_string(i + 1), kSideTables[i] + Float3{0, 0, kSideTableTop + 36.0f}, 5.0f,
                                {1.0f, 0.77f, 0.45f}, 0.8f, 90.0f, 6));
    // The candles on the mantel.
    for (float dx : {-52.0f, 52.0f})
        lights.push_back(sphere("candle", {kFireX + dx, 521.0f, kMantelTop + 26.0f}, 2.0f, {1.0f, 0.7f, 0.35f}, 0.25f, 45.0f, 2));

    // Moonlight from the east, high over the landscape, through the window openings; and the glow
    // of the snow, a soft panel of cool light in each window.
    AreaLight moon;
    moon.name = "moon";
    moon.shape = LightShape::Directional;
    moon.direction = normalized({-1.0f, 0.32f, -0.62f});
    moon.size = {0.03f, 0, 0};
    moon.hue = {0.55f, 0.68f, 1.0f};
    moon.strength = 0.55f;
    moon.samples = 6;
    lights.push_back(moon);
    for (const WindowOpening& w : kWindows) {
        AreaLight glow;
        glow.name = "snow glow";
        glow.shape = LightShape::Rectangle;
        glow.centre = {kWidth - 2.0f, 0.5f * (w.y0 + w.y1), 0.5f * (kSillZ + kHeadZ)};
        glow.size = {0.5f * (w.y1 - w.y0), 0.5f * (kHeadZ - kSillZ), 0};
        glow.spanU = {0, 1, 0};
        glow.spanV = {0, 0, 1};
        glow.facing = Float3{-1, 0, 0};
        glow.hue = {0.5f, 0.62f, 1.0f};
        glow.strength = 0.5f;
        glow.falloff = 170.0f;
        glow.samples = 8;
        lights.push_back(glow);
    }
    return lights;
}

Float3 samplePoint(const AreaLight& light, int index, float rotation) {
    switch (light.shape) {
    case LightShape::Sphere: {
        // A point of the ball: a direction and a radius, evenly over its volume.
        const Float3 c = evenCube(index, rotation);
        const float z = 1.0f - 2.0f * c.x, r = std::sqrt(std::max(0.0f, 1.0f - z * z)), phi = 2.0f * kPi * c.y;
        const float radius = light.size.x * std::cbrt(c.z);
        return light.centre + Float3{r * std::cos(phi), r * std::sin(phi), z} * radius;
    }
    case LightShape::Box: {
        const Float3 c = evenCube(index, rotation);
        return light.centre + Float3{(2 * c.x - 1) * light.size.x, (2 * c.y - 1) * light.size.y, (2 * c.z - 1) * light.size.z};
    }
    case LightShape::Rectangle: {
        const Float2 s = evenSquare(index, rotation);
        return light.centre + light.spanU * ((2 * s.u - 1) * light.size.x) + light.spanV * ((2 * s.v - 1) * light.size.y);
    }
    case LightShape::Directional: {
        // Towards the source, within the disc it fills in the sky.
        const Float2 s = evenSquare(index, rotation);
        const Float3 towards = -light.direction;
        Float3 u, v;
        orthonormalBasis(towards, u, v);
        const float r = light.size.x * std::sqrt(s.u), phi = 2.0f * kPi * s.v;
        return normalized(towards + u * (r * std::cos(phi)) + v * (r * std::sin(phi)));
    }
    }
    return light.centre;
}

std::vector<SceneLightDef> runTimeLights(const std::vector<AreaLight>& lights, const std::vector<std::string>& names) {
    std::vector<SceneLightDef> out;
    for (const AreaLight& l : lights) {
        if (!l.runTime) continue;
        SceneLightDef def;
        def.position = l.centre + l.runTime->offset;
        def.colour = l.hue;
        def.reach = l.runTime->reach;
        def.intensity = l.runTime->intensity;
        def.range = l.runTime->range;
        def.names = names;
        out.push_back(std::move(def));
    }
    return out;
}

}  // namespace hg::bake::room
