#pragma once
// The room's lights, described once: the lightmapper samples them for the baked light and
// shadows, and the fire's entry also gives the light the program binds to the placed models.
#include <optional>
#include <string>
#include <vector>

#include "bake/bss_writer.h"
#include "bake/mesh_kit.h"

namespace hg::bake::room {

enum class LightShape {
    Sphere,       // a ball of radius `size.x` round `centre`
    Box,          // a volume of half extents `size` round `centre` (the fire)
    Rectangle,    // a panel at `centre` spanning ±`size.x` along `spanU` and ±`size.y` along `spanV`
    Directional,  // light from far away along `direction`, from a disc of angular radius `size.x`
};

// What a light sent to the program's placed models looks like (the fire's warm light).
struct RunTimeLight {
    Float3 offset{};  // from the source's centre to where the program's point light stands
    float reach = 10.0f;
    float intensity = 0.72f;
    float range = 100.0f;
};

struct AreaLight {
    std::string name;
    LightShape shape = LightShape::Sphere;
    Float3 centre{};
    Float3 size{};
    Float3 spanU{1, 0, 0}, spanV{0, 1, 0};
    Float3 direction{0, 0, -1};  // Directional: where the light travels
    Float3 hue{1, 1, 1};         // the colour, brightest channel 1
    float strength = 1.0f;       // the hue times this is the light at the source
    float falloff = 100.0f;      // distance at which the light has fallen to a half
    std::optional<Float3> facing;  // shines into this half space only (panels, the fire's opening)
    int samples = 8;             // points taken over the source for each texel
    std::optional<RunTimeLight> runTime;

    Float3 colour() const { return hue * strength; }
};

// Every light of the room: the fire, the tree, the lamps, the candles, the moon and the snow glow
// through the windows.
std::vector<AreaLight> roomLights();

// Sample point `index` over the source (its position; for a directional light, the direction
// towards it): the first n points are spread evenly for any n, and the same on every run. `rotation` (0..1) turns the
// pattern, so neighbouring texels do not share their sample points.
Float3 samplePoint(const AreaLight& light, int index, float rotation);

// The lights the program binds to the placed models, named by `names`.
std::vector<SceneLightDef> runTimeLights(const std::vector<AreaLight>& lights, const std::vector<std::string>& names);

}  // namespace hg::bake::room
