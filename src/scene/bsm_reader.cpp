#include "scene/bsm_reader.h"

#include <algorithm>

#include "scene/binary_reader.h"

namespace hg {
namespace {

// Smallest possible object and marker records: empty strings, no geometry.
constexpr size_t kMinObjectBytes = 4 + 8 + 1 + 1 + 4 + 4 + 16 + 12;
constexpr size_t kMinMarkerBytes = 12 + 4 + 4 + 16 + 4;

Vec3 readVec3(BinaryReader& in) {
    const float x = in.readFloat();
    const float y = in.readFloat();
    const float z = in.readFloat();
    return {x, y, z};
}

// `count` triples of float-stored indices, each checked against `limit`.
bool readIndexTriples(BinaryReader& in, int32_t count, int32_t limit, std::vector<int32_t>& out) {
    if (!in.canHold(count, 12)) return false;
    out.resize(static_cast<size_t>(count) * 3);
    for (int32_t& index : out) {
        index = in.readFloatIndex();
        if (!in.ok() || index < 0 || index >= limit) return false;
    }
    return true;
}

struct Bounds {
    Vec3 min{999999.0f, 999999.0f, 999999.0f};
    Vec3 max{-999999.0f, -999999.0f, -999999.0f};
    bool any = false;

    void add(const Vec3& p) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
        any = true;
    }
};

bool readObject(BinaryReader& in, MeshObject& object, MaterialTextureNames& names, Bounds& bounds) {
    names.base = in.readStringField();
    object.material.scrollU = in.readFloat();
    object.material.scrollV = in.readFloat();
    object.material.hasReflection = in.readByte() != 0;
    if (object.material.hasReflection) names.reflection = in.readStringField();
    object.material.hasIllumination = in.readByte() != 0;
    if (object.material.hasIllumination) names.illumination = in.readStringField();
    object.name = in.readStringField();
    object.parentName = in.readStringField();
    object.hasParent = object.parentName != kSceneRoot;

    const int32_t v = in.readInt32();
    const int32_t f = in.readInt32();
    const int32_t t = in.readInt32();
    const int32_t tf = in.readInt32();
    object.pivot = readVec3(in);
    if (!in.ok() || v < 0 || f < 0 || t < 0 || tf < 0) return false;
    // Every face needs its texture face; extra texture faces are harmless and ignored.
    if (tf < f) return false;

    if (!in.canHold(v, 12)) return false;
    object.positions.resize(static_cast<size_t>(v));
    for (Vec3& p : object.positions) p = readVec3(in);

    std::vector<int32_t> faces;
    if (!readIndexTriples(in, f, v, faces)) return false;
    const std::vector<float> texVertices = in.readFloats(static_cast<int64_t>(t) * 3);
    std::vector<int32_t> texFaces;
    if (!in.ok() || !readIndexTriples(in, tf, t, texFaces)) return false;
    const std::vector<float> normals = in.readFloats(static_cast<int64_t>(f) * 9);
    if (!in.ok()) return false;

    for (const Vec3& p : object.positions) bounds.add(p);

    object.vertexCount = v;
    object.faceCount = f;
    object.corners.resize(static_cast<size_t>(f) * 3);
    for (size_t c = 0; c < object.corners.size(); ++c) {
        Corner& corner = object.corners[c];
        corner.position = object.positions[static_cast<size_t>(faces[c])] - object.pivot;
        corner.normal = {normals[c * 3], normals[c * 3 + 1], normals[c * 3 + 2]};
        const size_t uv = static_cast<size_t>(texFaces[c]) * 3;
        corner.u = texVertices[uv];
        corner.v = texVertices[uv + 1];
    }
    return true;
}

bool readMarker(BinaryReader& in, MeshMarker& marker) {
    marker.position = readVec3(in);
    marker.name = in.readStringField();
    marker.parentName = in.readStringField();
    const float x = in.readFloat();
    const float y = in.readFloat();
    const float z = in.readFloat();
    const float w = in.readFloat();
    marker.rotation = {x, y, z, w};
    marker.kind = in.readInt32();
    marker.shortName = shortNameOf(marker.name);
    marker.worldPosition = marker.position;
    return in.ok();
}

}  // namespace

std::optional<BsmModel> readBsm(std::span<const uint8_t> bytes) {
    BinaryReader in(bytes);
    BsmModel model;
    Bounds bounds;

    const int32_t objectCount = in.readInt32();
    if (!in.canHold(objectCount, kMinObjectBytes)) return std::nullopt;
    model.mesh.objects.resize(static_cast<size_t>(objectCount));
    model.textureNames.resize(static_cast<size_t>(objectCount));
    for (size_t i = 0; i < model.mesh.objects.size(); ++i) {
        if (!readObject(in, model.mesh.objects[i], model.textureNames[i], bounds)) return std::nullopt;
    }

    const int32_t markerCount = in.readInt32();
    if (!in.canHold(markerCount, kMinMarkerBytes)) return std::nullopt;
    model.mesh.markers.resize(static_cast<size_t>(markerCount));
    for (MeshMarker& marker : model.mesh.markers) {
        if (!readMarker(in, marker)) return std::nullopt;
    }
    // Bytes left over mean the layout was not what we read it as.
    if (!in.ok() || !in.atEnd()) return std::nullopt;

    // A model without a single position gets no size rather than the sentinels' difference.
    if (bounds.any) model.mesh.size = (bounds.max - bounds.min) * 2.0f;
    return model;
}

}  // namespace hg
