#include "scene/model_instance.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scene/particle_sink.h"
#include "scene/bsm_reader.h"
#include "scene/bsm_test_writer.h"

namespace hg {
namespace {

using test::BsmTestMarker;
using test::BsmTestObject;
using test::stripObject;

class RecordingSink : public ParticleSink {
public:
    void emitAtMarker(const MeshMarker& marker) override {
        names.push_back(marker.name);
        positions.push_back(marker.worldPosition);
    }
    std::vector<std::string> names;
    std::vector<Vec3> positions;
};

Mesh meshOf(const std::vector<BsmTestObject>& objects, const std::vector<BsmTestMarker>& markers = {}) {
    auto model = readBsm(test::writeBsm(objects, markers));
    EXPECT_TRUE(model);
    return model ? model->mesh : Mesh{};
}

void expectNear(const Vec3& a, const Vec3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(ModelInstance, ZeroAnglesLeaveEveryNodeAtItsPivot) {
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "Scene Root", 2, {0, 0, 0}, {1, 2, 3}),
                           stripObject("loco", "Hull", 2, {0, 0, 0}, {10, 0, 0}),
                           stripObject("teddy", "loco", 2, {0, 0, 0}, {10, 5, 1})}));
    RecordingSink sink;
    instance.update(1.0f, sink);
    for (const ModelNode& node : instance.nodes) {
        EXPECT_FLOAT_EQ(node.localRotation.x, 0);
        EXPECT_FLOAT_EQ(node.localRotation.z, 0);
        EXPECT_FLOAT_EQ(node.localRotation.w, 1);
        expectNear(node.worldPosition, node.pivot);
    }
}

TEST(ModelInstance, HalfTurnAboutZUsesPiAsThreePointOneFour) {
    EXPECT_FLOAT_EQ(nodeHalfAngle(180.0f), 1.57f);
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "Scene Root", 2), stripObject("loco", "Hull", 2, {0, 0, 0}, {10, 0, 0})}));
    instance.setAngleZ("Hull", 180.0f);
    instance.setAngleY("nobody", 50.0f);  // unknown names change nothing
    RecordingSink sink;
    instance.update(1.0f, sink);
    const Quaternion q = instance.nodes[0].localRotation;
    EXPECT_FLOAT_EQ(q.x, 0);
    EXPECT_FLOAT_EQ(q.y, 0);
    EXPECT_FLOAT_EQ(q.z, std::sin(1.57f));
    EXPECT_FLOAT_EQ(q.w, std::cos(1.57f));
    EXPECT_GT(q.w, 0.0007f);  // not exactly a half turn
    // The child's pivot turns about the hull's: (10, 0, 0) goes to about (-10, 0, 0).
    expectNear(instance.nodes[1].worldPosition, {-10, 0.0159f, 0}, 1e-3f);
    // The forward matrix holds the conjugate rotation, the inverse matrix the rotation itself.
    EXPECT_NEAR(instance.nodes[0].forwardMatrix.at(0, 1), 2 * q.z * q.w, 1e-6f);
    EXPECT_NEAR(instance.nodes[0].inverseMatrix.at(0, 1), -2 * q.z * q.w, 1e-6f);
    EXPECT_FLOAT_EQ(instance.nodes[0].forwardMatrix.at(0, 3), 0);
    EXPECT_FLOAT_EQ(instance.nodes[0].forwardMatrix.at(3, 3), 1);
}

TEST(ModelInstance, ChildrenLinkInNodeOrderNeverToThemselves) {
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "Scene Root", 2), stripObject("b", "c", 2), stripObject("c", "Hull", 2),
                           stripObject("self", "self", 2), stripObject("d", "Hull", 2), stripObject("lost", "nobody", 2),
                           stripObject("Scene Root", "Scene Root", 2), stripObject("orphan", "Scene Root", 2)}));
    EXPECT_EQ(instance.nodes[0].children, (std::vector<int>{2, 4}));
    EXPECT_EQ(instance.nodes[2].children, (std::vector<int>{1}));
    EXPECT_TRUE(instance.nodes[3].children.empty());
    // A node whose parent is "Scene Root" is nobody's child, even of a node of that name.
    EXPECT_TRUE(instance.nodes[6].children.empty());
    instance.setAngleZ("lost", 90);
    instance.setAngleZ("c", 90);
    RecordingSink sink;
    instance.update(1.0f, sink);
    EXPECT_FLOAT_EQ(instance.nodes[5].localRotation.w, 1);  // never reached: never updated
    EXPECT_LT(instance.nodes[2].localRotation.w, 0.71f);
}

TEST(ModelInstance, LoopingParentNamesAreVisitedOnce) {
    // "Hull" and "loco" name each other as parents, and two nodes share a name.
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "loco", 2), stripObject("loco", "Hull", 2), stripObject("twin", "Hull", 2),
                           stripObject("twin", "twin", 2)}));
    RecordingSink sink;
    instance.update(1.0f, sink);  // must come back
    int links = 0;
    for (const ModelNode& node : instance.nodes) links += static_cast<int>(node.children.size());
    EXPECT_EQ(links, 3);  // every node but the root reached exactly once
}

