#include "scene/scene_loader.h"

#include <algorithm>

#include "scene/animated_mesh.h"
#include "scene/marker_kind.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"
#include "scene/scene.h"
#include "scene/vertex_pool.h"

namespace hg {
namespace {

GLuint textureFor(SceneServices& services, const std::string& fileName) {
    return services.texture("Textures/" + fileName);
}

bool opaque(const SceneServices& services, GLuint texture) {
    return texture != 0 && services.isOpaque && services.isOpaque(texture);
}

FaceGroup faceGroupOf(const SceneFileGroup& read, uint32_t poolBase, bool glass, SceneServices& services) {
    FaceGroup group;
    group.firstVertex = poolBase + read.firstCorner;
    group.vertexCount = read.cornerCount;
    group.materialIndex = read.materialIndex;
    group.glass = glass;
    const SceneMaterial& material = read.material;
    if (material.baseTexture.size() > 4) {
        group.baseTexture = textureFor(services, material.baseTexture);
        group.twoSided = material.twoSided;
        group.additive = material.baseTexture.rfind("add", 0) == 0;
        group.opaqueBase = opaque(services, group.baseTexture);
    }
    if (!material.reflectionTexture.empty()) {
        group.reflectionTexture = textureFor(services, material.reflectionTexture);
        group.hasReflection = true;
    }
    if (!material.illuminationTexture.empty()) {
        group.illuminationTexture = textureFor(services, material.illuminationTexture);
        group.hasIllumination = true;
    }
    return group;
}

// A group's equal corners share one vertex; a group where none are equal keeps no index list.
void shareEqualCorners(FaceGroup& group, const std::vector<PoolVertex>& corners, uint32_t poolBase) {
    const size_t begin = group.firstVertex - poolBase;
    if (group.firstVertex < poolBase || begin > corners.size() || group.vertexCount > corners.size() - begin) return;
    const std::span<const PoolVertex> run = std::span<const PoolVertex>(corners).subspan(begin, group.vertexCount);
    std::vector<uint32_t> indices = sharedVertexIndices(run, group.firstVertex);
    if (!namesItsRunInOrder(indices, group.firstVertex)) group.indices = std::move(indices);
}

// A room object: its face groups with their textures, its lightmap, its corners in the pool.
void addObject(Scene& scene, const SceneFileObject& object, SceneServices& services) {
    auto node = std::make_unique<SceneNode>();
    node->fromObjectSection = true;
    node->name = object.name;
    node->parentName = object.parentName;
    const bool glass = node->name == "glass";
    const auto poolBase = static_cast<uint32_t>(services.pool.size());
    for (const SceneFileGroup& group : object.groups) node->groups.push_back(faceGroupOf(group, poolBase, glass, services));
    if (glass) node->translucent = true;
    node->outdoors = node->name == "panorama";
    if (object.lightmap) {
        node->lightmapTexture = textureFor(services, *object.lightmap);
        node->unlit = true;
        for (FaceGroup& group : node->groups) {
            group.hasLightmap = true;
            group.lightmapTexture = node->lightmapTexture;
            group.opaqueLightmap = opaque(services, node->lightmapTexture);
        }
    }
    node->setBox(object.low, object.high);
    node->isZone = node->parentName == kSceneRoot;

    const auto positionOf = [](const PoolVertex& v) { return Vec3{v.position[0], v.position[1], v.position[2]}; };
    node->bound = sphereRound(object.corners, positionOf);
    node->corners = boxRound(object.corners, positionOf);
    if (glass) {
        for (const PoolVertex& v : object.corners) scene.windowPanes.push_back(positionOf(v));
    }
    const uint32_t first = services.pool.grow(object.corners.size());
    std::copy(object.corners.begin(), object.corners.end(), services.pool.data() + first);
    for (FaceGroup& group : node->groups) shareEqualCorners(group, object.corners, poolBase);
    if (node->name == "vismesh") {
        scene.visibilityNode = std::move(node);
    } else {
        scene.nodes.push_back(std::move(node));
    }
}

void addPortal(Scene& scene, const SceneFilePortal& read, SceneServices& services) {
    auto portal = std::make_unique<Portal>();
    portal->name = read.name;
    portal->targetName = read.targetName;
    portal->points = read.points;
    portal->triangles = read.triangles;
    portal->normal = read.normal;
    portal->centre = read.centre;
    if (services.useOcclusionQueries) glGenQueriesARB(1, &portal->query);
    scene.portals.push_back(std::move(portal));
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

// A marker places a model, places the animated fire, or stays a marker (an emitter, or the
// target of a portal).
void addMarker(Scene& scene, const MeshMarker& read, std::vector<std::unique_ptr<SceneNode>>& instanceNodes,
               std::vector<std::unique_ptr<SceneNode>>& animatedNodes, SceneServices& services) {
    if (read.kind == kInstanceMarker) {
        auto node = nodeForMarker(read);
        node->isInstance = true;
        node->instance = std::make_unique<ModelInstance>();
        node->instance->rotation = read.rotation;
        node->instance->build(services.models, modelNameOfMarker(read.name));
        node->size = node->instance->size;
        instanceNodes.push_back(std::move(node));
    } else if (read.kind == kAnimatedMeshMarker) {
        auto node = nodeForMarker(read);
        node->isAnimatedMesh = true;
        node->animated = services.loadAnimatedMesh(modelNameOfMarker(read.name));
        if (!node->animated) node->animated = std::make_unique<AnimatedMesh>();
        node->animated->setPlacementRotation(read.rotation);
        node->animated->startFire();
        animatedNodes.push_back(std::move(node));
    } else {
        auto marker = std::make_unique<MeshMarker>(read);
        for (auto& portal : scene.portals) {
            if (portal->targetName == marker->name) portal->flag = &marker->active;
        }
        scene.markers.push_back(std::move(marker));
    }
}

void addLight(Scene& scene, const SceneFileLight& read) {
    auto light = std::make_unique<SceneLight>();
    light->reach = read.reach;
    light->range = read.range;
    light->names = read.names;
    const float intensity = read.intensity;
    const float position4[4] = {read.position.x, read.position.y, read.position.z, 1.0f};
    const float ambient[4] = {1.6f * intensity, 1.6f * intensity, 1.6f * intensity, intensity};
    const float diffuse[4] = {read.colour.x * intensity, read.colour.y * intensity, read.colour.z * intensity, intensity};
    std::copy(position4, position4 + 4, light->position);
    std::copy(ambient, ambient + 4, light->ambient);
    std::copy(diffuse, diffuse + 4, light->diffuse);
    std::copy(diffuse, diffuse + 4, light->specular);
    scene.lights.push_back(std::move(light));
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

// Spans the zone's box along two axes or more (to within a twentieth of the zone's size): the floor,
// the ceiling, bands round the walls.
bool spansZone(const SceneNode& object, const SceneNode& zone) {
    if (object.corners.empty() || zone.corners.empty()) return false;
    const auto along = [](const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; };
    int spanned = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const float low = along(zone.corners.low, axis), high = along(zone.corners.high, axis);
        const float slack = 0.05f * (high - low);
        if (along(object.corners.low, axis) <= low + slack && along(object.corners.high, axis) >= high - slack) ++spanned;
    }
    return spanned >= 2;
}

// Orders and links the nodes, binds the lights and uploads the pool.
void linkScene(Scene& scene, SceneServices& services) {
    auto& nodes = scene.nodes;
    orderNodes(nodes, [](const FaceGroup& g) { return g.glass ? 1 : 0; });
    orderNodes(nodes, [](const FaceGroup& g) { return g.additive ? 1 : 0; });

    for (auto& parent : nodes) {
        for (auto& child : nodes) {
            if (child->parentName == parent->name) {
                parent->flagList.push_back(&child->visible);
                child->parentVisible = &parent->visible;
                if (parent->isZone && child->fromObjectSection && !child->isZone) child->enclosing = spansZone(*child, *parent);
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
            if (marker->kind != kUnlinkedMarker && marker->parentName == parent->name) parent->flagList.push_back(&marker->active);
        }
    }
    scene.zones.clear();
    scene.objects.clear();
    for (auto& node : nodes) {
        if (node->isZone) {
            node->enclosing = true;
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
    // The buffer holds the vertices now; drawing from client memory still needs the pool's own.
    if (services.useVertexBuffers) services.pool.releaseVertices();
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

void assembleScene(Scene& scene, const SceneFile& file, SceneServices& services) {
    for (const std::string& warning : file.warnings) services.message(warning);
    for (const SceneFileObject& object : file.objects) addObject(scene, object, services);
    for (const SceneFilePortal& portal : file.portals) addPortal(scene, portal, services);
    scene.cameras = file.cameras;
    std::vector<std::unique_ptr<SceneNode>> instanceNodes, animatedNodes;
    for (const MeshMarker& marker : file.markers) addMarker(scene, marker, instanceNodes, animatedNodes, services);
    for (const SceneFileLight& light : file.lights) addLight(scene, light);
    for (auto& node : instanceNodes) scene.nodes.push_back(std::move(node));
    for (auto& node : animatedNodes) scene.nodes.push_back(std::move(node));
    linkScene(scene, services);
}

}  // namespace hg
