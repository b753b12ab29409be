#include "scene/math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hg {
namespace {

constexpr float kPi = 3.14159265358979f;

Quaternion axisAngle(Vec3 axis, float angle) {
    axis.normalize();
    const float s = std::sin(angle / 2);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2)};
}

void expectSameRotation(const Quaternion& a, const Quaternion& b) {
    const float sign = (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w) < 0 ? -1.0f : 1.0f;
    EXPECT_NEAR(a.x, sign * b.x, 1e-5f);
    EXPECT_NEAR(a.y, sign * b.y, 1e-5f);
    EXPECT_NEAR(a.z, sign * b.z, 1e-5f);
    EXPECT_NEAR(a.w, sign * b.w, 1e-5f);
}

TEST(Vec3, NormalizeGuardsTinyVectors) {
    Vec3 zero{0, 0, 0};
    EXPECT_EQ(zero.normalize(), 0.0f);
    Vec3 tiny{0.000005f, 0.0f, 0.000005f};
    EXPECT_EQ(tiny.normalize(), 0.0f);
    EXPECT_EQ(tiny.x, 0.0f);
    EXPECT_EQ(tiny.z, 0.0f);
    Vec3 v{3, 0, 4};
    EXPECT_FLOAT_EQ(v.normalize(), 0.2f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Vec3, CrossDotDistance) {
    const Vec3 c = cross({1, 0, 0}, {0, 1, 0});
    EXPECT_FLOAT_EQ(c.z, 1.0f);
    EXPECT_FLOAT_EQ(cross({0, 1, 0}, {1, 0, 0}).z, -1.0f);
    EXPECT_FLOAT_EQ(dot({1, 2, 3}, {4, -5, 6}), 12.0f);
    EXPECT_FLOAT_EQ(distance({1, 1, 1}, {4, 5, 1}), 5.0f);
    const Vec3 u = Vec3::unit(0, 0, 2);
    EXPECT_FLOAT_EQ(u.z, 1.0f);
}

TEST(Quaternion, ZeroStaysZeroAndIdentityIsNeutral) {
    Quaternion zero{0, 0, 0, 0};
    zero.normalize();
    EXPECT_EQ(zero.w, 0.0f);
    EXPECT_EQ(zero.x, 0.0f);
    const Quaternion q = axisAngle({1, 2, 3}, 0.7f);
    expectSameRotation(Quaternion::identity() * q, q);
    expectSameRotation(q * Quaternion::identity(), q);
    expectSameRotation(q * q.conjugate(), Quaternion::identity());
}

TEST(Quaternion, ProductComposesRotations) {
    // Two quarter turns about z make a half turn.
    const Quaternion quarter = axisAngle({0, 0, 1}, kPi / 2);
    expectSameRotation(quarter * quarter, axisAngle({0, 0, 1}, kPi));
    // a ⊗ b rotates by b first: x about z by 90° gives y, then about x by 90° gives z.
    Matrix4 m = Matrix4::identity();
    m.setRotation(axisAngle({1, 0, 0}, kPi / 2) * quarter);
    const Vec3 p = m.transformPoint({1, 0, 0});
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 0.0f, 1e-6f);
    EXPECT_NEAR(p.z, 1.0f, 1e-6f);
}

TEST(Quaternion, SlerpEndsMiddleAndShortestArc) {
    const Quaternion a = Quaternion::identity();
    const Quaternion b = axisAngle({0, 0, 1}, kPi / 2);
    expectSameRotation(slerp(a, b, 0.0f), a);
    expectSameRotation(slerp(a, b, 1.0f), b);
    expectSameRotation(slerp(a, b, 0.5f), axisAngle({0, 0, 1}, kPi / 4));
    // The negated target is the same rotation: the interpolation takes the short way.
    const Quaternion negated{-b.x, -b.y, -b.z, -b.w};
    expectSameRotation(slerp(a, negated, 0.5f), axisAngle({0, 0, 1}, kPi / 4));
    // Nearly equal inputs use the linear weights and stay finite.
    const Quaternion r = slerp(a, a, 0.3f);
    EXPECT_FLOAT_EQ(r.w, 1.0f);
}

TEST(Quaternion, MatrixRoundTripIncludingHalfTurns) {
    const std::vector<Quaternion> rotations = {
        Quaternion::identity(),
        axisAngle({1, 0, 0}, kPi),
        axisAngle({0, 1, 0}, kPi),
        axisAngle({0, 0, 1}, kPi),
        axisAngle({1, 1, 0}, kPi),
        axisAngle({0.3f, -0.5f, 0.8f}, 2.0f),
        axisAngle({0, 0, 1}, 3.0f),
        axisAngle({1, 0, 0}, -2.5f),
    };
    for (const Quaternion& q : rotations) {
        Matrix4 m = Matrix4::identity();
        m.setRotation(q);
        expectSameRotation(m.rotation(), q);
    }
}

