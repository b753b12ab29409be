#include "scene/scene_loader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scene/animated_mesh.h"
#include "scene/marker_kind.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"
#include "scene/scene.h"
#include "scene/vertex_pool.h"

namespace hg {
namespace {

// A small scene-file encoder, enough to exercise the loader's rules.
class SceneBytes {
public:
    void i32(int32_t v) { raw(&v, 4); }
    void f32(float v) { raw(&v, 4); }
    void byte(uint8_t v) { bytes.push_back(v); }
    void str(const std::string& s) {
        i32(static_cast<int32_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    void vec(float x, float y, float z) {
        f32(x);
        f32(y);
        f32(z);
    }
    std::vector<uint8_t> bytes;

private:
    void raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
};

struct MaterialSpec {
    std::string base = "None";
    bool twoSided = false;
    std::string reflection;
    std::string illumination;
    int32_t firstCorner = 0;
    int32_t cornerCount = 0;
    int32_t materialIndex = 0;
};

// An object of `faces` triangles spread over a box from (x, 0, 0) to (x + 10, 10, 10), or over
// the three `points` given.
void writeObject(SceneBytes& out, const std::string& name, const std::string& parent, const std::vector<MaterialSpec>& materials,
                 int faces, float x = 0.0f, const std::string& lightmap = "", const std::vector<Vec3>& points = {}) {
    out.str(name);
    out.str(parent);
    out.i32(static_cast<int32_t>(materials.size()));
    for (const MaterialSpec& m : materials) {
        out.str(m.base);
        out.byte(m.twoSided ? 1 : 0);
        out.byte(m.reflection.empty() ? 0 : 1);
        if (!m.reflection.empty()) out.str(m.reflection);
        out.byte(m.illumination.empty() ? 0 : 1);
        if (!m.illumination.empty()) out.str(m.illumination);
        out.i32(m.firstCorner);
        out.i32(m.cornerCount);
        out.i32(m.materialIndex);
    }
    const int v = 3;
    out.i32(v);
    out.i32(faces);
    out.i32(1);  // texture vertices
    out.i32(1);  // lightmap vertices
    out.i32(faces);
    out.byte(lightmap.empty() ? 0 : 1);
    if (!lightmap.empty()) out.str(lightmap);
    if (points.size() == 3) {
        for (const Vec3& p : points) out.vec(p.x, p.y, p.z);
    } else {
        out.vec(x, 0, 0);
        out.vec(x + 10, 10, 0);
        out.vec(x, 10, 10);
    }
    for (int f = 0; f < faces; ++f) out.vec(0, 1, 2);
    out.vec(0.25f, 0.75f, 0);
    out.vec(0.5f, 0.5f, 0);
    for (int f = 0; f < faces; ++f) out.vec(0, 0, 0);
    for (int f = 0; f < faces; ++f) out.vec(0, 0, 0);
    for (int f = 0; f < faces * 3; ++f) out.vec(0, 0, 1);
}

void writeMarker(SceneBytes& out, const std::string& name, const std::string& parent, int32_t kind, int keys = 1) {
    out.str(name);
    out.str(parent);
    out.i32(kind);
    out.i32(0);
    out.i32(keys);
    for (int k = 0; k < keys; ++k) out.vec(static_cast<float>(k), 2, 3);
    for (int k = 0; k < keys; ++k) {
        out.f32(0);
        out.f32(0);
        out.f32(0);
        out.f32(1);
    }
}

struct Loaded {
    VertexPool pool;
    ModelLibrary models{pool, ModelSources{[](const std::string&) { return std::optional<std::vector<uint8_t>>(); },
                                           [](const std::string&) { return GLuint{7}; }, [](const std::string&) {}}};
    PoolBinding binding{pool};
    Scene scene;
    std::vector<std::string> textures;
    std::vector<std::string> messages;
    std::vector<std::string> animatedNames;

    void load(const std::vector<uint8_t>& bytes) {
        SceneServices services{
            [this](const std::string& path) {
                textures.push_back(path);
                return static_cast<GLuint>(textures.size());
            },
            pool,
            models,
            [this](const std::string& name) {
                animatedNames.push_back(name);
                return std::make_unique<AnimatedMesh>();
            },
            binding,
            [this](const std::string& text) { messages.push_back(text); },
            false,
            false};
        assembleScene(scene, readSceneFile(bytes), services);
    }
    SceneNode* node(const std::string& name) {
        for (auto& n : scene.nodes)
            if (n->name == name) return n.get();
        return nullptr;
    }
};

void endSections(SceneBytes& out, int portals = 0, int cameras = 0) {
    out.i32(portals);
    out.i32(cameras);
}

TEST(SceneLoader, MaterialFlagsCarryOverAndIndicesPastTheCount) {
    SceneBytes out;
    out.i32(2);
    // The first object leaves flags in entries 0 and 1 (entry 1 two-sided).
    writeObject(out, "room", "Scene Root",
                {{"wall.tga", false, "", "", 0, 3, 0}, {"trim.tga", true, "", "", 3, 3, 1}}, 2);
    // The second: index 1 (equal to its count) uses table entry 1, whose name was emptied but whose
    // two-sided flag is left over; index 6 (greater than the count) falls back to entry 0.
    writeObject(out, "couch", "room",
                {{"couch.tga", false, "", "", 0, 3, 6}}, 2, 20.0f);
    // Rewrite the couch's single material to index 1 in a third scene below.
    endSections(out);
    out.i32(0);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    ASSERT_EQ(loaded.scene.nodes.size(), 2u);
    SceneNode* couch = loaded.node("couch");
    ASSERT_NE(couch, nullptr);
    ASSERT_EQ(couch->groups.size(), 1u);
    EXPECT_EQ(couch->groups[0].materialIndex, 0);
    EXPECT_NE(couch->groups[0].baseTexture, 0u);

    SceneBytes second;
    second.i32(2);
    writeObject(second, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 3, 0}, {"trim.tga", true, "", "", 3, 3, 1}}, 2);
    writeObject(second, "couch", "room", {{"couch.tga", false, "", "", 0, 3, 1}}, 2, 20.0f);
    endSections(second);
    second.i32(0);
    second.i32(0);
    Loaded again;
    again.load(second.bytes);
    SceneNode* couch2 = again.node("couch");
    ASSERT_NE(couch2, nullptr);
    EXPECT_EQ(couch2->groups[0].materialIndex, 1);
    EXPECT_EQ(couch2->groups[0].baseTexture, 0u) << "the name table was emptied for the new object";
    EXPECT_FALSE(couch2->groups[0].twoSided) << "no base texture: two-sided stays off";
}

TEST(SceneFile, ReadingAloneGivesThePlainRecordsAndWhatWasCompleteBeforeTheDamage) {
    SceneBytes out;
    out.i32(2);
    writeObject(out, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 3, 0}, {"trim.tga", true, "shine.tga", "", 3, 3, 1}}, 2);
    writeObject(out, "couch", "room", {{"couch.tga", false, "", "", 0, 3, 1}}, 2, 20.0f, "couch_lm.tga");
    endSections(out);
    out.i32(1);
    writeMarker(out, "instance candle", "room", kInstanceMarker);
    out.i32(0);

