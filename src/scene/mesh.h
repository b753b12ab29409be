#pragma once
// A model as loaded from its .BSM file: objects with their corners, materials and pool ranges, and
// the markers that place particle emitters on it.
#include "gl/gl.h"

#include <cstdint>
#include <string>
#include <vector>

#include "scene/math.h"
#include "scene/vertex_pool.h"

namespace hg {

inline constexpr const char* kSceneRoot = "Scene Root";

struct MeshMaterial {
    GLuint baseTexture = 0;
    GLuint reflectionTexture = 0;
    GLuint illuminationTexture = 0;
    float scrollU = 0.0f;
    float scrollV = 0.0f;
    bool hasReflection = false;
    bool hasIllumination = false;
    bool opaqueBase = false;  // the base texture is fully opaque: the alpha test cannot drop a pixel
    // The reflection and illumination textures there are, all fully opaque.
    bool opaqueExtras = false;
};

struct MeshMarker {
    Vec3 position{0, 0, 0};
    std::string name;
    std::string parentName;
    Quaternion rotation = Quaternion::identity();
    int32_t kind = 0;
    std::string shortName;  // the text after the first blank: "emit candle" -> "candle"
    Vec3 worldPosition{0, 0, 0};

    // Scene markers only: the recorded path and the byte the renderer raises through the marker's zone.
    int32_t holdCount = 0;
    std::vector<Vec3> keyPositions;
    std::vector<Quaternion> keyRotations;
    uint8_t active = 0;
};

// "emit candle" -> "candle"; a name without a blank is its own short name.
std::string shortNameOf(const std::string& markerName);

struct MeshObject {
    std::string name;
    std::string parentName;
    bool hasParent = false;
    Vec3 pivot{0, 0, 0};
    std::vector<Vec3> positions;  // the file positions, model space
    std::vector<Corner> corners;  // 3 per face, positions relative to the pivot
    int32_t faceCount = 0;
    int32_t vertexCount = 0;
    MeshMaterial material;
    uint32_t poolStart = 0;
    uint32_t poolEnd = 0;
    std::vector<uint32_t> indices;  // pool indices in poolStart .. poolEnd-1, shared corners once
    // The faces close round a volume with every face turned outwards (counter-clockwise seen
    // from outside): from outside, only front faces can be seen.
    bool closedOutward = false;
};

// True when the corners (3 per face) form a closed surface, every face turned outwards: each edge
// between two distinct points is walked once in each direction by the faces that meet there
// (points matched by exact position), and the enclosed volume is positive.
bool isClosedOutwardSurface(const std::vector<Corner>& corners);

struct Mesh {
    std::string name;
    std::vector<MeshObject> objects;
    std::vector<MeshMarker> markers;
    Vec3 size{0, 0, 0};  // twice the extent of all file positions, per axis
};

}  // namespace hg