TEST(Matrix4, SetRotationLeavesTranslationAlone) {
    Matrix4 m = Matrix4::identity();
    m.at(0, 3) = 5;
    m.at(1, 3) = 6;
    m.at(2, 3) = 7;
    m.setRotation(axisAngle({0, 0, 1}, 1.0f));
    EXPECT_EQ(m.m[3], 5.0f);
    EXPECT_EQ(m.m[7], 6.0f);
    EXPECT_EQ(m.m[11], 7.0f);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(Matrix4, ProductAppliesSelfFirst) {
    Matrix4 translate = Matrix4::identity();
    translate.at(0, 3) = 10;
    Matrix4 rotate = Matrix4::identity();
    rotate.setRotation(axisAngle({0, 0, 1}, kPi / 2));
    // Translate first, then rotate: (1,0,0) -> (11,0,0) -> (0,11,0).
    const Vec3 p = translate.multiply(rotate).transformPoint({1, 0, 0});
    EXPECT_NEAR(p.x, 0.0f, 1e-5f);
    EXPECT_NEAR(p.y, 11.0f, 1e-5f);
}

TEST(Matrix4, InverseUndoesARigidTransformAndTransposeSwaps) {
    Matrix4 m = Matrix4::identity();
    m.setRotation(axisAngle({0.2f, 0.4f, 1.0f}, 0.9f));
    m.at(0, 3) = 3;
    m.at(1, 3) = -4;
    m.at(2, 3) = 12;
    m.at(0, 0) *= 2.0f;  // not orthonormal, so a transpose-based shortcut would fail
    const Matrix4 product = m.multiply(m.inverse());
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.at(r, c), r == c ? 1.0f : 0.0f, 1e-5f) << r << "," << c;
    Matrix4 t = m;
    t.transpose();
    EXPECT_EQ(t.at(3, 0), m.at(0, 3));
    EXPECT_EQ(t.at(1, 2), m.at(2, 1));
}

// A perspective projection like gluPerspective(90°, 1, 1, 100) and an identity modelview:
// the camera sits at the origin looking down -z.
void perspective90(float out[16]) {
    const float n = 1, f = 100;
    for (int i = 0; i < 16; ++i) out[i] = 0;
    out[0] = 1;
    out[5] = 1;
    out[10] = (f + n) / (n - f);
    out[11] = -1;
    out[14] = 2 * f * n / (n - f);
}

TEST(Frustum, PlanesAreUnitAndFaceInward) {
    float projection[16], modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    perspective90(projection);
    const Frustum f = Frustum::fromMatrices(projection, modelview);
    for (int i = 0; i < 6; ++i) {
        const Plane& p = f.plane(i);
        EXPECT_NEAR(p.a * p.a + p.b * p.b + p.c * p.c, 1.0f, 1e-5f);
        EXPECT_GT(p.distance(0, 0, -10), 0.0f) << "plane " << i;
    }
    EXPECT_NEAR(f.plane(Frustum::kNear).distance(0, 0, -1), 0.0f, 1e-5f);
    EXPECT_NEAR(f.plane(Frustum::kFar).distance(0, 0, -100), 0.0f, 1e-3f);
    EXPECT_GT(f.plane(Frustum::kRight).a, -1.0f);
    EXPECT_LT(f.plane(Frustum::kRight).a, 0.0f);  // the right plane faces left
    EXPECT_GT(f.plane(Frustum::kLeft).a, 0.0f);
}

// An orthographic box from -1 to 1 on every axis: plane distances are exact in floats.
Frustum unitBox() {
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    const float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return Frustum::fromMatrices(projection, modelview);
}

TEST(Frustum, SphereOnThePlaneBoundary) {
    const Frustum f = unitBox();
    const float r = 0.25f;
    // Centre at distance exactly -r from the right plane (x = 1): touching from outside counts as out.
    EXPECT_FALSE(f.sphereInside(1.0f + r, 0, 0, r));
    EXPECT_TRUE(f.sphereInside(1.0f + r - 0.001f, 0, 0, r));
    EXPECT_FALSE(f.sphereInside(0, -1.0f - r, 0, r));
    EXPECT_TRUE(f.sphereInside(0, -1.0f - r + 0.001f, 0, r));
    EXPECT_FALSE(f.sphereInside(0, 0, 1.0f + r, r));
    EXPECT_TRUE(f.sphereInside(0, 0, 0, 0));
}

TEST(Frustum, CubeInsideWhenOneCornerIsIn) {
    const Frustum f = unitBox();
    EXPECT_TRUE(f.cubeInside(0, 0, 0, 0.1f));
    // Nearest corner exactly on the right plane: every corner is <= 0 there, so out.
    EXPECT_FALSE(f.cubeInside(1.5f, 0, 0, 0.5f));
    EXPECT_TRUE(f.cubeInside(1.49f, 0, 0, 0.5f));
    // Only one corner (x-, y-, z-) reaches into the box past three planes at once: still in.
    EXPECT_TRUE(f.cubeInside(1.49f, 1.49f, 1.49f, 0.5f));
    EXPECT_FALSE(f.cubeInside(1.49f, 1.49f, 1.51f, 0.5f));
    // A cube larger than the whole box contains it: in.
    EXPECT_TRUE(f.cubeInside(0, 0, 0, 10));
}

TEST(Frustum, FollowsTheModelview) {
    // Camera moved to x = 100: the modelview translates the world by -100.
    float projection[16], modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -100, 0, 0, 1};
    perspective90(projection);
    const Frustum f = Frustum::fromMatrices(projection, modelview);
    EXPECT_TRUE(f.sphereInside(100, 0, -10, 0.5f));
    EXPECT_FALSE(f.sphereInside(0, 0, -10, 0.5f));
}

}  // namespace
}  // namespace hg
