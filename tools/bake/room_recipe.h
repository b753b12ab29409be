#pragma once
// The living room: every object lightmapped, the models placed, the fire, the emitters, the
// fire's light and the camera flights, written as Models/test.BSS with its textures.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bake/bss_writer.h"
#include "bake/canvas.h"
#include "bake/room_lightmap.h"

namespace hg::bake::room {

struct RoomBuild {
    SceneFile scene;
    std::vector<std::pair<std::string, Canvas>> lightmaps;  // file names under Textures/
};

struct RoomBuildOptions {
    float lightSamples = 1.0f;          // times every count of the lightmapper's rays
    std::filesystem::path lightCache;   // empty: no cache
};

// The placed models as shapes in room space, for the light they block: the solid parts only (no
// flames, glows or leaves cut out by alpha, nothing that moves).
std::vector<Shape> placedModelShapes(const std::vector<SceneMarker>& markers);
// Texels per unit for the lightmap of `object` at `point`: dense where the cameras linger.
float lightmapDensity(const std::string& object, Float3 point);
RoomBuild buildRoom(const RoomBuildOptions& options = {});

}  // namespace hg::bake::room
