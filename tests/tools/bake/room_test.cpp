// The room's contract with the program: one zone holding every camera, the names the code looks
// for, five flights of 300 smooth keys, the triangle and lightmap budgets, every texture and model
// the scene names made by the builder, and the same bytes from every bake.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
    RecordProperty("triangles", static_cast<int>(triangles));
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

// The closest point of triangle abc to p, by the region of the triangle p projects into.
Float3 closestOnTriangle(Float3 p, Float3 a, Float3 b, Float3 c) {
    const Float3 ab = b - a, ac = c - a, ap = p - a;
    const float d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const Float3 bp = p - b;
    const float d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + ab * (d1 / (d1 - d3));
    const Float3 cp = p - c;
    const float d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + ac * (d2 / (d2 - d6));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float denominator = 1.0f / (va + vb + vc);
    return a + ab * (vb * denominator) + ac * (vc * denominator);
}

// Something a camera must keep clear of: triangles in room space with their box, or the ring a
// piece sweeps round a vertical axis (what turns about a placed model's centre: the train's cars).
struct Obstacle {
    explicit Obstacle(std::string what) : name(std::move(what)) {}

    std::string name;
    std::vector<std::array<Float3, 3>> triangles;
    Float3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    bool ring = false;
    Float3 axis{};
    float r0 = 0, r1 = 0;

