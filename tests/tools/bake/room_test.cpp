// The room's contract with the program: one zone holding every camera, the names the code looks
// for, five flights of 300 smooth keys, the triangle and lightmap budgets, every texture and model
// the scene names made by the builder, and the same bytes from every bake.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "bake/model_parts.h"
#include "bake/models.h"
#include "bake/particle_content.h"
#include "bake/room_layout.h"
#include "bake/room_models.h"
#include "bake/room_recipe.h"
#include "scene/scene_loader.h"

namespace hg::bake::room {
namespace {

// The room with a tenth of the lightmapper's rays: the same charts, maps and scene, lit sooner.
RoomBuildOptions draft() {
    RoomBuildOptions options;
    options.lightSamples = 0.1f;
    return options;
}

const RoomBuild& room() {
    static const RoomBuild built = buildRoom(draft());
    return built;
}

const SceneMarker* findMarker(const std::string& name, int kind) {
    for (const SceneMarker& m : room().scene.markers)
        if (m.name == name && m.kind == kind) return &m;
    return nullptr;
}

TEST(Room, OneZoneStrictlyHoldsEveryCameraKey) {
    const SceneObject* zone = nullptr;
    for (const SceneObject& o : room().scene.objects) {
        if (o.parentName == "Scene Root") {
            EXPECT_EQ(zone, nullptr) << "a second zone: " << o.name;
            zone = &o;
        } else {
            EXPECT_EQ(o.parentName, "room") << o.name;
        }
    }
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->name, "room");
    Float3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (Float3 p : zone->positions) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    ASSERT_EQ(room().scene.cameras.size(), 5u);
    for (const SceneCamera& c : room().scene.cameras) {
        ASSERT_EQ(c.positions.size(), 300u);
        for (Float3 p : c.positions) {
            EXPECT_TRUE(lo.x < p.x && p.x < hi.x && lo.y < p.y && p.y < hi.y && lo.z < p.z && p.z < hi.z);
            EXPECT_GE(p.z, 88.0f);  // cameras fly at sitting to standing eye height
            EXPECT_LE(p.z, 202.0f);
        }
    }
}

TEST(Room, FlightsMoveSmoothlyWithoutJumpsOrRoll) {
    for (const SceneCamera& c : room().scene.cameras) {
        for (size_t k = 1; k < c.positions.size(); ++k) {
            // One key lasts about a quarter of a second: a few centimetres, a degree or two.
            EXPECT_LT(length(c.positions[k] - c.positions[k - 1]), 4.0f);
            const Float3 a = rotate(c.orientations[k - 1], {0, 0, -1}), b = rotate(c.orientations[k], {0, 0, -1});
            EXPECT_GT(dot(a, b), std::cos(2.5f * 3.14159f / 180.0f));
            EXPECT_NEAR(rotate(c.orientations[k], {1, 0, 0}).z, 0.0f, 1e-4f);
        }
        for (float fov : c.fieldsOfView) EXPECT_TRUE(fov > 1.0f && fov < 1.6f);
    }
}

TEST(Room, NamesTheProgramLooksFor) {
    EXPECT_NE(findMarker("instance railroad", 3), nullptr);
    EXPECT_NE(findMarker("instance Clock", 3), nullptr);
    EXPECT_NE(findMarker("animmodel fireplace_fire", 4), nullptr);
    EXPECT_NE(findMarker("emit fire", 2), nullptr);
    int snow = 0;
    for (const SceneMarker& m : room().scene.markers) {
        if (m.name == "emit snowfall" && m.kind == 2) ++snow;
        EXPECT_EQ(m.parentName, "room") << m.name;
    }
    EXPECT_EQ(snow, 2);  // one outside each window
    std::set<std::string> objects;
    for (const SceneObject& o : room().scene.objects) objects.insert(o.name);
    for (const char* name : {"room", "glass", "panorama", "vismesh", "floor", "fireplace", "mantel", "couch", "curtains"})
        EXPECT_TRUE(objects.count(name)) << name;
    EXPECT_GE(objects.size(), 30u);
    ASSERT_EQ(room().scene.lights.size(), 1u);
    const SceneLightDef& light = room().scene.lights[0];
    EXPECT_LE(light.names.size(), 39u);
    int instances = 0;
    for (const SceneMarker& m : room().scene.markers)
        if (m.kind == 3) {
            ++instances;
            EXPECT_EQ(std::count(light.names.begin(), light.names.end(), m.name), 1) << m.name;
        }
    EXPECT_GE(instances, 20);
}

TEST(Room, SnowFallsOnlyOutsideTheWindows) {
    // Kept for the whole test: the flakes' definition points into it.
    const auto systems = particleSystems();
    const EmitterDefinition* flakes = nullptr;
    for (const auto& [name, emitters] : systems)
        if (name == "snowfall") flakes = &emitters.at(0);
    ASSERT_NE(flakes, nullptr);
    // The farthest a flake starts from its marker across the wall, plus the farthest it drifts while
    // it fades in from its start to its peak and out again.
    const float spread = flakes->spawnBox.x * 0.005f;
    const float speed = std::max(std::fabs(flakes->velocity.x), std::fabs(flakes->velocity.x + flakes->velocityRange.x)) * 0.01f;
    const float steps = (flakes->peakAlpha - flakes->startAlpha) / flakes->fadeRate + flakes->peakAlpha / flakes->fadeRate;
    int markers = 0;
    for (const SceneMarker& m : room().scene.markers)
        if (m.name == "emit snowfall") {
            ++markers;
            EXPECT_GT(m.positions[0].x - spread - speed * steps, kWidth) << "flakes would reach indoors";
        }
    EXPECT_EQ(markers, 2);
}

TEST(Room, StaysInsideItsBudgetsAndNamesOnlyWhatTheBuilderMakes) {
    std::map<std::string, size_t> modelTriangles;
    std::set<std::string> textures;
    for (const NamedModel& m : allModels()) modelTriangles[m.name] = m.model.triangleCount();
    for (const NamedModel& m : decorationModels()) {
        modelTriangles[m.name] = m.model.triangleCount();
        for (const ModelObject& o : m.model.objects) {
            textures.insert(o.material.baseTexture);
            if (o.material.illuminationTexture) textures.insert(*o.material.illuminationTexture);
        }
    }
    std::set<std::string> made;
    for (const auto& [name, canvas] : modelTextures()) made.insert(name);
    for (const NamedCanvas& t : roomTextures()) made.insert(t.name);
    for (const DecorTexture& t : decorationTextures()) made.insert(t.name);
    size_t lightmapBytes = 0;
    for (const auto& [name, map] : room().lightmaps) {
        made.insert(name);
        EXPECT_EQ(map.width(), map.height());
        EXPECT_EQ(map.width() & (map.width() - 1), 0) << name;
        lightmapBytes += static_cast<size_t>(map.width() * map.height()) * 3 + 18;
    }
    EXPECT_LE(lightmapBytes, 8u * 1024 * 1024);

    size_t triangles = 0;
    for (const SceneObject& o : room().scene.objects) {
        if (o.name != "vismesh") triangles += o.triangleCount();
        for (const SceneMaterial& m : o.materials)
            if (m.baseTexture != "None") textures.insert(m.baseTexture);
        if (o.lightmapTexture) textures.insert(*o.lightmapTexture);
    }
    for (const SceneMarker& m : room().scene.markers) {
        if (m.kind != 3) continue;
        const std::string model = modelNameOfMarker(m.name);
        ASSERT_TRUE(modelTriangles.count(model)) << m.name;
        triangles += modelTriangles[model];
    }
    EXPECT_LE(triangles, 120000u);
    for (const std::string& t : textures) EXPECT_TRUE(made.count(t)) << t;
    for (const NamedCanvas& t : roomTextures()) {
        EXPECT_EQ(t.canvas.width(), t.canvas.height()) << t.name;
        EXPECT_TRUE(t.canvas.width() >= 256 && t.canvas.width() <= 1024 && (t.canvas.width() & (t.canvas.width() - 1)) == 0) << t.name;
    }
}

TEST(Room, EveryBakeWritesTheSameScene) {
    const RoomBuild again = buildRoom(draft());
    EXPECT_EQ(encodeBss(again.scene), encodeBss(room().scene));
    ASSERT_EQ(again.lightmaps.size(), room().lightmaps.size());
    for (size_t i = 0; i < again.lightmaps.size(); ++i) {
        const auto& a = again.lightmaps[i].second.pixels();
        const auto& b = room().lightmaps[i].second.pixels();
        ASSERT_EQ(a.size(), b.size());
        bool same = true;
        for (size_t p = 0; p < a.size(); ++p) same = same && a[p].r == b[p].r && a[p].g == b[p].g && a[p].b == b[p].b;
        EXPECT_TRUE(same) << again.lightmaps[i].first;
    }
}

}  // namespace
}  // namespace hg::bake::room
