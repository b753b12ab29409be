#pragma once
// The room as the program loads it: lightmapped objects with their material runs, the openings
// between room cells, the camera flights, the markers that place models and start emitters, and
// the lights; and the .BSS file they are written to.
//
// Everything is stored in absolute room coordinates (1 = 1 cm, z up).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bake/mesh_kit.h"
#include "scene/marker_kind.h"

namespace hg::bake {

inline constexpr int kMaxSceneMaterials = 319;
inline constexpr int kMaxLightNames = 39;

struct SceneMaterial {
    std::string baseTexture = "None";  // a file name under Textures/; "add..." draws additively
    bool twoSided = false;
    std::optional<std::string> reflectionTexture;
    std::optional<std::string> illuminationTexture;
};

// One run of the object's corners (3 per face, in face order) drawn with one material.
struct CornerRun {
    int32_t firstCorner = 0;
    int32_t cornerCount = 0;
    int32_t materialIndex = 0;
};

struct SceneObject {
    std::string name;
    std::string parentName = "room";
    std::vector<SceneMaterial> materials;
    // Entry k of the file carries materials[k] and runs[k]; the shorter list is padded (with
    // "None" materials, or with runs of no corners that only name their material).
    std::vector<CornerRun> runs;

    std::vector<Float3> positions;
    std::vector<std::array<uint32_t, 3>> faces;
    std::vector<Float2> texVertices;
    std::vector<Float2> lightmapVertices;
    std::vector<std::array<uint32_t, 3>> texFaces;       // one per face
    std::vector<std::array<uint32_t, 3>> lightmapFaces;  // one per face, when there is a lightmap
    std::vector<std::array<Float3, 3>> normals;          // one per face corner
    std::optional<std::string> lightmapTexture;

    size_t triangleCount() const { return faces.size(); }
};

struct ScenePortal {
    std::string name;        // the zone that owns it
    std::string targetName;  // the zone or marker it leads to
    std::vector<Float3> points;
    std::vector<std::array<uint32_t, 3>> triangles;
    Float3 normal{};  // into the owning zone
};

using Rotation = std::array<float, 4>;  // quaternion x, y, z, w

// One flight. `orientations` are the camera's own rotations (camera space to room: the camera
// looks along the rotation of (0, 0, -1) with the rotation of (0, 1, 0) up); the file stores their
// conjugates, which the program turns back.
struct SceneCamera {
    std::vector<Float3> positions;
    std::vector<Rotation> orientations;
    std::vector<float> fieldsOfView;  // radians, one per key
};

struct SceneMarker {
    std::string name;  // "instance candle", "emit fire", "animmodel fireplace_fire"
    std::string parentName = "room";
    int32_t kind = kEmitterMarker;  // or kInstanceMarker, kAnimatedMeshMarker
    int32_t holdCount = 0;
    std::vector<Float3> positions;  // one key: a fixed place; more: a looping path
    std::vector<Rotation> rotations;
};

struct SceneLightDef {
    Float3 position{};
    Float3 colour{1, 1, 1};
    float reach = 0.0f;
    float unused = 0.0f;
    float intensity = 1.0f;
    float range = 0.0f;
    std::vector<std::string> names;  // nodes it shines on; at most 39
};

struct SceneFile {
    std::vector<SceneObject> objects;
    std::vector<ScenePortal> portals;
    std::vector<SceneCamera> cameras;
    std::vector<SceneMarker> markers;
    std::vector<SceneLightDef> lights;
};

// The scene as a .BSS file. Throws BakeError for what the program would refuse or misread:
// indices outside their arrays, per-face arrays of the wrong length, runs outside the object's
// corners, more than 319 materials or 39 light names, keys of unequal counts.
std::vector<uint8_t> encodeBss(const SceneFile& scene);

// Rotation helpers.
Rotation rotationAbout(Float3 axis, float radians);
Rotation rotationMultiply(const Rotation& a, const Rotation& b);  // Hamilton product a ⊗ b
Rotation conjugate(const Rotation& q);
Float3 rotate(const Rotation& q, Float3 v);
// The camera rotation that looks along `forward` with `up` as near the picture's up as it can.
Rotation lookRotation(Float3 forward, Float3 up);

// An object in the shape of `shape`, one run per material: faces are grouped by
// `faceMaterials[f]` (indices into `materials`), in material order.
SceneObject objectFromShape(const std::string& name, const Shape& shape, std::vector<int> faceMaterials,
                            std::vector<SceneMaterial> materials);

}  // namespace hg::bake
