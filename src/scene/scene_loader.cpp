#include "scene/scene_loader.h"

#include <algorithm>
#include <array>

#include "scene/animated_mesh.h"
#include "scene/binary_reader.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"
#include "scene/scene.h"
#include "scene/vertex_pool.h"

namespace hg {
namespace {

constexpr size_t kMaterialTable = kMaxMaterials + 1;

struct MaterialEntry {
    std::string baseTexture;
    std::string reflectionTexture;
    std::string illuminationTexture;
};

struct MaterialFlags {
    bool twoSided = false;
    bool hasReflection = false;
    bool hasIllumination = false;
};

// The loader tables: names are emptied for every object, flags carry over from earlier objects.
struct LoaderTables {
    std::array<MaterialEntry, kMaterialTable> names;
    std::array<MaterialFlags, kMaterialTable> flags{};
};

struct MaterialRun {
    int32_t firstCorner;
    int32_t cornerCount;
    int32_t materialIndex;
};

Vec3 readVec3(BinaryReader& reader) { return {reader.readFloat(), reader.readFloat(), reader.readFloat()}; }

GLuint textureFor(SceneServices& services, const std::string& fileName) {
    return services.texture("Textures/" + fileName);
}

void fillGroupMaterial(FaceGroup& group, const LoaderTables& tables, SceneServices& services) {
    const size_t e = static_cast<size_t>(group.materialIndex);
    const MaterialEntry& names = tables.names[e];
    const MaterialFlags& flags = tables.flags[e];
    if (names.baseTexture.size() > 4) {
        group.baseTexture = textureFor(services, names.baseTexture);
        group.twoSided = flags.twoSided;
        group.additive = names.baseTexture.rfind("add", 0) == 0;
    }
    if (!names.reflectionTexture.empty()) {
        group.reflectionTexture = textureFor(services, names.reflectionTexture);
        group.hasReflection = true;
    }
    if (!names.illuminationTexture.empty()) {
        group.illuminationTexture = textureFor(services, names.illuminationTexture);
        group.hasIllumination = true;
    }
}

// One object of the first section; false once the file turned out damaged.
bool readObject(Scene& scene, BinaryReader& reader, LoaderTables& tables, uint32_t poolBase, SceneServices& services) {
    auto node = std::make_unique<SceneNode>();
    node->fromObjectSection = true;
    node->name = reader.readStringField();
    node->parentName = reader.readStringField();
    const int32_t materialCount = reader.readInt32();
    if (!reader.ok() || materialCount < 0) return false;
    if (materialCount > kMaxMaterials) services.message("adas");

    for (auto& entry : tables.names) entry = MaterialEntry{};
    const bool glass = node->name == "glass";
    std::vector<MaterialRun> runs;
    for (int32_t k = 0; k < materialCount && reader.ok(); ++k) {
        MaterialEntry entry;
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
    if (!reader.ok()) return false;

    const int32_t v = reader.readInt32(), f = reader.readInt32(), t = reader.readInt32(), l = reader.readInt32(),
                  tf = reader.readInt32();
    const bool hasLightmap = reader.readByte() != 0;
    std::string lightmapName;
    if (hasLightmap) lightmapName = reader.readStringField();
    if (!reader.ok() || v < 0 || f < 0 || t < 0 || l < 0 || tf < 0) return false;

    // Every array must fit in what is left of the file before anything is allocated.
    const int64_t floats = int64_t{v} * 3 + int64_t{f} * 3 + int64_t{t} * 3 + int64_t{l} * 3 + int64_t{tf} * 6 + int64_t{f} * 9;
    if (!reader.canHold(floats, 4)) return false;
    const std::vector<float> positions = reader.readFloats(int64_t{v} * 3);
    const std::vector<float> faces = reader.readFloats(int64_t{f} * 3);
    const std::vector<float> texVertices = reader.readFloats(int64_t{t} * 3);
    const std::vector<float> lightmapVertices = reader.readFloats(int64_t{l} * 3);
    const std::vector<float> texFaces = reader.readFloats(int64_t{tf} * 3);
    const std::vector<float> lightmapFaces = reader.readFloats(int64_t{tf} * 3);
    const std::vector<float> normals = reader.readFloats(int64_t{f} * 9);
    if (!reader.ok()) return false;

    const uint32_t cornerTotal = static_cast<uint32_t>(f) * 3;
    for (const MaterialRun& run : runs) {
        // A run outside the object's own corners is clipped to them, never followed.
        if (run.firstCorner < 0 || static_cast<uint32_t>(run.firstCorner) >= cornerTotal) continue;
        FaceGroup group;
        group.firstVertex = poolBase + static_cast<uint32_t>(run.firstCorner);
        group.vertexCount = std::min<uint32_t>(static_cast<uint32_t>(run.cornerCount), cornerTotal - static_cast<uint32_t>(run.firstCorner));
        int32_t index = run.materialIndex > materialCount ? 0 : run.materialIndex;
        if (index < 0 || static_cast<size_t>(index) >= kMaterialTable) index = 0;
        group.materialIndex = index;
        group.glass = glass;
        fillGroupMaterial(group, tables, services);
        node->groups.push_back(group);
    }
    if (glass) node->translucent = true;

    if (hasLightmap) {
        node->lightmapTexture = textureFor(services, lightmapName);
        node->unlit = true;
        for (FaceGroup& group : node->groups) {
            group.hasLightmap = true;
            group.lightmapTexture = node->lightmapTexture;
        }
    }

    Vec3 lo{999999, 999999, 999999}, hi{-999999, -999999, -999999};
    for (size_t i = 0; i + 2 < positions.size(); i += 3) {
        lo = {std::min(lo.x, positions[i]), std::min(lo.y, positions[i + 1]), std::min(lo.z, positions[i + 2])};
        hi = {std::max(hi.x, positions[i]), std::max(hi.y, positions[i + 1]), std::max(hi.z, positions[i + 2])};
    }
    node->setBox(lo, hi);
    node->isZone = node->parentName == kSceneRoot;

    // One pool vertex per corner, in absolute room coordinates. An index outside its array gives
    // a zero corner rather than a read elsewhere.
    const uint32_t first = services.pool.grow(cornerTotal);
    auto fetch = [](const std::vector<float>& array, float index, size_t width, size_t component) -> float {
        if (!(index >= 0.0f) || index >= 4294967296.0f) return 0.0f;
        const size_t at = static_cast<size_t>(index) * width + component;
        return at < array.size() ? array[at] : 0.0f;
    };
    for (uint32_t c = 0; c < cornerTotal; ++c) {
        PoolVertex& out = services.pool[first + c];
        const float positionIndex = faces[c];
        for (size_t k = 0; k < 3; ++k) out.position[k] = fetch(positions, positionIndex, 3, k);
        for (size_t k = 0; k < 3; ++k) out.normal[k] = normals[size_t{c} * 3 + k];
        if (c < texFaces.size()) {
            out.uv[0] = fetch(texVertices, texFaces[c], 3, 0);
            out.uv[1] = fetch(texVertices, texFaces[c], 3, 1);
        }
        if (hasLightmap && c < lightmapFaces.size()) {
            out.lightmapUv[0] = fetch(lightmapVertices, lightmapFaces[c], 3, 0);
            out.lightmapUv[1] = fetch(lightmapVertices, lightmapFaces[c], 3, 1);
        }
    }

    if (node->name == "vismesh") {
        scene.visibilityNode = std::move(node);
    } else {
        scene.nodes.push_back(std::move(node));
    }
    return true;
}

bool readPortal(Scene& scene, BinaryReader& reader, SceneServices& services) {
    auto portal = std::make_unique<Portal>();
    portal->name = reader.readStringField();
    portal->targetName = reader.readStringField();
    const int32_t pointCount = reader.readInt32();
    if (!reader.canHold(pointCount, 12)) return false;
    for (int32_t i = 0; i < pointCount; ++i) portal->points.push_back(readVec3(reader));
    const int32_t triangleCount = reader.readInt32();
    if (!reader.canHold(triangleCount, 12)) return false;
    const std::vector<float> corners = reader.readFloats(int64_t{triangleCount} * 3);
    portal->normal = readVec3(reader);
    if (!reader.ok()) return false;
    // A triangle with a corner that names no point is dropped.
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        const bool valid = std::all_of(corners.begin() + static_cast<long>(i), corners.begin() + static_cast<long>(i) + 3,
                                       [&](float p) { return p >= 0.0f && p < static_cast<float>(pointCount); });
        if (valid) portal->triangles.insert(portal->triangles.end(), corners.begin() + static_cast<long>(i), corners.begin() + static_cast<long>(i) + 3);
    }
    Vec3 sum{0, 0, 0};
    for (const Vec3& p : portal->points) sum = sum + p;
    if (!portal->points.empty()) portal->centre = sum * (1.0f / static_cast<float>(portal->points.size()));
    if (services.useOcclusionQueries) glGenQueriesARB(1, &portal->query);
    scene.portals.push_back(std::move(portal));
    return true;
}

std::unique_ptr<SceneNode> nodeForMarker(const MeshMarker& marker) {
    auto node = std::make_unique<SceneNode>();
    node->name = marker.name;
    node->parentName = marker.parentName;
    node->diagonal = 1000.0f;
    node->centre = marker.position;
    if (marker.keyPositions.size() > 1) {
        node->pathAnimated = true;
        node->keyPositions = marker.keyPositions;
        node->keyRotations = marker.keyRotations;
        node->keyIndex = 0;
        node->holdCount = marker.holdCount;
    }
    return node;
}

bool readMarker(Scene& scene, BinaryReader& reader, std::vector<std::unique_ptr<SceneNode>>& instanceNodes,
                std::vector<std::unique_ptr<SceneNode>>& animatedNodes, SceneServices& services) {
    auto marker = std::make_unique<MeshMarker>();
    marker->name = reader.readStringField();
    marker->parentName = reader.readStringField();
    marker->kind = reader.readInt32();
    marker->holdCount = reader.readInt32();
    const int32_t keyCount = reader.readInt32();
    if (!reader.canHold(keyCount, 7 * 4)) return false;
    marker->keyPositions.resize(static_cast<size_t>(keyCount));
    marker->keyRotations.resize(static_cast<size_t>(keyCount));
    for (Vec3& p : marker->keyPositions) p = readVec3(reader);
    for (Quaternion& q : marker->keyRotations) q = {reader.readFloat(), reader.readFloat(), reader.readFloat(), reader.readFloat()};
    if (!reader.ok()) return false;
    marker->shortName = shortNameOf(marker->name);
    if (keyCount > 0) {
        marker->position = marker->keyPositions[0];
        marker->rotation = marker->keyRotations[0];
    }
    marker->worldPosition = marker->position;

    if (marker->kind == 3) {
        auto node = nodeForMarker(*marker);
        node->isInstance = true;
        node->instance = std::make_unique<ModelInstance>();
        node->instance->rotation = marker->rotation;
        node->instance->build(services.models, modelNameOfMarker(marker->name));
        node->size = node->instance->size;
        instanceNodes.push_back(std::move(node));
    } else if (marker->kind == 4) {
        auto node = nodeForMarker(*marker);
        node->isAnimatedMesh = true;
        node->animated = services.loadAnimatedMesh(modelNameOfMarker(marker->name));
        if (!node->animated) node->animated = std::make_unique<AnimatedMesh>();
        AnimatedMesh& fire = *node->animated;
        fire.setPlacementRotation(marker->rotation);
        fire.startFire();
        animatedNodes.push_back(std::move(node));
    } else {
        for (auto& portal : scene.portals) {
            if (portal->targetName == marker->name) portal->flag = &marker->active;
        }
        scene.markers.push_back(std::move(marker));
    }
    return true;
}

bool readLight(Scene& scene, BinaryReader& reader, SceneServices& services) {
    auto light = std::make_unique<SceneLight>();
    const Vec3 position = readVec3(reader);
    const Vec3 colour = readVec3(reader);
    light->reach = reader.readFloat();
    reader.readFloat();  // kept by the format, used by nothing
    const float intensity = reader.readFloat();
    light->range = reader.readFloat();
    const int32_t nameCount = reader.readInt32();
    if (!reader.ok() || nameCount < 0) return false;
    if (nameCount > kMaxLightNames) services.message("adas");
    for (int32_t i = 0; i < nameCount && reader.ok(); ++i) {
        std::string name = reader.readStringField();
        if (i <= kMaxLightNames) light->names.push_back(std::move(name));  // the table holds 40 names
    }
    if (!reader.ok()) return false;
    const float position4[4] = {position.x, position.y, position.z, 1.0f};
    const float ambient[4] = {1.6f * intensity, 1.6f * intensity, 1.6f * intensity, intensity};
    const float diffuse[4] = {colour.x * intensity, colour.y * intensity, colour.z * intensity, intensity};
    std::copy(position4, position4 + 4, light->position);
    std::copy(ambient, ambient + 4, light->ambient);
    std::copy(diffuse, diffuse + 4, light->diffuse);
    std::copy(diffuse, diffuse + 4, light->specular);
    scene.lights.push_back(std::move(light));
    return true;
}

// "for every i, for every j: swap when key(i) < key(j)" over the nodes that have face groups.
template <typename Key>
void orderNodes(std::vector<std::unique_ptr<SceneNode>>& nodes, Key key) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        for (size_t j = 0; j < nodes.size(); ++j) {
            if (nodes[i]->groups.empty() || nodes[j]->groups.empty()) continue;
            if (key(nodes[i]->groups.front()) < key(nodes[j]->groups.front())) std::swap(nodes[i], nodes[j]);
        }
    }
}

}  // namespace

