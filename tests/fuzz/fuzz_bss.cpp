// The scene file ("Models/test.bss") as the room loads it: read into plain records, then assembled
// into the scene as a run without vertex buffers and occlusion queries does it, which makes no GL
// call (nodes and face groups in the vertex pool, portals, markers placing models and the fire,
// lights, the drawing order and the links). Textures are fake handles; the placed models' files and
// the fire's are missing, as the room meets them when the archive lacks them.
//
// Checks: the records' counts and indices stay inside their arrays, and after the assembly every
// face group lies inside the pool and every link points at a node of the scene.
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fuzz_target.h"
#include "scene/animated_mesh.h"
#include "scene/mesh_draw.h"
#include "scene/model_library.h"
#include "scene/scene.h"
#include "scene/scene_file.h"
#include "scene/scene_loader.h"
#include "scene/vertex_pool.h"

namespace {

using namespace hg;

void checkRecords(const SceneFile& file) {
    for (const SceneFileObject& object : file.objects) {
        for (const SceneFileGroup& group : object.groups) {
            fuzz::check(group.cornerCount >= 1 && group.firstCorner < object.corners.size() &&
                            group.cornerCount <= object.corners.size() - group.firstCorner,
                        "a face group lies inside its object's corners");
            fuzz::check(group.materialIndex >= 0 && group.materialIndex <= kMaxMaterials, "a material of the table");
        }
    }
    for (const SceneFilePortal& portal : file.portals) {
        fuzz::check(portal.triangles.size() % 3 == 0, "whole triangles");
        for (float corner : portal.triangles) {
            fuzz::check(corner >= 0.0f && corner < float(portal.points.size()), "a triangle names points of its portal");
        }
    }
    for (const Camera& camera : file.cameras) {
        fuzz::check(camera.keyCount() > 0 && camera.keyOrientations.size() == camera.keyPositions.size() &&
                        camera.keyFieldsOfView.size() == camera.keyPositions.size(),
                    "a camera's keys are whole");
    }
    for (const MeshMarker& marker : file.markers) {
        fuzz::check(marker.keyRotations.size() == marker.keyPositions.size(), "a marker's keys are whole");
    }
    for (const SceneFileLight& light : file.lights) {
        fuzz::check(light.names.size() <= size_t(kMaxLightNames) + 1, "a light's name table holds 40");
    }
}

void checkScene(const Scene& scene, const SceneFile& file, const VertexPool& pool) {
    size_t corners = 0;
    for (const SceneFileObject& object : file.objects) corners += object.corners.size();
    fuzz::check(pool.size() >= corners, "every corner of the file is in the pool");

    std::set<const SceneNode*> nodes;
    for (const auto& node : scene.nodes) nodes.insert(node.get());
    auto checkGroups = [&](const SceneNode& node) {
        for (const FaceGroup& group : node.groups) {
            fuzz::check(group.firstVertex <= pool.size() && group.vertexCount <= pool.size() - group.firstVertex,
                        "a face group lies inside the pool");
        }
    };
    for (const auto& node : scene.nodes) checkGroups(*node);
    if (scene.visibilityNode) checkGroups(*scene.visibilityNode);
    fuzz::check(scene.zones.size() + scene.objects.size() == scene.nodes.size(), "each node is a zone or an object");
    for (const SceneNode* node : scene.zones) fuzz::check(nodes.count(node) == 1, "zones are nodes of the scene");
    for (const SceneNode* node : scene.objects) fuzz::check(nodes.count(node) == 1, "objects are nodes of the scene");
    for (const auto& portal : scene.portals) {
        fuzz::check(!portal->target || nodes.count(portal->target) == 1, "a portal leads to a node of the scene");
    }
    fuzz::check(scene.cameras.size() == file.cameras.size(), "every camera flight is kept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SceneFile file = readSceneFile(fuzz::inputOf(data, size));
    checkRecords(file);

    VertexPool pool;
    GLuint nextTexture = 1;
    std::vector<std::string> messages;
    ModelLibrary models(pool, ModelSources{
                                  [](const std::string&) { return std::optional<std::vector<uint8_t>>(); },
                                  [&](const std::string&) { return nextTexture++; },
                                  [&](const std::string& text) { messages.push_back(text); },
                              });
    PoolBinding binding(pool);
    SceneServices services{
        [&](const std::string&) { return nextTexture++; },
        pool,
        models,
        [](const std::string&) { return std::make_unique<AnimatedMesh>(); },
        binding,
        [&](const std::string& text) { messages.push_back(text); },
        false,
        false,
        [](GLuint texture) { return texture % 3 == 0; },
    };
    Scene scene;
    assembleScene(scene, file, services);
    fuzz::check(messages.size() >= file.warnings.size(), "the file's warnings reach the user");
    checkScene(scene, file, pool);
    scene.clear();
    return 0;
}
