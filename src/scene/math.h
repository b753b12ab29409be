#pragma once
// Single-precision vectors, quaternions, row-major 4x4 matrices and the view frustum.
// World space is right-handed with z up; angles are radians.
#include <algorithm>
#include <array>

namespace hg {

struct Vec3 {
    float x, y, z;

    Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    // Scales to unit length and returns 1/length; a vector of length <= 0.00001 becomes zero and 0 is returned.
    float normalize();
    // (x, y, z) / length, without a guard: callers pass non-zero vectors.
    static Vec3 unit(float x, float y, float z);

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
};

Vec3 cross(const Vec3& a, const Vec3& b);
float dot(Vec3 a, Vec3 b);
float distance(Vec3 a, Vec3 b);

struct Quaternion {
    float x, y, z, w;  // vector part first, scalar last

    Quaternion() = default;
    constexpr Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    static constexpr Quaternion identity() { return {0.0f, 0.0f, 0.0f, 1.0f}; }

    Quaternion conjugate() const { return {-x, -y, -z, w}; }
    // Divides by the length when it is positive; the zero quaternion stays as it is.
    void normalize();
};

// Hamilton product a ⊗ b.
Quaternion operator*(const Quaternion& a, const Quaternion& b);
// Shortest-arc spherical interpolation, linear when the two are nearly equal; not renormalised.
Quaternion slerp(const Quaternion& a, Quaternion b, float t);
// v turned by q: the vector part of q ⊗ (v, 1) ⊗ conjugate(q).
Vec3 rotate(const Quaternion& q, const Vec3& v);

struct Matrix4 {
    // Row-major: element (row r, column c) at r*4 + c; points are column vectors, so a rigid
    // transform keeps its translation in elements 3, 7 and 11.
    std::array<float, 16> m;

    static Matrix4 identity();
    float& at(int row, int col) { return m[row * 4 + col]; }
    float at(int row, int col) const { return m[row * 4 + col]; }

    // Writes the 3x3 rotation block of a unit quaternion; translation and bottom row stay untouched.
    void setRotation(const Quaternion& q);
    // The rotation block read back as a quaternion.
    Quaternion rotation() const;

    // B·A: apply this matrix first, then `b`. A child's world matrix is local.multiply(parentWorld).
    Matrix4 multiply(const Matrix4& b) const;
    Matrix4& transpose();
    // Adjugate inverse without a singularity test: callers never pass singular matrices.
    Matrix4 inverse() const;

    Vec3 transformPoint(const Vec3& p) const;
};

// The axis-aligned box round a set of points; none (low above high) when there are no points.
struct Box {
    Vec3 low{0, 0, 0};
    Vec3 high{-1, -1, -1};

    bool empty() const { return low.x > high.x || low.y > high.y || low.z > high.z; }
};
template <typename Points, typename PositionOf>
Box boxRound(const Points& points, PositionOf positionOf) {
    Box box;
    if (points.empty()) return box;
    box.low = box.high = positionOf(*points.begin());
    for (const auto& point : points) {
        const Vec3 p = positionOf(point);
        box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y), std::min(box.low.z, p.z)};
        box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y), std::max(box.high.z, p.z)};
    }
    return box;
}

// A sphere round a set of points: the centre of their box, the radius to the farthest of them.
// A negative radius: no points.
struct Sphere {
    Vec3 centre{0, 0, 0};
    float radius = -1.0f;
};
template <typename Points, typename PositionOf>
Sphere sphereRound(const Points& points, PositionOf positionOf) {
    Sphere sphere;
    if (points.empty()) return sphere;
    const Box box = boxRound(points, positionOf);
    sphere.centre = (box.low + box.high) * 0.5f;
    sphere.radius = 0.0f;
    for (const auto& point : points) {
        sphere.radius = std::max(sphere.radius, distance(positionOf(point), sphere.centre));
    }
    return sphere;
}

struct Plane {
    float a, b, c, d;
    float distance(float x, float y, float z) const { return a * x + b * y + c * z + d; }
};

// projection × modelview, column-major as GL keeps them: what takes a point to clip space.
std::array<float, 16> clipMatrix(const float projection[16], const float modelview[16]);

class Frustum {
public:
    enum PlaneIndex { kRight = 0, kLeft, kBottom, kTop, kFar, kNear };

    // Planes from column-major projection and modelview matrices as OpenGL returns them; the
    // normals point into the visible volume and are of unit length.
    static Frustum fromMatrices(const float projection[16], const float modelview[16]);
    // The same, reading the live matrices from the current OpenGL context.
    static Frustum fromOpenGL();

    // Outside as soon as one plane has the centre at or beyond -radius.
    bool sphereInside(float x, float y, float z, float radius) const;
    // Outside when all eight corners lie on the outer side of one plane.
    bool cubeInside(float x, float y, float z, float halfSize) const;

    const Plane& plane(int index) const { return planes_[index]; }

private:
    std::array<Plane, 6> planes_{};
};

}  // namespace hg
