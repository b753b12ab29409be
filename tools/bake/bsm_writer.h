#pragma once
// Models as the program loads them: objects (a shape with a name, a parent, a pivot and a
// material) and markers (named points that start particle emitters), and the .BSM file they are
// written to.
//
// An object's geometry is stored in model space; the program draws it turned about its pivot.
// The root object is "Hull" with the parent "Scene Root"; every other object is drawn only when
// its parent chain leads to "Hull".
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bake/mesh_kit.h"
#include "scene/marker_kind.h"

namespace hg::bake {

inline constexpr const char* kRootParent = "Scene Root";

struct Material {
    std::string baseTexture;  // a file name under Textures/ ("wood_walnut.tga")
    float scrollU = 0.0f;
    float scrollV = 0.0f;
    std::optional<std::string> reflectionTexture;    // sphere-mapped second pass
    std::optional<std::string> illuminationTexture;  // additive glow pass
};

struct ModelObject {
    std::string name;
    std::string parentName = kRootParent;
    Float3 pivot{};
    Material material;
    Shape shape;
};

struct Marker {
    Float3 position{};  // model space
    std::string name;   // "emit candle"
    std::string parentName;
    std::array<float, 4> rotation{0, 0, 0, 1};  // quaternion x, y, z, w
    int32_t kind = kEmitterMarker;
};

struct Model {
    std::vector<ModelObject> objects;
    std::vector<Marker> markers;

    ModelObject* find(const std::string& name);
    const ModelObject* find(const std::string& name) const;
    size_t triangleCount() const;
};

// The model as a .BSM file: little-endian counts, string fields, positions, face indices stored
// as whole-number floats, texture vertices, texture faces and one normal per face corner.
std::vector<uint8_t> encodeBsm(const Model& model);

}  // namespace hg::bake