TEST(ModelInstance, MarkersSitRelativeToTheirNodeAndFollowTheInstance) {
    BsmTestMarker flame;
    flame.name = "emit candle";
    flame.parentName = "wick";
    flame.position = {5, 0, 2};
    BsmTestMarker steam;
    steam.name = "emit locosteam";
    steam.parentName = "wick";
    steam.position = {1, 1, 1};
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "Scene Root", 2), stripObject("wick", "Hull", 2, {0, 0, 0}, {2, 0, 0})},
                          {flame, steam}));
    ASSERT_EQ(instance.nodes[1].markers.size(), 2u);
    expectNear(instance.nodes[1].markers[0].position, {3, 0, 2});

    // A quarter turn about z for the instance: the offset turns by the inverse rotation.
    const float h = 0.78539816f;
    instance.rotation = {0, 0, std::sin(h), std::cos(h)};
    instance.position = {100, 200, 300};
    instance.nodes[1].markers[1].worldPosition = {7, 7, 7};
    RecordingSink sink;
    instance.update(1.0f, sink);
    expectNear(instance.nodes[1].markers[0].worldPosition, {100 + 2 + 0, 200 - 3, 300 + 2});
    expectNear(instance.nodes[1].markers[1].worldPosition, {7, 7, 7});  // placed by the train animation
    ASSERT_EQ(sink.names.size(), 2u);
    expectNear(sink.positions[0], {102, 197, 302});
}

ModelInstance instanceWithMarkers(int count, int kind = 2) {
    std::vector<BsmTestMarker> markers(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        markers[static_cast<size_t>(i)].name = "emit light" + std::to_string(i);
        markers[static_cast<size_t>(i)].kind = kind;
    }
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "Scene Root", 2)}, markers));
    return instance;
}

TEST(ModelInstance, SmallNodesEmitEveryMarkerEachUpdate) {
    for (int count : {19, 20}) {
        ModelInstance instance = instanceWithMarkers(count);
        RecordingSink sink;
        instance.update(1.0f, sink);
        instance.update(1.0f, sink);
        ASSERT_EQ(sink.names.size(), 2u * static_cast<size_t>(count)) << count;
        EXPECT_EQ(sink.names[0], "emit light0");
        EXPECT_EQ(sink.names[static_cast<size_t>(count)], "emit light0");
        EXPECT_EQ(sink.names[static_cast<size_t>(count) - 1], "emit light" + std::to_string(count - 1));
        EXPECT_FLOAT_EQ(instance.emitCursor, 0.0f);
    }
    // Markers of another kind are not handed over by small nodes.
    ModelInstance other = instanceWithMarkers(5, 3);
    RecordingSink sink;
    other.update(1.0f, sink);
    EXPECT_TRUE(sink.names.empty());
}

TEST(ModelInstance, LargeNodesWalkThroughTheirMarkersOneAtATime) {
    ModelInstance instance = instanceWithMarkers(72, 5);  // any kind counts here
    RecordingSink sink;
    // A step of 2.5 moves the cursor by exactly one marker per update.
    for (int i = 0; i < 150; ++i) instance.update(2.5f, sink);
    ASSERT_EQ(sink.names.size(), 150u);
    for (int i = 0; i < 150; ++i) EXPECT_EQ(sink.names[static_cast<size_t>(i)], "emit light" + std::to_string(i % 72)) << i;

    ModelInstance slow = instanceWithMarkers(72);
    RecordingSink slowSink;
    for (int i = 0; i < 4; ++i) slow.update(1.0f, slowSink);
    EXPECT_EQ(slowSink.names, (std::vector<std::string>{"emit light0", "emit light0", "emit light0", "emit light1"}));
    EXPECT_NEAR(slow.emitCursor, 1.6f, 1e-5f);
}

TEST(ModelInstance, TextureScrollAdvancesWithTheStepAndModelsWithoutHullStillScroll) {
    BsmTestObject belt = stripObject("belt", "Scene Root", 2);
    belt.scrollV = 0.5f;
    belt.scrollU = -1.0f;
    ModelInstance instance;
    instance.build(meshOf({belt}));
    RecordingSink sink;
    instance.update(2.0f, sink);
    instance.update(2.0f, sink);
    EXPECT_FLOAT_EQ(instance.nodes[0].scrollOffsetV, 2 * 2.0f * 0.03f * 0.5f);
    EXPECT_FLOAT_EQ(instance.nodes[0].scrollOffsetU, 2 * 2.0f * 0.03f * -1.0f);
}

TEST(ModelInstance, CollisionMeshIsKeptButNotLinked) {
    ModelInstance instance;
    instance.build(meshOf({stripObject("Hull", "Scene Root", 2), stripObject("CollMesh", "Scene Root", 4)}));
    EXPECT_EQ(instance.collisionCornerCount, 12u);
    EXPECT_EQ(instance.collisionCorners.size(), 12u);
    EXPECT_TRUE(instance.nodes[0].children.empty());

    ModelInstance plain;
    plain.build(meshOf({stripObject("Hull", "Scene Root", 2)}));
    EXPECT_EQ(plain.collisionCornerCount, 0u);
    // An empty instance updates without effect.
    ModelInstance empty;
    RecordingSink sink;
    empty.update(1.0f, sink);
    EXPECT_TRUE(empty.nodes.empty());
}

}  // namespace
}  // namespace hg