std::string modelNameOfMarker(const std::string& markerName) {
    const size_t blank = markerName.find(' ');
    if (blank == std::string::npos) return {};
    std::string rest = markerName.substr(blank + 1);
    const size_t last = rest.rfind(' ');
    if (last != std::string::npos) rest = rest.substr(0, last);
    return rest;
}

void readScene(Scene& scene, std::span<const uint8_t> bytes, SceneServices& services) {
    BinaryReader reader(bytes);
    LoaderTables tables;

    const int32_t objectCount = reader.readInt32();
    for (int32_t i = 0; i < objectCount && reader.ok(); ++i) {
        const auto poolBase = static_cast<uint32_t>(services.pool.size());
        if (!readObject(scene, reader, tables, poolBase, services)) reader.fail();
    }
    const int32_t portalCount = reader.readInt32();
    for (int32_t i = 0; i < portalCount && reader.ok(); ++i) {
        if (!readPortal(scene, reader, services)) reader.fail();
    }
    const int32_t cameraCount = reader.readInt32();
    for (int32_t i = 0; i < cameraCount && reader.ok(); ++i) {
        Camera camera;
        if (readCamera(reader, camera) && camera.keyCount() > 0) scene.cameras.push_back(std::move(camera));
    }
    std::vector<std::unique_ptr<SceneNode>> instanceNodes, animatedNodes;
    const int32_t markerCount = reader.readInt32();
    for (int32_t i = 0; i < markerCount && reader.ok(); ++i) {
        if (!readMarker(scene, reader, instanceNodes, animatedNodes, services)) reader.fail();
    }
    const int32_t lightCount = reader.readInt32();
    for (int32_t i = 0; i < lightCount && reader.ok(); ++i) {
        if (!readLight(scene, reader, services)) reader.fail();
    }
    for (auto& node : instanceNodes) scene.nodes.push_back(std::move(node));
    for (auto& node : animatedNodes) scene.nodes.push_back(std::move(node));
}