    // No services: reading loads no texture and builds no model.
    const SceneFile file = readSceneFile(out.bytes);
    ASSERT_EQ(file.objects.size(), 2u);
    const SceneFileGroup& trim = file.objects[0].groups[1];
    EXPECT_EQ(trim.material.baseTexture, "trim.tga");
    EXPECT_EQ(trim.material.reflectionTexture, "shine.tga");
    EXPECT_TRUE(trim.material.twoSided);
    EXPECT_EQ(trim.firstCorner, 3u);
    // The couch names entry 1: its own (emptied) names, the flag the room left there.
    const SceneFileGroup& couch = file.objects[1].groups[0];
    EXPECT_EQ(couch.material.baseTexture, "");
    EXPECT_TRUE(couch.material.twoSided);
    EXPECT_EQ(file.objects[1].lightmap, "couch_lm.tga");
    EXPECT_EQ(file.objects[1].corners.size(), 6u);
    EXPECT_FLOAT_EQ(file.objects[1].low.x, 20.0f);
    ASSERT_EQ(file.markers.size(), 1u);
    EXPECT_EQ(file.markers[0].kind, kInstanceMarker);
    EXPECT_TRUE(file.warnings.empty());

    // Cut inside the couch: the room alone, and nothing of the later sections.
    const std::vector<uint8_t> cut(out.bytes.begin(), out.bytes.begin() + static_cast<long>(out.bytes.size() / 2 + 40));
    const SceneFile damaged = readSceneFile(cut);
    ASSERT_EQ(damaged.objects.size(), 1u);
    EXPECT_EQ(damaged.objects[0].name, "room");
    EXPECT_TRUE(damaged.markers.empty());
}

