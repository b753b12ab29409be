#include "render/draw_order.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "scene/scene.h"

namespace hg {
namespace {

// Nodes of each kind the opaque pass meets, placed along x; the eye stands at the origin.
struct Nodes {
    std::vector<std::unique_ptr<SceneNode>> owned;

    SceneNode* room(float x, bool opaque) {
        SceneNode* node = add(x);
        FaceGroup group;
        group.opaqueBase = opaque;
        node->groups = {group, group};
        return node;
    }
    SceneNode* model(float x) {
        SceneNode* node = add(x);
        node->isInstance = true;
        return node;
    }
    SceneNode* fire(float x) {
        SceneNode* node = add(x);
        node->isAnimatedMesh = true;
        node->isInstance = true;  // a node may be both: it still draws from its own arrays
        return node;
    }
    SceneNode* add(float x) {
        owned.push_back(std::make_unique<SceneNode>());
        owned.back()->setBox({x - 1, -1, -1}, {x + 1, 1, 1});
        return owned.back().get();
    }
};

TEST(OpaqueDrawOrder, OrderFreeNodesNearestFirstThenTheRestAsListedThenTheFire) {
    Nodes n;
    SceneNode* farWall = n.room(500, true);
    SceneNode* blended = n.room(5, false);  // near, but what it draws depends on what lies under it
    SceneNode* fire = n.fire(50);
    SceneNode* chair = n.model(-30);  // behind the eye is as near as in front
    SceneNode* additive = n.room(1, true);
    additive->groups.back().additive = true;
    SceneNode* nearWall = n.room(10, true);
    const std::vector<SceneNode*> list = {farWall, blended, fire, chair, additive, nearWall};

    OpaqueDrawOrder order;
    EXPECT_EQ(order.arrange(list, {0, 0, 0}),
              (std::vector<SceneNode*>{nearWall, chair, farWall, blended, additive, fire}));
    // From the far end the order-free nodes turn round; the others keep their places.
    EXPECT_EQ(order.arrange(list, {600, 0, 0}),
              (std::vector<SceneNode*>{farWall, nearWall, chair, blended, additive, fire}));
}

TEST(OpaqueDrawOrder, WhatEnclosesTheZoneFollowsTheOtherOrderFreeNodesNearestFirst) {
    Nodes n;
    SceneNode* floor = n.room(0, true);  // under the eye: nearer than anything else
    floor->enclosing = true;
    SceneNode* farWall = n.room(400, true);
    farWall->enclosing = true;
    SceneNode* nearWall = n.room(-100, true);
    nearWall->enclosing = true;
    SceneNode* table = n.room(200, true);
    SceneNode* chair = n.model(300);
    SceneNode* blended = n.room(50, false);
    SceneNode* fire = n.fire(20);
    OpaqueDrawOrder order;
    EXPECT_EQ(order.arrange({floor, farWall, fire, table, nearWall, blended, chair}, {0, 0, 0}),
              (std::vector<SceneNode*>{table, chair, floor, nearWall, farWall, blended, fire}));
}

TEST(OpaqueDrawOrder, EqualDistancesKeepListOrderAndABrokenBoxStillDraws) {
    Nodes n;
    SceneNode* a = n.room(20, true);
    SceneNode* b = n.room(-20, true);
    SceneNode* broken = n.room(0, true);
    broken->centre = {std::nanf(""), 0, 0};
    SceneNode* c = n.model(20);
    OpaqueDrawOrder order;
    EXPECT_EQ(order.arrange({a, broken, b, c}, {0, 0, 0}), (std::vector<SceneNode*>{a, b, c, broken}));
    EXPECT_TRUE(order.arrange({}, {0, 0, 0}).empty());
}

TEST(OpaqueDrawOrder, WhatMayBeDrawnInAnyOrder) {
    Nodes n;
    EXPECT_TRUE(drawsInAnyOrder(*n.room(0, true)));
    EXPECT_FALSE(drawsInAnyOrder(*n.room(0, false)));
    SceneNode* reflecting = n.room(0, true);
    reflecting->groups.front().hasReflection = true;
    EXPECT_FALSE(drawsInAnyOrder(*reflecting));
    SceneNode* glass = n.room(0, true);
    glass->translucent = true;
    EXPECT_FALSE(drawsInAnyOrder(*glass));
    EXPECT_TRUE(drawsInAnyOrder(*n.model(0)));
    EXPECT_FALSE(drawsInAnyOrder(*n.fire(0)));
}

}  // namespace
}  // namespace hg