    void add(Float3 a, Float3 b, Float3 c) {
        triangles.push_back({a, b, c});
        for (Float3 p : {a, b, c}) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    // The distance from p, exact below `enough`; anything farther only reports `enough`.
    float distance(Float3 p, float enough) const {
        const float dz = std::max({lo.z - p.z, 0.0f, p.z - hi.z});
        if (ring) {
            const float r = std::hypot(p.x - axis.x, p.y - axis.y);
            return std::min(enough, std::hypot(std::max({r0 - r, 0.0f, r - r1}), dz));
        }
        const Float3 outside{std::max({lo.x - p.x, 0.0f, p.x - hi.x}), std::max({lo.y - p.y, 0.0f, p.y - hi.y}), dz};
        if (length(outside) >= enough) return enough;
        float best = enough;
        for (const auto& t : triangles) best = std::min(best, length(p - closestOnTriangle(p, t[0], t[1], t[2])));
        return best;
    }
};

// What the cameras fly among: every room object but the hull the program never draws, the panes
// they look through and the landscape far outside; and the placed models as the program draws
// them (turned by the conjugate of their marker's rotation), what moves as the ring it sweeps.
std::vector<Obstacle> cameraObstacles() {
    std::vector<Obstacle> out;
    for (auto* theme : {&shellObjects, &fireplaceObjects, &windowObjects, &furnitureObjects})
        for (const ObjectDef& def : theme()) {
            if (def.name == "glass" || def.name == "panorama" || def.name == "vismesh") continue;
            Obstacle o(def.name);
            for (const Part& part : def.parts)
                for (const auto& f : part.shape.faces) o.add(part.shape.positions[f[0]], part.shape.positions[f[1]], part.shape.positions[f[2]]);
            out.push_back(std::move(o));
        }
    static const std::vector<NamedModel> all = [] {
        std::vector<NamedModel> m = allModels();
        for (NamedModel& d : decorationModels()) m.push_back(std::move(d));
        return m;
    }();
    std::map<std::string, const Model*> models;
    for (const NamedModel& m : all) models[m.name] = &m.model;
    for (const SceneMarker& marker : roomMarkers()) {
        if (marker.kind != kInstanceMarker) continue;
        const auto it = models.find(modelNameOfMarker(marker.name));
        if (it == models.end()) continue;
        const Float3 at = marker.positions.at(0);
        const Rotation turn = conjugate(marker.rotations.at(0));
        for (const ModelObject& mo : it->second->objects) {
            if (mo.name == "CollMesh") continue;
            Obstacle o(marker.name + " / " + mo.name);
            for (const auto& f : mo.shape.faces) {
                std::array<Float3, 3> t;
                for (size_t k = 0; k < 3; ++k) t[k] = at + rotate(turn, mo.shape.positions[f[k]]);
                o.add(t[0], t[1], t[2]);
            }
            if (mo.parentName != kRootParent) {
                o.ring = true;
                o.axis = at;
                o.r0 = 1e9f;
                for (const auto& t : o.triangles)
                    for (Float3 p : t) {
                        const float r = std::hypot(p.x - at.x, p.y - at.y);
                        o.r0 = std::min(o.r0, r);
                        o.r1 = std::max(o.r1, r);
                    }
            }
            out.push_back(std::move(o));
        }
    }
    return out;
}

TEST(Room, DistancesToObstaclesCoverFacesEdgesCornersAndRings) {
    const Float3 a{0, 0, 0}, b{10, 0, 0}, c{0, 10, 0};
    auto closest = [&](Float3 p, Float3 expected) { EXPECT_LT(length(closestOnTriangle(p, a, b, c) - expected), 1e-4f) << p.x << " " << p.y << " " << p.z; };
    closest({2, 3, 5}, {2, 3, 0});   // over the face
    closest({5, -4, 1}, {5, 0, 0});  // beside edge ab
    closest({-3, 4, 0}, {0, 4, 0});  // beside edge ac
    closest({8, 8, 0}, {5, 5, 0});   // beside edge bc
    closest({-2, -2, 7}, a);         // beyond each corner
    closest({14, -1, 0}, b);
    closest({-1, 13, 0}, c);

    Obstacle slab("slab");
    slab.add({0, 0, 0}, {100, 0, 0}, {100, 100, 0});
    slab.add({0, 0, 0}, {100, 100, 0}, {0, 100, 0});
    EXPECT_NEAR(slab.distance({50, 50, 30}, 40.0f), 30.0f, 1e-3f);
    EXPECT_NEAR(slab.distance({130, 50, 40}, 100.0f), 50.0f, 1e-3f);
    EXPECT_EQ(slab.distance({50, 50, 300}, 40.0f), 40.0f);  // far off: only "at least"
    Obstacle cars("cars");
    cars.add({80, 0, 0}, {100, 0, 0}, {100, 0, 20});
    cars.ring = true;
    cars.r0 = 80;
    cars.r1 = 100;
    EXPECT_NEAR(cars.distance({0, 90, 50}, 40.0f), 30.0f, 1e-3f);   // a quarter turn on, above the cars
    EXPECT_NEAR(cars.distance({0, 0, 10}, 100.0f), 80.0f, 1e-3f);  // at the centre of the track
}

TEST(Room, EveryCameraKeyKeepsItsDistanceFromTheFurniture) {
    // Nearer than this, a wall, a chair's back or the tree fills the frame by accident.
    constexpr float kClearance = 40.0f;
    const std::vector<Obstacle> obstacles = cameraObstacles();
    // The tree, and the train's cars as rings round it, are among them.
    EXPECT_TRUE(std::any_of(obstacles.begin(), obstacles.end(), [](const Obstacle& o) { return o.name.starts_with("instance firtree"); }));
    EXPECT_GE(std::count_if(obstacles.begin(), obstacles.end(), [](const Obstacle& o) { return o.name.starts_with("instance railroad") && o.ring; }), 3);
    const std::vector<SceneCamera> flights = roomCameras();
    ASSERT_EQ(flights.size(), 5u);
    for (size_t c = 0; c < flights.size(); ++c) {
        // The closest key of the flight to each obstacle it comes too near.
        std::map<std::string, std::pair<float, size_t>> tooNear;
        for (size_t k = 0; k < flights[c].positions.size(); ++k)
            for (const Obstacle& o : obstacles) {
                const float d = o.distance(flights[c].positions[k], kClearance);
                if (d < kClearance && (!tooNear.count(o.name) || d < tooNear[o.name].first)) tooNear[o.name] = {d, k};
            }
        for (const auto& [name, nearest] : tooNear) ADD_FAILURE() << "flight " << c << " key " << nearest.second << " is " << nearest.first << " from " << name;
    }
}

TEST(Room, TheLandscapeLiesFarOutsideYetWithinTheCamerasFarPlane) {
    // The projection ends 3000 cm from the eye: anything beyond would be cut away mid-sky.
    constexpr float kFarPlane = 3000.0f;
    const ObjectDef* panorama = nullptr;
    const std::vector<ObjectDef> windows = windowObjects();
    for (const ObjectDef& o : windows)
        if (o.name == "panorama") panorama = &o;
    ASSERT_NE(panorama, nullptr);
    EXPECT_EQ(panorama->lightmapSize, 0);  // its pictures carry the moonlit night
    float nearest = 1e9f, farthest = 0;
    for (const SceneCamera& c : roomCameras())
        for (Float3 eye : c.positions)
            for (const Part& part : panorama->parts) {
                // The snow field runs from the house wall outwards; everything standing on it is far off.
                const bool ground = panorama->materials.at(static_cast<size_t>(part.material)).baseTexture == "room_snowfield.tga";
                for (Float3 p : part.shape.positions) {
                    const float d = length(p - eye);
                    farthest = std::max(farthest, d);
                    if (!ground) nearest = std::min(nearest, d);
                }
            }
    EXPECT_LT(farthest, kFarPlane - 10.0f);
    EXPECT_GT(nearest, 1000.0f);
}

}  // namespace
}  // namespace hg::bake::room