TEST(SceneLoader, FirstVertexCountsThePoolBeforeTheObjectAndVismeshIsNotANode) {
    SceneBytes out;
    out.i32(3);
    writeObject(out, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 12, 0}}, 4);
    writeObject(out, "vismesh", "room", {{"None", false, "", "", 0, 3, 0}}, 1);
    writeObject(out, "armchair01", "room", {{"chair.tga", false, "", "", 0, 6, 0}, {"leg.tga", false, "", "", 6, 3, 1}}, 3, 30.0f);
    endSections(out);
    out.i32(0);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    EXPECT_EQ(loaded.scene.nodes.size(), 2u);
    ASSERT_TRUE(loaded.scene.visibilityNode);
    EXPECT_EQ(loaded.scene.visibilityNode->name, "vismesh");
    SceneNode* chair = loaded.node("armchair01");
    ASSERT_NE(chair, nullptr);
    ASSERT_EQ(chair->groups.size(), 2u);
    EXPECT_EQ(chair->groups[0].firstVertex, 12u + 3u);
    EXPECT_EQ(chair->groups[1].firstVertex, 12u + 3u + 6u);
    EXPECT_EQ(loaded.pool.size(), 12u + 3u + 9u);
    // Absolute room coordinates: the chair's second corner is at x = 30 + 10.
    EXPECT_FLOAT_EQ(loaded.pool[chair->groups[0].firstVertex + 1].position[0], 40.0f);
    EXPECT_FLOAT_EQ(loaded.pool[chair->groups[0].firstVertex].uv[0], 0.25f);
    EXPECT_TRUE(loaded.node("room")->isZone);
    EXPECT_FALSE(chair->isZone);
    // Every face here repeats the same three corners: a group draws them from its first face's
    // vertices, and a group of one face, with nothing to share, draws its run as it stands.
    const uint32_t first = chair->groups[0].firstVertex;
    EXPECT_EQ(chair->groups[0].indices, (std::vector<uint32_t>{first, first + 1, first + 2, first, first + 1, first + 2}));
    EXPECT_TRUE(chair->groups[1].indices.empty());
    EXPECT_EQ(loaded.node("room")->groups[0].indices.size(), 12u);
}

TEST(SceneLoader, DamagedRunsAndCountsAreNeverFollowed) {
    SceneBytes out;
    out.i32(1);
    // A run past the object's corners is clipped, one before them dropped.
    writeObject(out, "room", "Scene Root",
                {{"a.tga", false, "", "", 3, 999, 0}, {"b.tga", false, "", "", -5, 3, 0}, {"c.tga", false, "", "", 600, 3, 0}}, 2);
    endSections(out);
    out.i32(0);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    SceneNode* room = loaded.node("room");
    ASSERT_NE(room, nullptr);
    ASSERT_EQ(room->groups.size(), 1u);
    EXPECT_EQ(room->groups[0].vertexCount, 3u);

    // Every truncation of a valid file loads what was complete and never crashes.
    SceneBytes full;
    full.i32(1);
    writeObject(full, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 6, 0}}, 2);
    endSections(full);
    full.i32(1);
    writeMarker(full, "emit fire", "room", 2);
    full.i32(0);
    for (size_t cut = 0; cut < full.bytes.size(); ++cut) {
        Loaded partial;
        partial.load(std::vector<uint8_t>(full.bytes.begin(), full.bytes.begin() + static_cast<long>(cut)));
        EXPECT_LE(partial.scene.nodes.size(), 1u);
    }
    // A count far beyond the file allocates nothing.
    SceneBytes lying;
    lying.i32(1);
    lying.str("room");
    lying.str("Scene Root");
    lying.i32(0);
    for (int i = 0; i < 5; ++i) lying.i32(0x7fffffff);
    Loaded refused;
    refused.load(lying.bytes);
    EXPECT_TRUE(refused.scene.nodes.empty());
}

