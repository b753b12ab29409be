// The .BSS writer read back by the program's own scene reader: objects become nodes with their
// face groups and corners in the pool, lightmaps and materials reach the groups, cameras, markers
// and lights come back as written; and the writer refuses what the reader would misread.
#include <gtest/gtest.h>

#include <cmath>

#include "bake/bss_writer.h"
#include "bake/error.h"
#include "scene/animated_mesh.h"
#include "scene/mesh_draw.h"
#include "scene/model_library.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/vertex_pool.h"

namespace hg::bake {
namespace {

SceneObject quadObject(const std::string& name, float x, bool lightmapped) {
    Shape s;
    for (Float3 p : {Float3{x, 0, 0}, {x + 10, 0, 0}, {x + 10, 20, 0}, {x, 20, 5}}) s.addPosition(p);
    s.addFace(0, 1, 2, {0, 0}, {1, 0}, {1, 1});
    s.addFace(0, 2, 3, {0, 0}, {1, 1}, {0.25f, 0.75f});
    s.normals[1][2] = {0, 0.6f, 0.8f};
    SceneMaterial wood;
    wood.baseTexture = "wood.tga";
    wood.twoSided = true;
    SceneMaterial glow;
    glow.baseTexture = "add_glow.tga";
    glow.illuminationTexture = "light.tga";
    // Face 1 uses material 0 and face 0 material 1: the writer groups them into runs.
    SceneObject o = objectFromShape(name, s, {1, 0}, {wood, glow});
    if (lightmapped) {
        o.lightmapTexture = "lm_" + name + ".tga";
        o.lightmapVertices = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}};
        o.lightmapFaces = {{0, 1, 2}, {2, 1, 0}};
    }
    return o;
}

struct Loaded {
    VertexPool pool;
    ModelLibrary models{pool, ModelSources{[](const std::string&) { return std::optional<std::vector<uint8_t>>{}; },
                                           [](const std::string&) { return GLuint{0}; }, [](const std::string&) {}}};
    PoolBinding binding{pool};
    std::vector<std::string> textures;
    std::vector<std::string> messages;
    Scene scene;

    void read(const std::vector<uint8_t>& bytes) {
        SceneServices services{[this](const std::string& path) {
                                   textures.push_back(path);
                                   return static_cast<GLuint>(textures.size());
                               },
                               pool,
                               models,
                               [](const std::string&) { return std::unique_ptr<AnimatedMesh>(); },
                               binding,
                               [this](const std::string& m) { messages.push_back(m); }};
        assembleScene(scene, hg::readSceneFile(bytes), services);
    }
    GLuint handle(const std::string& path) const {
        for (size_t i = 0; i < textures.size(); ++i)
            if (textures[i] == path) return static_cast<GLuint>(i + 1);
        return 0;
    }
};

SceneFile sampleScene() {
    SceneFile file;
    SceneObject zone = quadObject("room", 0, true);
    zone.parentName = "Scene Root";
    file.objects.push_back(zone);
    file.objects.push_back(quadObject("glass", 100, false));

    ScenePortal portal{"room", "hall", {{0, 0, 0}, {0, 10, 0}, {0, 10, 10}}, {{0, 1, 2}}, {1, 0, 0}};
    file.portals.push_back(portal);

    SceneCamera camera;
    for (int k = 0; k < 3; ++k) {
        camera.positions.push_back({10.0f * static_cast<float>(k), 5, 120});
        camera.orientations.push_back(lookRotation({1, static_cast<float>(k), -0.2f}, {0, 0, 1}));
        camera.fieldsOfView.push_back(1.309f);
    }
    file.cameras.push_back(camera);

    SceneMarker snow{"emit snowfall", "room", 2, 0, {{750, 100, 270}}, {{0, 0, 0, 1}}};
    SceneMarker path{"emit sparks", "room", 5, 2, {{1, 2, 3}, {4, 5, 6}}, {{0, 0, 0, 1}, rotationAbout({0, 0, 1}, 1.0f)}};
    SceneMarker candle{"instance candle left", "room", 3, 0, {{20, 30, 40}}, {rotationAbout({0, 0, 1}, 0.5f)}};
    file.markers = {snow, path, candle};

    SceneLightDef light;
    light.position = {300, 500, 45};
    light.colour = {1, 0.5f, 0.25f};
    light.reach = 10;
    light.intensity = 0.5f;
    light.range = 100;
    light.names = {"instance candle left", "instance candle left"};
    file.lights.push_back(light);
    return file;
}

