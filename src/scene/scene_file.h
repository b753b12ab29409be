#pragma once
// The scene file ("Models/test.bss") as plain data: the room's objects with their face groups and
// corners, the openings between cells, the camera flights, the markers and the lights. Reading
// creates nothing: no texture, no GL object, no model; the assembly (scene_loader.h) does that.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scene/camera.h"
#include "scene/math.h"
#include "scene/mesh.h"
#include "scene/vertex_pool.h"

namespace hg {

inline constexpr int kMaxMaterials = 319;   // per object; the loader tables hold 320
inline constexpr int kMaxLightNames = 39;   // per light; the table holds 40

// A material as the loader tables held it when a face group named it: the texture names are the
// object's own, the two-sided flag may carry over from an earlier object.
struct SceneMaterial {
    std::string baseTexture;
    std::string reflectionTexture;
    std::string illuminationTexture;
    bool twoSided = false;
};

struct SceneFileGroup {
    uint32_t firstCorner = 0;  // within the object's corners
    uint32_t cornerCount = 0;
    int32_t materialIndex = 0;
    SceneMaterial material;
};

struct SceneFileObject {
    std::string name;
    std::string parentName;
    std::vector<SceneFileGroup> groups;
    std::optional<std::string> lightmap;  // the lightmap's file name, when it has one
    Vec3 low{999999, 999999, 999999};
    Vec3 high{-999999, -999999, -999999};
    std::vector<PoolVertex> corners;  // one per face corner, in room coordinates
};

struct SceneFilePortal {
    std::string name;        // the zone that owns it
    std::string targetName;  // the zone or marker it leads to
    std::vector<Vec3> points;
    std::vector<float> triangles;  // three point indices per triangle; triangles naming no point dropped
    Vec3 normal{0, 0, 0};
    Vec3 centre{0, 0, 0};
};

struct SceneFileLight {
    Vec3 position{0, 0, 0};
    Vec3 colour{0, 0, 0};
    float reach = 0.0f;
    float intensity = 0.0f;
    float range = 0.0f;
    std::vector<std::string> names;  // the first 40
};

struct SceneFile {
    std::vector<SceneFileObject> objects;
    std::vector<SceneFilePortal> portals;
    std::vector<Camera> cameras;
    std::vector<MeshMarker> markers;
    std::vector<SceneFileLight> lights;
    // Messages for the user (caption "Error"), in the order the file gave cause for them.
    std::vector<std::string> warnings;
};

// Reads the file. A damaged file keeps what was read completely before the damage; counts and
// indices that point outside their arrays are never followed.
SceneFile readSceneFile(std::span<const uint8_t> bytes);

}  // namespace hg
