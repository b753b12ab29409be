#pragma once
// The room as the lightmapper's rays see it: triangle meshes in one scene, asked whether a
// segment is blocked and what a ray meets first. Built with one thread, so the same meshes give
// the same answers on every run; the queries may come from several threads at once.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "bake/mesh_kit.h"

struct RTCDeviceTy;
struct RTCSceneTy;

namespace hg::bake::room {

class RayScene {
public:
    RayScene();
    ~RayScene();
    RayScene(const RayScene&) = delete;
    RayScene& operator=(const RayScene&) = delete;

    // Adds a mesh; returns its number (0, 1, 2, ... in the order added).
    int add(const std::vector<Float3>& positions, const std::vector<std::array<uint32_t, 3>>& faces);
    // Builds the scene: call once, after the last add and before the first query.
    void commit();

    // Whether anything lies on the segment between the two points (their ends left out).
    bool blocked(Float3 from, Float3 to) const;
    // Whether anything lies within `distance` of `from` along the unit vector `direction`.
    bool blockedAlong(Float3 from, Float3 direction, float distance) const;

    struct Hit {
        int mesh = -1;
        uint32_t face = 0;
        float u = 0, v = 0;  // barycentric weights of the face's second and third corners
        float distance = 0;
        bool front = true;   // the ray met the face's front (the side its winding faces)
    };
    std::optional<Hit> first(Float3 from, Float3 direction, float distance) const;

private:
    RTCDeviceTy* device_ = nullptr;
    RTCSceneTy* scene_ = nullptr;
    int meshes_ = 0;
};

}  // namespace hg::bake::room
