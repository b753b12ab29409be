#include "render/scene_animation.h"

#include <gtest/gtest.h>

#include "render/room_visibility.h"
#include "scene/scene.h"

namespace hg {
namespace {

TEST(ClockHands, NoonAndHalfPastOne) {
    const ClockHands noon = clockHandsAt(12, 0, 0);
    EXPECT_FLOAT_EQ(noon.hour, -360.0f);  // the same position as midnight
    EXPECT_FLOAT_EQ(clockHandsAt(0, 0, 0).hour, 0.0f);
    const ClockHands halfPastOne = clockHandsAt(13, 30, 15);
    EXPECT_NEAR(halfPastOne.hour, -45.0f, 1e-4f);
    EXPECT_FLOAT_EQ(halfPastOne.minute, -180.0f);
    EXPECT_FLOAT_EQ(halfPastOne.second, -90.0f);
}

TEST(PathNode, TwoKeysNeverMoveAndThreeKeysLoopBack) {
    SceneNode node;
    node.keyPositions = {{0, 0, 0}, {100, 0, 0}};
    node.keyRotations = {Quaternion::identity(), Quaternion::identity()};
    for (int i = 0; i < 50; ++i) {
        advancePathNode(node, 1.0f);
        EXPECT_FLOAT_EQ(node.centre.x, 0.0f) << i;
    }
    SceneNode loop;
    loop.keyPositions = {{0, 0, 0}, {100, 0, 0}, {999, 0, 0}};
    loop.keyRotations = {Quaternion::identity(), Quaternion::identity(), Quaternion::identity()};
    float furthest = 0.0f;
    for (int i = 0; i < 100; ++i) {
        advancePathNode(loop, 1.0f);
        furthest = std::max(furthest, loop.centre.x);
    }
    EXPECT_LE(furthest, 100.0f) << "the last key is never used";
    EXPECT_GT(furthest, 90.0f);
}

TEST(PathNode, HoldsAtTheFirstKeyFirst) {
    SceneNode node;
    node.keyPositions = {{0, 0, 0}, {100, 0, 0}, {0, 0, 0}};
    node.keyRotations = {Quaternion::identity(), Quaternion::identity(), Quaternion::identity()};
    node.holdCount = 1;
    int updates = 0;
    while (node.holdCount > 0 && updates < 40) {  // one segment is about 20 units
        advancePathNode(node, 1.0f);
        EXPECT_FLOAT_EQ(node.centre.x, 0.0f) << updates;
        ++updates;
    }
    EXPECT_GE(updates, 20);
    EXPECT_LE(updates, 21);
    for (int i = 0; i < 10; ++i) advancePathNode(node, 1.0f);
    EXPECT_GT(node.centre.x, 0.0f);
}

TEST(Visibility, ZoneContainmentIsStrict) {
    SceneNode zone;
    zone.setBox({0, 0, 0}, {10, 10, 10});
    EXPECT_TRUE(zone.boxContains({5, 5, 5}));
    EXPECT_FALSE(zone.boxContains({0, 5, 5}));
    EXPECT_FALSE(zone.boxContains({5, 10, 5}));
    EXPECT_FALSE(zone.boxContains({5, 5, 10.5f}));
}

TEST(Visibility, APortalSeenFromBehindDoesNotOpen) {
    // An orthographic view box from -1 to 1 on every axis.
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    const float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const Frustum view = Frustum::fromMatrices(projection, modelview);
    Portal portal;
    portal.points = {{0, 0, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}};
    portal.centre = {0.2f, 0.2f, 0};
    portal.normal = {0, 0, 1};  // points into the owning zone, where the camera must be
    EXPECT_TRUE(RoomVisibility::portalOpens(portal, {0, 0, 5}, view));
    EXPECT_FALSE(RoomVisibility::portalOpens(portal, {0, 0, -5}, view));
    EXPECT_FALSE(RoomVisibility::portalOpens(portal, {0, 0, 0}, view)) << "in the portal's plane is not in front";
}

}  // namespace
}  // namespace hg