TEST(SceneLoader, MarkerNamesPlaceModelsAndTheFire) {
    SceneBytes out;
    out.i32(1);
    writeObject(out, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 3, 0}}, 1);
    endSections(out);
    out.i32(5);
    writeMarker(out, "instance tallcandle", "room", 3);
    writeMarker(out, "instance candle left", "room", 3);
    writeMarker(out, "animmodel fireplace_fire", "room", 4);
    writeMarker(out, "emit fire", "room", 2);
    writeMarker(out, "instance train", "room", 3, 3);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    EXPECT_EQ(modelNameOfMarker("instance candle left"), "candle");
    EXPECT_EQ(modelNameOfMarker("instance a b c"), "a b");
    ASSERT_EQ(loaded.models.count(), 3);
    EXPECT_EQ(loaded.models.model(0).name, "tallcandle");
    EXPECT_EQ(loaded.models.model(1).name, "candle");
    EXPECT_EQ(loaded.animatedNames, std::vector<std::string>{"fireplace_fire"});
    // Node order: file objects, then instances, then animated meshes.
    ASSERT_EQ(loaded.scene.nodes.size(), 5u);
    EXPECT_EQ(loaded.scene.nodes[1]->name, "instance tallcandle");
    EXPECT_TRUE(loaded.scene.nodes[1]->isInstance);
    EXPECT_FLOAT_EQ(loaded.scene.nodes[1]->diagonal, 1000.0f);
    EXPECT_TRUE(loaded.scene.nodes[3]->pathAnimated);
    EXPECT_TRUE(loaded.scene.nodes[4]->isAnimatedMesh);
    // The emitter stays a marker whose activation the room zone drives.
    ASSERT_EQ(loaded.scene.markers.size(), 1u);
    EXPECT_EQ(loaded.scene.markers[0]->shortName, "fire");
    SceneNode* room = loaded.node("room");
    EXPECT_NE(std::find(room->flagList.begin(), room->flagList.end(), &loaded.scene.markers[0]->active), room->flagList.end());
}

TEST(SceneLoader, LightBindsOncePerListedNameAndByBox) {
    SceneBytes out;
    out.i32(2);
    writeObject(out, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 3, 0}}, 1);
    writeObject(out, "table", "room", {{"wood.tga", false, "", "", 0, 3, 0}}, 1, 500.0f);
    endSections(out);
    out.i32(7);
    for (int i = 0; i < 7; ++i) writeMarker(out, "instance candle", "room", 3);
    out.i32(1);
    out.vec(5, 5, 5);  // inside the room's box
    out.vec(1, 0.8f, 0.6f);
    out.f32(10);   // reach
    out.f32(0);    // unused
    out.f32(0.5f); // intensity
    out.f32(100);  // range
    out.i32(7);
    for (int i = 0; i < 7; ++i) out.str("instance candle");
    Loaded loaded;
    loaded.load(out.bytes);
    ASSERT_EQ(loaded.scene.lights.size(), 1u);
    int candles = 0;
    for (auto& node : loaded.scene.nodes) {
        if (node->name != "instance candle") continue;
        ++candles;
        EXPECT_EQ(node->lights.size(), 7u);
    }
    EXPECT_EQ(candles, 7);
    EXPECT_EQ(loaded.node("room")->lights.size(), 1u);
    EXPECT_TRUE(loaded.node("table")->lights.empty()) << "the table's box is far from the light";
    const SceneLight& light = *loaded.scene.lights[0];
    EXPECT_FLOAT_EQ(light.ambient[0], 0.8f);
    EXPECT_FLOAT_EQ(light.diffuse[1], 0.4f);
    EXPECT_FLOAT_EQ(light.position[3], 1.0f);
}

TEST(SceneLoader, GlassAndAdditiveNodesAreDrawnLast) {
    SceneBytes out;
    out.i32(4);
    writeObject(out, "glass", "room", {{"pane.tga", false, "", "", 0, 3, 0}}, 1);
    writeObject(out, "fireglow", "room", {{"add_glow.tga", false, "", "", 0, 3, 0}}, 1);
    writeObject(out, "room", "Scene Root", {{"wall.tga", false, "", "", 0, 3, 0}}, 1);
    writeObject(out, "couch", "room", {{"couch.tga", false, "", "", 0, 3, 0}}, 1);
    endSections(out);
    out.i32(0);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    std::vector<std::string> order;
    for (auto& node : loaded.scene.nodes) order.push_back(node->name);
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order.back(), "fireglow");
    EXPECT_EQ(order[2], "glass");
    EXPECT_TRUE(loaded.node("glass")->translucent);
    EXPECT_TRUE(loaded.node("fireglow")->groups[0].additive);
}

