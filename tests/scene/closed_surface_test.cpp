#include "scene/mesh.h"

#include <gtest/gtest.h>

#include <array>

namespace hg {
namespace {

// A unit cube's twelve faces, counter-clockwise seen from outside.
std::vector<Corner> cube() {
    const std::array<Vec3, 8> p = {Vec3{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                   {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const int quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    std::vector<Corner> corners;
    for (const auto& q : quads) {
        for (int k : {q[0], q[1], q[2], q[0], q[2], q[3]}) corners.push_back({p[size_t(k)], {0, 0, 1}, 0, 0});
    }
    return corners;
}

TEST(ClosedSurface, ACubeTurnedOutwardsIsClosedAndOneTurnedInwardsIsNot) {
    EXPECT_TRUE(isClosedOutwardSurface(cube()));
    std::vector<Corner> inward = cube();
    for (size_t f = 0; f < inward.size(); f += 3) std::swap(inward[f + 1], inward[f + 2]);
    EXPECT_FALSE(isClosedOutwardSurface(inward)) << "back faces would be the ones seen";
}

TEST(ClosedSurface, AMissingADoubledOrAFlippedFaceOpensIt) {
    std::vector<Corner> open = cube();
    open.resize(open.size() - 3);
    EXPECT_FALSE(isClosedOutwardSurface(open));
    std::vector<Corner> doubled = cube();
    doubled.insert(doubled.end(), doubled.begin(), doubled.begin() + 3);
    EXPECT_FALSE(isClosedOutwardSurface(doubled));
    std::vector<Corner> flipped = cube();
    std::swap(flipped[4], flipped[5]);
    EXPECT_FALSE(isClosedOutwardSurface(flipped));
    EXPECT_FALSE(isClosedOutwardSurface({}));
}

TEST(ClosedSurface, PointsMatchByPositionMinusZeroIncludedAndDegenerateFacesDoNotCount) {
    std::vector<Corner> cornersApart = cube();
    for (Corner& corner : cornersApart) {
        if (corner.position.x == 0.0f) corner.position.x = -0.0f;  // a seam written from the other side
        corner.normal = {1, 0, 0};                                 // normals and uv play no part
        corner.u = 0.5f;
    }
    // A sliver with two equal corners, as a pole of a lathe gives.
    cornersApart.push_back({{1, 1, 1}, {0, 0, 1}, 0, 0});
    cornersApart.push_back({{1, 1, 1}, {0, 0, 1}, 0, 0});
    cornersApart.push_back({{0, 1, 1}, {0, 0, 1}, 0, 0});
    EXPECT_TRUE(isClosedOutwardSurface(cornersApart));
    // Two cubes apart, or one through the other, are still closed.
    std::vector<Corner> two = cube();
    for (Corner corner : cube()) {
        corner.position = corner.position + Vec3{0.5f, 0.5f, 0.5f};
        two.push_back(corner);
    }
    EXPECT_TRUE(isClosedOutwardSurface(two));
}

}  // namespace
}  // namespace hg
