#pragma once
// The living room: every object lightmapped, the models placed, the fire, the emitters, the
// fire's light and the camera flights, written as Models/test.BSS with its textures.
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

// The sources the lightmaps are baked from.
Lighting roomLighting();
RoomBuild buildRoom();

}  // namespace hg::bake::room
