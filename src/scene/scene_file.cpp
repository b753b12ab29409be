#include "scene/scene_file.h"

#include <algorithm>
#include <array>

#include "scene/binary_reader.h"

namespace hg {
namespace {

constexpr size_t kMaterialTable = kMaxMaterials + 1;
// The message the file's over-long tables get, as the format has it.
constexpr const char* kTableMessage = "adas";

struct MaterialFlags {
    bool twoSided = false;
    bool hasReflection = false;
    bool hasIllumination = false;
};

// The loader tables: names are emptied for every object, flags carry over from earlier objects.
struct LoaderTables {
    std::array<SceneMaterial, kMaterialTable> names;
    std::array<MaterialFlags, kMaterialTable> flags{};
};

struct MaterialRun {
    int32_t firstCorner;
    int32_t cornerCount;
    int32_t materialIndex;
};

Vec3 readVec3(BinaryReader& reader) { return {reader.readFloat(), reader.readFloat(), reader.readFloat()}; }

SceneMaterial materialOf(const LoaderTables& tables, size_t entry) {
    SceneMaterial material = tables.names[entry];
    material.twoSided = tables.flags[entry].twoSided;
    return material;
}

// The corners of an object from its arrays. An index outside its array gives a zero corner rather
// than a read elsewhere.
std::vector<PoolVertex> cornersOf(const std::vector<float>& positions, const std::vector<float>& faces,
                                  const std::vector<float>& texVertices, const std::vector<float>& texFaces,
                                  const std::vector<float>& lightmapVertices, const std::vector<float>& lightmapFaces,
                                  const std::vector<float>& normals, bool hasLightmap) {
    auto fetch = [](const std::vector<float>& array, float index, size_t width, size_t component) -> float {
        if (!(index >= 0.0f) || index >= 4294967296.0f) return 0.0f;
        const size_t at = static_cast<size_t>(index) * width + component;
        return at < array.size() ? array[at] : 0.0f;
    };
    std::vector<PoolVertex> corners(faces.size());
    for (size_t c = 0; c < corners.size(); ++c) {
        PoolVertex& out = corners[c];
        for (size_t k = 0; k < 3; ++k) out.position[k] = fetch(positions, faces[c], 3, k);
        for (size_t k = 0; k < 3; ++k) out.normal[k] = normals[c * 3 + k];
        if (c < texFaces.size()) {
            out.uv[0] = fetch(texVertices, texFaces[c], 3, 0);
            out.uv[1] = fetch(texVertices, texFaces[c], 3, 1);
        }
        if (hasLightmap && c < lightmapFaces.size()) {
            out.lightmapUv[0] = fetch(lightmapVertices, lightmapFaces[c], 3, 0);
            out.lightmapUv[1] = fetch(lightmapVertices, lightmapFaces[c], 3, 1);
        }
    }
    return corners;
}

// One object of the first section; nothing once the file turned out damaged.
std::optional<SceneFileObject> readObject(BinaryReader& reader, LoaderTables& tables, std::vector<std::string>& warnings) {
    SceneFileObject object;
    object.name = reader.readStringField();
    object.parentName = reader.readStringField();
    const int32_t materialCount = reader.readInt32();
    if (!reader.ok() || materialCount < 0) return std::nullopt;
    if (materialCount > kMaxMaterials) warnings.push_back(kTableMessage);

    for (auto& entry : tables.names) entry = SceneMaterial{};
    std::vector<MaterialRun> runs;
    for (int32_t k = 0; k < materialCount && reader.ok(); ++k) {
        SceneMaterial entry;
        MaterialFlags flags;
        entry.baseTexture = reader.readStringField();
        flags.twoSided = reader.readByte() != 0;
        flags.hasReflection = reader.readByte() != 0;
        if (flags.hasReflection) entry.reflectionTexture = reader.readStringField();
        flags.hasIllumination = reader.readByte() != 0;
        if (flags.hasIllumination) entry.illuminationTexture = reader.readStringField();
        MaterialRun run{reader.readInt32(), reader.readInt32(), reader.readInt32()};
        // Entries past the table's end still describe runs but cannot name a material.
        if (static_cast<size_t>(k) < kMaterialTable) {
            tables.names[static_cast<size_t>(k)] = entry;
            tables.flags[static_cast<size_t>(k)] = flags;
        }
        if (run.cornerCount >= 1) runs.push_back(run);
    }
    if (!reader.ok()) return std::nullopt;

    const int32_t v = reader.readInt32(), f = reader.readInt32(), t = reader.readInt32(), l = reader.readInt32(),
                  tf = reader.readInt32();
    const bool hasLightmap = reader.readByte() != 0;
    std::string lightmapName;
    if (hasLightmap) lightmapName = reader.readStringField();
    if (!reader.ok() || v < 0 || f < 0 || t < 0 || l < 0 || tf < 0) return std::nullopt;

    // Every array must fit in what is left of the file before anything is allocated.
    const int64_t floats = int64_t{v} * 3 + int64_t{f} * 3 + int64_t{t} * 3 + int64_t{l} * 3 + int64_t{tf} * 6 + int64_t{f} * 9;
    if (!reader.canHold(floats, 4)) return std::nullopt;
    const std::vector<float> positions = reader.readFloats(int64_t{v} * 3);
    const std::vector<float> faces = reader.readFloats(int64_t{f} * 3);
    const std::vector<float> texVertices = reader.readFloats(int64_t{t} * 3);
    const std::vector<float> lightmapVertices = reader.readFloats(int64_t{l} * 3);
    const std::vector<float> texFaces = reader.readFloats(int64_t{tf} * 3);
    const std::vector<float> lightmapFaces = reader.readFloats(int64_t{tf} * 3);
    const std::vector<float> normals = reader.readFloats(int64_t{f} * 9);
    if (!reader.ok()) return std::nullopt;

    const uint32_t cornerTotal = static_cast<uint32_t>(f) * 3;
    for (const MaterialRun& run : runs) {
        // A run outside the object's own corners is clipped to them, never followed.
        if (run.firstCorner < 0 || static_cast<uint32_t>(run.firstCorner) >= cornerTotal) continue;
        SceneFileGroup group;
        group.firstCorner = static_cast<uint32_t>(run.firstCorner);
        group.cornerCount = std::min<uint32_t>(static_cast<uint32_t>(run.cornerCount), cornerTotal - group.firstCorner);
        int32_t index = run.materialIndex > materialCount ? 0 : run.materialIndex;
        if (index < 0 || static_cast<size_t>(index) >= kMaterialTable) index = 0;
        group.materialIndex = index;
        group.material = materialOf(tables, static_cast<size_t>(index));
        object.groups.push_back(std::move(group));
    }
    if (hasLightmap) object.lightmap = lightmapName;
    for (size_t i = 0; i + 2 < positions.size(); i += 3) {
        object.low = {std::min(object.low.x, positions[i]), std::min(object.low.y, positions[i + 1]),
                      std::min(object.low.z, positions[i + 2])};
        object.high = {std::max(object.high.x, positions[i]), std::max(object.high.y, positions[i + 1]),
                       std::max(object.high.z, positions[i + 2])};
    }
    object.corners = cornersOf(positions, faces, texVertices, texFaces, lightmapVertices, lightmapFaces, normals, hasLightmap);
    return object;
}

std::optional<SceneFilePortal> readPortal(BinaryReader& reader) {
    SceneFilePortal portal;
    portal.name = reader.readStringField();
    portal.targetName = reader.readStringField();
    const int32_t pointCount = reader.readInt32();
    if (!reader.canHold(pointCount, 12)) return std::nullopt;
    for (int32_t i = 0; i < pointCount; ++i) portal.points.push_back(readVec3(reader));
    const int32_t triangleCount = reader.readInt32();
    if (!reader.canHold(triangleCount, 12)) return std::nullopt;
    const std::vector<float> corners = reader.readFloats(int64_t{triangleCount} * 3);
    portal.normal = readVec3(reader);
    if (!reader.ok()) return std::nullopt;
    // A triangle with a corner that names no point is dropped.
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        const auto first = corners.begin() + static_cast<long>(i);
        const bool valid = std::all_of(first, first + 3, [&](float p) { return p >= 0.0f && p < static_cast<float>(pointCount); });
        if (valid) portal.triangles.insert(portal.triangles.end(), first, first + 3);
    }
    Vec3 sum{0, 0, 0};
    for (const Vec3& p : portal.points) sum = sum + p;
    if (!portal.points.empty()) portal.centre = sum * (1.0f / static_cast<float>(portal.points.size()));
    return portal;
}

std::optional<MeshMarker> readMarker(BinaryReader& reader) {
    MeshMarker marker;
    marker.name = reader.readStringField();
    marker.parentName = reader.readStringField();
    marker.kind = reader.readInt32();
    marker.holdCount = reader.readInt32();
    const int32_t keyCount = reader.readInt32();
    if (!reader.canHold(keyCount, 7 * 4)) return std::nullopt;
    marker.keyPositions.resize(static_cast<size_t>(keyCount));
    marker.keyRotations.resize(static_cast<size_t>(keyCount));
    for (Vec3& p : marker.keyPositions) p = readVec3(reader);
    for (Quaternion& q : marker.keyRotations) q = {reader.readFloat(), reader.readFloat(), reader.readFloat(), reader.readFloat()};
    if (!reader.ok()) return std::nullopt;
    marker.shortName = shortNameOf(marker.name);
    if (keyCount > 0) {
        marker.position = marker.keyPositions[0];
        marker.rotation = marker.keyRotations[0];
    }
    marker.worldPosition = marker.position;
    return marker;
}

std::optional<SceneFileLight> readLight(BinaryReader& reader, std::vector<std::string>& warnings) {
    SceneFileLight light;
    light.position = readVec3(reader);
    light.colour = readVec3(reader);
    light.reach = reader.readFloat();
    reader.readFloat();  // kept by the format, used by nothing
    light.intensity = reader.readFloat();
    light.range = reader.readFloat();
    const int32_t nameCount = reader.readInt32();
    if (!reader.ok() || nameCount < 0) return std::nullopt;
    if (nameCount > kMaxLightNames) warnings.push_back(kTableMessage);
    for (int32_t i = 0; i < nameCount && reader.ok(); ++i) {
        std::string name = reader.readStringField();
        if (i <= kMaxLightNames) light.names.push_back(std::move(name));  // the table holds 40 names
    }
    if (!reader.ok()) return std::nullopt;
    return light;
}

// Reads `count` records of a section with `read`; the first damaged one ends the file.
template <typename Record, typename Read>
void readSection(BinaryReader& reader, std::vector<Record>& into, Read read) {
    const int32_t count = reader.readInt32();
    for (int32_t i = 0; i < count && reader.ok(); ++i) {
        std::optional<Record> record = read();
        if (!record) {
            reader.fail();
            return;
        }
        into.push_back(std::move(*record));
    }
}

}  // namespace

SceneFile readSceneFile(std::span<const uint8_t> bytes) {
    BinaryReader reader(bytes);
    SceneFile file;
    LoaderTables tables;
    readSection(reader, file.objects, [&] { return readObject(reader, tables, file.warnings); });
    readSection(reader, file.portals, [&] { return readPortal(reader); });
    const int32_t cameraCount = reader.readInt32();
    for (int32_t i = 0; i < cameraCount && reader.ok(); ++i) {
        Camera camera;
        if (readCamera(reader, camera) && camera.keyCount() > 0) file.cameras.push_back(std::move(camera));
    }
    readSection(reader, file.markers, [&] { return readMarker(reader); });
    readSection(reader, file.lights, [&] { return readLight(reader, file.warnings); });
    return file;
}

}  // namespace hg
