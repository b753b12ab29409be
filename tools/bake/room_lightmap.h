#pragma once
// The room's first lightmapper: every object gets its own lightmap, its faces unfolded into
// planar charts (one per part and facing) packed onto the map, and every texel lit by the room's
// sources: the fire, the tree, the lamps and the windows, each with distance falloff and the
// cosine term, plus a soft ambient term darkened into corners and under furniture. No shadows.
#include <optional>
#include <vector>

#include "bake/bss_writer.h"
#include "bake/canvas.h"
#include "bake/room_layout.h"

namespace hg::bake::room {

struct LightSource {
    Float3 position;
    Float3 colour;         // already scaled by the source's strength
    float falloff = 100;   // distance at which the light has fallen to a half
    std::optional<Float3> facing;   // sources that shine into a half space only (fire, windows)
    std::optional<std::array<Float3, 2>> region;  // lights only points inside this box
};

struct Lighting {
    Float3 ambient{0.15f, 0.14f, 0.14f};
    std::vector<LightSource> sources;
    std::vector<Footprint> footprints;
};

// The light arriving at a point with normal `n`, before it is squeezed into a lightmap texel.
Float3 lightAt(const Lighting& lighting, Float3 p, Float3 n);
// 0..1 from any amount of light: linear in the dark, a soft shoulder towards white.
float toneMap(float v);

struct BakedObject {
    SceneObject object;
    std::optional<Canvas> lightmap;  // opaque, lightmapSize square
};

// The object with its runs, UVs and (when def.lightmapSize > 0) lightmap UVs and lightmap named
// `lightmapName`.
BakedObject bakeObject(const ObjectDef& def, const Lighting& lighting, const std::string& lightmapName);

}  // namespace hg::bake::room