void assembleScene(Scene& scene, SceneServices& services) {
    auto& nodes = scene.nodes;
    orderNodes(nodes, [](const FaceGroup& g) { return g.glass ? 1 : 0; });
    orderNodes(nodes, [](const FaceGroup& g) { return g.additive ? 1 : 0; });

    for (auto& parent : nodes) {
        for (auto& child : nodes) {
            if (child->parentName == parent->name) {
                parent->flagList.push_back(&child->visible);
                child->parentVisible = &parent->visible;
            }
        }
        for (auto& portal : scene.portals) {
            if (portal->name == parent->name) parent->portals.push_back(portal.get());
            if (portal->targetName == parent->name) {
                portal->target = parent.get();
                portal->flag = &parent->visible;
            }
        }
        for (auto& marker : scene.markers) {
            if (marker->kind != 1 && marker->parentName == parent->name) parent->flagList.push_back(&marker->active);
        }
    }
    scene.zones.clear();
    scene.objects.clear();
    for (auto& node : nodes) {
        if (node->isZone) {
            scene.zones.push_back(node.get());
        } else {
            if (services.useOcclusionQueries) glGenQueriesARB(1, &node->query);
            scene.objects.push_back(node.get());
        }
    }

    for (auto& node : nodes) {
        if (node->unlit) continue;
        for (const auto& light : scene.lights) {
            const float grow = 2.0f * light->reach;
            const Vec3 p{light->position[0], light->position[1], light->position[2]};
            const bool inside = node->fromObjectSection && node->min.x - grow < p.x && p.x < node->max.x + grow &&
                                node->min.y - grow < p.y && p.y < node->max.y + grow && node->min.z - grow < p.z &&
                                p.z < node->max.z + grow;
            if (inside) {
                node->lights.push_back(light.get());
                continue;
            }
            for (const std::string& name : light->names) {
                if (name == node->name) node->lights.push_back(light.get());
            }
        }
    }

    scene.useOcclusionQueries = services.useOcclusionQueries;
    services.binding.setUseVertexBuffers(services.useVertexBuffers);
    services.binding.upload();
}

}  // namespace hg
