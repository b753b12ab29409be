// The room's models against what the program relies on: names, the Hull root, the train's and
// the clock's moving parts, the tree's lights, the flame markers, budgets, textures and repeatable
// output.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "bake/model_parts.h"
#include "bake/models.h"
#include "scene/bsm_reader.h"

namespace hg::bake {
namespace {

const std::vector<NamedModel>& models() {
    static const std::vector<NamedModel> all = allModels();
    return all;
}

const Model& model(const std::string& name) {
    for (const NamedModel& m : models())
        if (m.name == name) return m.model;
    throw std::runtime_error("no model " + name);
}

std::array<Float3, 2> boundsOf(const Model& m) {
    Float3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const ModelObject& o : m.objects) {
        const auto b = o.shape.bounds();
        lo = {std::min(lo.x, b[0].x), std::min(lo.y, b[0].y), std::min(lo.z, b[0].z)};
        hi = {std::max(hi.x, b[1].x), std::max(hi.y, b[1].y), std::max(hi.z, b[1].z)};
    }
    return {lo, hi};
}

bool near(Float3 a, Float3 b, float tolerance = 1e-4f) { return length(a - b) <= tolerance; }

TEST(Models, EveryModelLoadsWithAHullRootAndReachableParts) {
    std::set<std::string> names;
    size_t total = 0;
    for (const NamedModel& m : models()) {
        SCOPED_TRACE(m.name);
        names.insert(m.name);
        const std::optional<BsmModel> read = readBsm(encodeBsm(m.model));
        ASSERT_TRUE(read);
        ASSERT_FALSE(read->mesh.objects.empty());
        // Hull is the first object and the root; every other object's parent chain reaches it.
        EXPECT_EQ(read->mesh.objects[0].name, "Hull");
        EXPECT_FALSE(read->mesh.objects[0].hasParent);
        std::set<std::string> seen;
        for (const ModelObject& o : m.model.objects) {
            EXPECT_TRUE(seen.insert(o.name).second) << o.name << " twice";
            std::string at = o.name;
            for (int depth = 0; at != "Hull" && depth < 5; ++depth) at = m.model.find(at) ? m.model.find(at)->parentName : "";
            EXPECT_EQ(at, "Hull") << o.name << " is not drawn from Hull";
            for (const auto& corner : o.shape.normals)
                for (Float3 n : corner) ASSERT_NEAR(length(n), 1.0f, 1e-3f) << o.name;
            EXPECT_TRUE(modelTextures().count(o.material.baseTexture)) << o.material.baseTexture;
            for (const auto& extra : {o.material.reflectionTexture, o.material.illuminationTexture})
                if (extra) {
                    EXPECT_TRUE(modelTextures().count(*extra)) << *extra;
                }
        }
        for (const Marker& mk : m.model.markers) EXPECT_TRUE(m.model.find(mk.parentName)) << mk.name;
        EXPECT_LE(m.model.triangleCount(), 25000u);
        total += m.model.triangleCount();
    }
    EXPECT_EQ(names, (std::set<std::string>{"candle", "tallcandle", "Clock", "railroad", "firtree", "stocking", "teddy"}));
    // One of each leaves most of the scene's 120,000 triangles to the room and repeated props.
    EXPECT_LE(total, 55000u);
}

TEST(Models, TexturesArePowersOfTwoInTheAllowedSizes) {
    for (const auto& [name, canvas] : modelTextures()) {
        SCOPED_TRACE(name);
        for (int side : {canvas.width(), canvas.height()}) {
            EXPECT_GE(side, 256);
            EXPECT_LE(side, 1024);
            EXPECT_EQ(side & (side - 1), 0);
        }
    }
}

TEST(Models, RailroadTrainTurnsAboutTheTrackCentreWithSteamOnNodeThree) {
    const Model& rr = model("railroad");
    ASSERT_GE(rr.objects.size(), 4u);
    EXPECT_EQ(rr.objects[3].name, "wagon01");
    for (const char* name : {"loco", "wagon01", "wagon02"}) {
        const ModelObject* o = rr.find(name);
        ASSERT_TRUE(o) << name;
        EXPECT_EQ(o->parentName, "Hull");
        EXPECT_TRUE(near(o->pivot, {0, 0, 0})) << name;
    }
    const ModelObject* teddy = rr.find("teddy");
    ASSERT_TRUE(teddy);
    EXPECT_TRUE(teddy->parentName == "wagon01" || teddy->parentName == "wagon02");
    // The track circles the tree: every rail and sleeper 70 to 90 from the centre.
    for (Float3 p : rr.objects[0].shape.positions) {
        const float r = std::hypot(p.x, p.y);
        ASSERT_GT(r, 70.0f);
        ASSERT_LT(r, 90.0f);
    }
    // Node 3 carries exactly one marker, the steam, and it sits on top of the locomotive's chimney.
    std::vector<Marker> onWagon;
    for (const Marker& m : rr.markers)
        if (m.parentName == "wagon01") onWagon.push_back(m);
    ASSERT_EQ(onWagon.size(), 1u);
    EXPECT_EQ(onWagon[0].name, "emit locosteam");
    const Shape& loco = rr.find("loco")->shape;
    Float3 top = loco.positions[0];
    for (Float3 p : loco.positions)
        if (p.z > top.z) top = p;
    EXPECT_NEAR(onWagon[0].position.z, top.z, 0.05f);
    EXPECT_LT(std::hypot(onWagon[0].position.x - top.x, onWagon[0].position.y - top.y), 1.6f);  // within the funnel's mouth
    EXPECT_TRUE(near(onWagon[0].position, railroadChimneyTop()));
}

TEST(Models, ClockHandsPivotAtTheDialCentreAndTurnClockwiseSeenFromTheFront) {
    const Model& clock = model("Clock");
    const ModelObject* dial = clock.find("Dial");
    ASSERT_TRUE(dial);
    const auto db = dial->shape.bounds();
    const Float3 centre = (db[0] + db[1]) * 0.5f;
    // The dial faces +y: its front is the face with the largest y, normals along +y.
    size_t frontFaces = 0;
    for (size_t f = 0; f < dial->shape.faces.size(); ++f) {
        if (dial->shape.faceNormal(f).y < 0.99f) continue;
        ++frontFaces;
        for (int k = 0; k < 3; ++k) {
            // The picture's right (u > 0.5) is -x, the right as seen from the front (from +y).
            const Float3 p = dial->shape.positions[dial->shape.faces[f][size_t(k)]];
            const Float2 uv = dial->shape.uvs[f][size_t(k)];
            if (std::abs(p.x - centre.x) > 1.0f) {
                EXPECT_EQ(uv.u > 0.5f, p.x < centre.x);
            }
            if (std::abs(p.z - centre.z) > 1.0f) {
                EXPECT_EQ(uv.v > 0.5f, p.z > centre.z);
            }
        }
    }
    EXPECT_GT(frontFaces, 10u);
    for (const char* name : {"Arrow01", "Arrow02", "Arrow03"}) {
        SCOPED_TRACE(name);
        const ModelObject* hand = clock.find(name);
        ASSERT_TRUE(hand);
        EXPECT_EQ(hand->parentName, "Hull");
        EXPECT_NEAR(hand->pivot.x, centre.x, 1e-3f);
        EXPECT_NEAR(hand->pivot.z, centre.z, 1e-3f);
        // At rest the hand points at twelve: its far tip straight above the pivot, in front of the dial.
        Float3 tip = hand->pivot;
        for (Float3 p : hand->shape.positions)
            if (length(p - hand->pivot) > length(tip - hand->pivot)) tip = p;
        EXPECT_GT(tip.z - hand->pivot.z, 4.0f);
        EXPECT_NEAR(tip.x, hand->pivot.x, 0.01f);
        EXPECT_GT(hand->shape.bounds()[0].y, db[1].y - 1e-3f);
        // Turning by a negative angle about +y (the minute hand at quarter past: -90°) takes the tip
        // to -x, which is the right as seen from the front.
        const Float3 turned = Transform::rotateY(-std::numbers::pi_v<float> / 2).vector(tip - hand->pivot);
        EXPECT_LT(turned.x, -4.0f);
    }
    const auto b = boundsOf(clock);
    EXPECT_GT(b[1].z - b[0].z, 24.0f);
    EXPECT_LT(b[1].z - b[0].z, 34.0f);
    EXPECT_NEAR(b[0].z, 0.0f, 0.05f);
}

TEST(Models, TreeCarriesItsLightsOnOneNodeOnItsSurface) {
    const Model& tree = model("firtree");
    std::map<std::string, int> perNode;
    for (const Marker& m : tree.markers) {
        ++perNode[m.parentName];
        EXPECT_EQ(m.kind, 2);
        EXPECT_TRUE(m.name == "emit red_firlight" || m.name == "emit green_firlight" || m.name == "emit blue_firlight" ||
                    m.name == "emit yellow_firlight")
            << m.name;
    }
    ASSERT_EQ(perNode.size(), 1u);
    EXPECT_GT(perNode.begin()->second, 20);
    // Each light sits within a few units of the needles.
    const Shape& needles = tree.find("Hull")->shape;
    for (const Marker& m : tree.markers) {
        float nearest = 1e9f;
        for (Float3 p : needles.positions) nearest = std::min(nearest, length(p - m.position));
        EXPECT_LT(nearest, 6.0f) << m.position.z;
    }
    const auto b = boundsOf(tree);
    EXPECT_GT(b[1].z, 180.0f);
    EXPECT_LT(b[1].z, 220.0f);
    EXPECT_NEAR(b[0].z, 0.0f, 0.05f);
    // It fits inside the railroad's sleepers (80 - 5.5 from the centre).
    for (const ModelObject& o : tree.objects)
        for (Float3 p : o.shape.positions) ASSERT_LT(std::hypot(p.x, p.y), 74.0f) << o.name;
}

TEST(Models, CandlesHaveTheirFlameAtTheWickTip) {
    for (const char* name : {"candle", "tallcandle"}) {
        SCOPED_TRACE(name);
        const Model& m = model(name);
        ASSERT_EQ(m.markers.size(), 1u);
        EXPECT_EQ(m.markers[0].name, "emit candle");
        EXPECT_EQ(m.markers[0].parentName, "Hull");
        const auto b = boundsOf(m);
        EXPECT_GT(m.markers[0].position.z, b[1].z - 0.01f);
        EXPECT_LT(m.markers[0].position.z, b[1].z + 0.5f);
        EXPECT_NEAR(b[0].z, 0.0f, 0.05f);
    }
}

TEST(Models, BuildingTwiceGivesIdenticalFiles) {
    const std::vector<NamedModel> again = allModels();
    ASSERT_EQ(again.size(), models().size());
    for (size_t i = 0; i < again.size(); ++i) EXPECT_EQ(encodeBsm(again[i].model), encodeBsm(models()[i].model)) << again[i].name;
}

}  // namespace
}  // namespace hg::bake
