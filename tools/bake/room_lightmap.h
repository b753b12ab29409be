#pragma once
// The room's objects with their lightmaps: each object's faces charted at the texel density of
// where they stand, lit together by the lightmapper (the placed models casting shadows), the light
// squeezed into texels and spread into the charts' padding. The objects' chart rectangles share
// a few large maps ("lm_atlas1.tga", ...) rather than each rounding its own up to a square. An
// unchanged room is read back from the cache instead of being lit again.
#include <filesystem>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "bake/bss_writer.h"
#include "bake/canvas.h"
#include "bake/lightmapper.h"
#include "bake/room_layout.h"

namespace hg::bake::room {

inline constexpr int kLightmapPage = 1024;  // the side of a full shared map

struct RoomLightInput {
    std::vector<ObjectDef> objects;    // lightmapped unless their lightmapSize is 0
    std::vector<Shape> occluders;      // block light, have no map
    std::vector<AreaLight> lights;
    LightmapSettings settings;
    std::function<Float3(const std::string& texture)> albedo;              // of a material's base texture
    std::function<float(const std::string& object, Float3 point)> density;  // texels per unit
    std::filesystem::path cacheFolder;  // empty: no cache
    // Texels of all maps together at most: the densities are scaled down evenly until they fit.
    size_t texelBudget = 2600000;
};

struct BakedObjects {
    std::vector<SceneObject> objects;  // one per input object, in order
    std::vector<std::pair<std::string, Canvas>> lightmaps;  // opaque, square; names under Textures/
};

BakedObjects bakeObjects(const RoomLightInput& input);

}  // namespace hg::bake::room