TEST(BssWriter, ObjectsComeBackAsNodesWithTheirCornersGroupsAndLightmaps) {
    const SceneFile file = sampleScene();
    Loaded loaded;
    loaded.read(encodeBss(file));
    ASSERT_GE(loaded.scene.nodes.size(), 2u);
    const SceneNode& room = *loaded.scene.nodes[0];
    const SceneNode& glass = *loaded.scene.nodes[1];
    EXPECT_EQ(room.name, "room");
    EXPECT_TRUE(room.isZone);
    EXPECT_TRUE(room.unlit);
    EXPECT_EQ(room.lightmapTexture, loaded.handle("Textures/lm_room.tga"));
    EXPECT_FALSE(glass.isZone);
    EXPECT_TRUE(glass.translucent);
    EXPECT_FALSE(glass.unlit);
    EXPECT_EQ(glass.min.x, 100.0f);
    EXPECT_EQ(glass.max.y, 20.0f);

    // Runs in material order: face 1 (wood) first, then face 0 (the additive glow).
    ASSERT_EQ(room.groups.size(), 2u);
    EXPECT_EQ(room.groups[0].firstVertex, 0u);
    EXPECT_EQ(room.groups[0].vertexCount, 3u);
    EXPECT_EQ(room.groups[0].baseTexture, loaded.handle("Textures/wood.tga"));
    EXPECT_TRUE(room.groups[0].twoSided);
    EXPECT_FALSE(room.groups[0].additive);
    EXPECT_TRUE(room.groups[0].hasLightmap);
    EXPECT_TRUE(room.groups[1].additive);
    EXPECT_TRUE(room.groups[1].hasIllumination);
    EXPECT_EQ(room.groups[1].illuminationTexture, loaded.handle("Textures/light.tga"));
    ASSERT_EQ(glass.groups.size(), 2u);
    EXPECT_EQ(glass.groups[0].firstVertex, 6u);  // after the room's six corners
    EXPECT_TRUE(glass.groups[0].glass);
    EXPECT_FALSE(glass.groups[0].hasLightmap);

    // Corners: the room's first corner is face 1's first corner (position 0).
    ASSERT_EQ(loaded.pool.size(), 12u);
    const PoolVertex& v2 = loaded.pool[2];
    EXPECT_EQ(v2.position[0], 0.0f);
    EXPECT_EQ(v2.position[2], 5.0f);
    EXPECT_FLOAT_EQ(v2.normal[1], 0.6f);
    EXPECT_FLOAT_EQ(v2.uv[0], 0.25f);
    EXPECT_FLOAT_EQ(v2.uv[1], 0.75f);
    EXPECT_FLOAT_EQ(v2.lightmapUv[0], 0.5f);
    EXPECT_FLOAT_EQ(loaded.pool[3].lightmapUv[1], 0.6f);  // face 0 takes lightmap face (2, 1, 0)
    EXPECT_EQ(loaded.pool[7].position[0], 110.0f);
    EXPECT_EQ(loaded.pool[7].lightmapUv[0], 0.0f);
}

