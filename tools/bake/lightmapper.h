#pragma once
// The lightmapper: lights every texel of every surface's map from the room's lights, with
// shadows (rays to points spread over each source), ambient occlusion in contact areas and one
// bounce of light off the surfaces around. Surfaces light each other and block light; occluders
// (the placed models) only block it.
//
// Every texel's light depends only on the scene and the texel itself (its sample patterns are
// turned by a hash of where it is), so the threads may take the texels in any order and the maps
// come out the same on every run.
#include <vector>

#include "bake/lightmap_charts.h"
#include "bake/room_lights.h"

namespace hg::bake::room {

struct LightmapSettings {
    Float3 ambient{0.09f, 0.085f, 0.085f};  // light from everywhere, before occlusion
    Float3 sky{0.05f, 0.07f, 0.12f};       // what a bounce ray that leaves the room sees
    int occlusionRays = 24;
    float occlusionDistance = 45.0f;       // units: nearer geometry darkens a texel
    int bounceRays = 40;
    float sampleScale = 1.0f;              // times every count of rays (a draft bake uses less)
    int threads = 0;                       // 0: one per processor
};

struct LitSurface {
    Shape shape;
    ChartLayout layout;
    std::vector<Float3> faceAlbedo;  // how much of the light each face sends on
};

class Lightmapper {
public:
    Lightmapper(std::vector<AreaLight> lights, LightmapSettings settings);

    void addSurface(LitSurface surface);
    void addOccluder(const Shape& shape);

    // The light of every texel of every surface's chart rectangle (row y, column x at
    // y * width + x), in the order the surfaces were added; texels no face covers hold 0.
    std::vector<std::vector<Float3>> bake() const;

private:
    Float3 directLight(const class RayScene& rays, Float3 p, Float3 n, float rotation) const;

    std::vector<AreaLight> lights_;
    LightmapSettings settings_;
    std::vector<LitSurface> surfaces_;
    std::vector<Shape> occluders_;
};

// 0..1 from any amount of light: linear in the dark, a soft shoulder towards white.
float toneMap(float v);

}  // namespace hg::bake::room