TEST(SceneLoader, TheZoneAndWhatRunsAlongItsWallsFloorOrCeilingEncloseIt) {
    SceneBytes out;
    out.i32(7);
    const std::vector<MaterialSpec> wall = {{"wall.tga", false, "", "", 0, 3, 0}};
    // The zone's walls: 700 x 550 x 300.
    writeObject(out, "room", "Scene Root", wall, 1, 0, "", {{0, 0, 0}, {700, 550, 0}, {0, 550, 300}});
    writeObject(out, "floor", "room", wall, 1, 0, "", {{0, 0, 0}, {700, 550, 0}, {0, 550, 0}});
    // A band round the walls stopping a little short of the corners still runs along them.
    writeObject(out, "wainscot", "room", wall, 1, 0, "", {{5, 0, 0}, {700, 545, 90}, {0, 550, 10}});
    // Shelves the length of one wall and floor to ceiling line it.
    writeObject(out, "shelves", "room", wall, 1, 0, "", {{0, 520, 0}, {700, 550, 300}, {10, 530, 20}});
    writeObject(out, "couch", "room", wall, 1, 0, "", {{100, 100, 0}, {300, 180, 90}, {150, 120, 40}});
    // Wide but short of the ceiling, and standing off the side walls: one axis spanned only.
    writeObject(out, "bookcase", "room", wall, 1, 0, "", {{0, 520, 0}, {700, 550, 250}, {10, 530, 20}});
    writeObject(out, "rug", "room", wall, 1, 0, "", {{100, 100, 0}, {600, 450, 1}, {200, 200, 1}});
    endSections(out);
    out.i32(0);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    for (const char* name : {"room", "floor", "wainscot", "shelves"}) {
        ASSERT_NE(loaded.node(name), nullptr) << name;
        EXPECT_TRUE(loaded.node(name)->enclosing) << name;
    }
    for (const char* name : {"couch", "bookcase", "rug"}) {
        ASSERT_NE(loaded.node(name), nullptr) << name;
        EXPECT_FALSE(loaded.node(name)->enclosing) << name;
    }
}

TEST(SceneLoader, AZoneWithoutCornersLeavesItsObjectsUnclassified) {
    SceneBytes out;
    out.i32(2);
    writeObject(out, "room", "Scene Root", {}, 0);
    writeObject(out, "floor", "room", {{"wall.tga", false, "", "", 0, 3, 0}}, 1, 0, "", {{0, 0, 0}, {700, 550, 0}, {0, 550, 0}});
    endSections(out);
    out.i32(0);
    out.i32(0);
    Loaded loaded;
    loaded.load(out.bytes);
    ASSERT_NE(loaded.node("floor"), nullptr);
    EXPECT_FALSE(loaded.node("floor")->enclosing);
    EXPECT_TRUE(loaded.node("room")->enclosing);
}

TEST(SceneLoader, TooManyMaterialsOrLightNamesAreReportedAndKeptInTheTables) {
    SceneBytes out;
    out.i32(1);
    std::vector<MaterialSpec> many(330, MaterialSpec{"wall.tga", false, "", "", 0, 0, 0});
    many.back() = {"wall.tga", false, "", "", 0, 3, 325};
    writeObject(out, "room", "Scene Root", many, 1);
    endSections(out);
    out.i32(0);
    out.i32(1);
    out.vec(5, 5, 5);
    out.vec(1, 1, 1);
    out.f32(1);
    out.f32(0);
    out.f32(1);
    out.f32(1);
    out.i32(45);
    for (int i = 0; i < 45; ++i) out.str("room");
    Loaded loaded;
    loaded.load(out.bytes);
    EXPECT_EQ(loaded.messages, (std::vector<std::string>{"adas", "adas"}));
    SceneNode* room = loaded.node("room");
    ASSERT_NE(room, nullptr);
    ASSERT_EQ(room->groups.size(), 1u);
    EXPECT_EQ(room->groups[0].materialIndex, 0) << "an index past the table falls back to entry 0";
    EXPECT_EQ(loaded.scene.lights[0]->names.size(), 40u);
}

}  // namespace
}  // namespace hg