TEST(BssWriter, CamerasMarkersAndLightsComeBackAsWritten) {
    const SceneFile file = sampleScene();
    Loaded loaded;
    loaded.read(encodeBss(file));
    Scene& scene = loaded.scene;
    ASSERT_EQ(scene.portals.size(), 1u);
    EXPECT_EQ(scene.portals[0]->targetName, "hall");
    EXPECT_FLOAT_EQ(scene.portals[0]->centre.y, 20.0f / 3.0f);
    EXPECT_EQ(scene.portals[0]->triangles.size(), 3u);

    ASSERT_EQ(scene.cameras.size(), 1u);
    const Camera& camera = scene.cameras.front();
    ASSERT_EQ(camera.keyCount(), 3);
    for (size_t k = 0; k < 3; ++k) {
        // The program's orientation is the one the flight was designed with.
        const Rotation& q = file.cameras[0].orientations[k];
        EXPECT_NEAR(camera.keyOrientations[k].x, q[0], 1e-6f);
        EXPECT_NEAR(camera.keyOrientations[k].w, q[3], 1e-6f);
        EXPECT_EQ(camera.keyPositions[k].x, file.cameras[0].positions[k].x);
        EXPECT_FLOAT_EQ(camera.keyFieldsOfView[k], 1.309f);
    }

    ASSERT_EQ(scene.markers.size(), 2u);  // the instance became a node
    EXPECT_EQ(scene.markers[0]->name, "emit snowfall");
    EXPECT_EQ(scene.markers[0]->kind, 2);
    EXPECT_EQ(scene.markers[0]->position.x, 750.0f);
    EXPECT_EQ(scene.markers[1]->holdCount, 2);
    ASSERT_EQ(scene.markers[1]->keyRotations.size(), 2u);
    EXPECT_FLOAT_EQ(scene.markers[1]->keyRotations[1].z, std::sin(0.5f));
    const SceneNode& candle = *scene.nodes.back();
    EXPECT_EQ(candle.name, "instance candle left");
    EXPECT_TRUE(candle.isInstance);
    EXPECT_EQ(candle.centre.z, 40.0f);

    ASSERT_EQ(scene.lights.size(), 1u);
    const SceneLight& light = *scene.lights[0];
    EXPECT_EQ(light.position[1], 500.0f);
    EXPECT_FLOAT_EQ(light.diffuse[1], 0.25f);
    EXPECT_FLOAT_EQ(light.ambient[0], 0.8f);
    EXPECT_EQ(light.names, file.lights[0].names);
    EXPECT_TRUE(loaded.messages.empty());
}

TEST(BssWriter, RefusesWhatTheReaderWouldMisread) {
    SceneFile bad = sampleScene();
    bad.objects[0].faces[0][1] = 99;  // no such position
    EXPECT_THROW(encodeBss(bad), BakeError);
    bad = sampleScene();
    bad.objects[0].runs[0].cornerCount = 9;  // past the object's six corners
    EXPECT_THROW(encodeBss(bad), BakeError);
    bad = sampleScene();
    bad.objects[0].lightmapFaces.pop_back();
    EXPECT_THROW(encodeBss(bad), BakeError);
    bad = sampleScene();
    bad.lights[0].names.assign(40, "instance candle");
    EXPECT_THROW(encodeBss(bad), BakeError);
    bad = sampleScene();
    bad.cameras[0].fieldsOfView.pop_back();
    EXPECT_THROW(encodeBss(bad), BakeError);
}

TEST(BssWriter, LookRotationPointsTheCameraAndKeepsItUpright) {
    for (Float3 forward : {Float3{1, 0, 0}, {0, -1, -0.3f}, {-0.4f, 0.7f, 0.2f}}) {
        const Rotation q = lookRotation(forward, {0, 0, 1});
        const Float3 view = rotate(q, {0, 0, -1}), up = rotate(q, {0, 1, 0}), right = rotate(q, {1, 0, 0});
        const Float3 f = normalized(forward);
        EXPECT_NEAR(view.x, f.x, 1e-5f);
        EXPECT_NEAR(view.y, f.y, 1e-5f);
        EXPECT_NEAR(view.z, f.z, 1e-5f);
        EXPECT_GT(up.z, 0.9f);
        EXPECT_NEAR(right.z, 0.0f, 1e-5f);  // no roll
    }
}

}  // namespace
}  // namespace hg::bake
