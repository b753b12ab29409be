#include "scene/math.h"

#include "gl/gl.h"

#include <cmath>

namespace hg {

float Vec3::normalize() {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.00001f) {
        const float inverse = 1.0f / length;
        x *= inverse;
        y *= inverse;
        z *= inverse;
        return inverse;
    }
    x = y = z = 0.0f;
    return 0.0f;
}

Vec3 Vec3::unit(float x, float y, float z) {
    const float inverse = 1.0f / std::sqrt(x * x + y * y + z * z);
    return {x * inverse, y * inverse, z * inverse};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float distance(Vec3 a, Vec3 b) {
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void Quaternion::normalize() {
    const float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (length > 0.0f) {
        x /= length;
        y /= length;
        z /= length;
        w /= length;
    }
}

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {
        a.w * b.x + b.w * a.x + (a.y * b.z - a.z * b.y),
        a.w * b.y + b.w * a.y + (a.z * b.x - a.x * b.z),
        a.w * b.z + b.w * a.z + (a.x * b.y - a.y * b.x),
        a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
    };
}

Vec3 rotate(const Quaternion& q, const Vec3& v) {
    const Quaternion r = q * Quaternion(v.x, v.y, v.z, 1.0f) * q.conjugate();
    return {r.x, r.y, r.z};
}

Quaternion slerp(const Quaternion& a, Quaternion b, float t) {
    float c = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (c < 0.0f) {
        b = {-b.x, -b.y, -b.z, -b.w};
        c = -c;
    }
    float wa, wb;
    if (1.0f - c > 0.000001f) {
        const float theta = std::acos(c);
        const float sinTheta = std::sin(theta);
        wa = std::sin((1.0f - t) * theta) / sinTheta;
        wb = std::sin(t * theta) / sinTheta;
    } else {
        wa = 1.0f - t;
        wb = t;
    }
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Matrix4 Matrix4::identity() {
    Matrix4 r;
    r.m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return r;
}

void Matrix4::setRotation(const Quaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    at(0, 0) = 1 - 2 * (y * y + z * z);
    at(0, 1) = 2 * (x * y - z * w);
    at(0, 2) = 2 * (x * z + y * w);
    at(1, 0) = 2 * (x * y + z * w);
    at(1, 1) = 1 - 2 * (x * x + z * z);
    at(1, 2) = 2 * (y * z - x * w);
    at(2, 0) = 2 * (x * z - y * w);
    at(2, 1) = 2 * (y * z + x * w);
    at(2, 2) = 1 - 2 * (x * x + y * y);
}

Quaternion Matrix4::rotation() const {
    const float trace = at(0, 0) + at(1, 1) + at(2, 2);
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f);
        const float f = 0.5f / s;
        return {(at(2, 1) - at(1, 2)) * f, (at(0, 2) - at(2, 0)) * f, (at(1, 0) - at(0, 1)) * f, s * 0.5f};
    }
    int i = 0;
    if (at(1, 1) > at(0, 0)) i = 1;
    if (at(2, 2) > at(i, i)) i = 2;
    static constexpr int kNext[3] = {1, 2, 0};
    const int j = kNext[i];
    const int k = kNext[j];
    const float s = std::sqrt(at(i, i) - (at(j, j) + at(k, k)) + 1.0f);
    const float f = 0.5f / s;
    float q[3];
    q[i] = s * 0.5f;
    q[j] = (at(j, i) + at(i, j)) * f;
    q[k] = (at(k, i) + at(i, k)) * f;
    return {q[0], q[1], q[2], (at(k, j) - at(j, k)) * f};
}

Matrix4 Matrix4::multiply(const Matrix4& b) const {
    Matrix4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += b.at(row, k) * at(k, col);
            r.at(row, col) = sum;
        }
    }
    return r;
}

Matrix4& Matrix4::transpose() {
    for (int row = 0; row < 4; ++row) {
        for (int col = row + 1; col < 4; ++col) std::swap(m[row * 4 + col], m[col * 4 + row]);
    }
    return *this;
}

namespace {
float det2(float a, float b, float c, float d) { return a * d - b * c; }

// Determinant of the 3x3 matrix left when `skipRow` and `skipCol` are struck out.
float minor3(const Matrix4& s, int skipRow, int skipCol) {
    float v[9];
    int n = 0;
    for (int r = 0; r < 4; ++r) {
        if (r == skipRow) continue;
        for (int c = 0; c < 4; ++c) {
            if (c == skipCol) continue;
            v[n++] = s.at(r, c);
        }
    }
    return v[0] * det2(v[4], v[5], v[7], v[8]) - v[1] * det2(v[3], v[5], v[6], v[8]) + v[2] * det2(v[3], v[4], v[6], v[7]);
}
}  // namespace

Matrix4 Matrix4::inverse() const {
    Matrix4 adjugate;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const float sign = ((r + c) & 1) ? -1.0f : 1.0f;
            adjugate.at(c, r) = sign * minor3(*this, r, c);  // transposed cofactor
        }
    }
    // Expansion along the first column of the source: det = sum of s(r,0) * cofactor(r,0).
    float det = 0.0f;
    for (int r = 0; r < 4; ++r) det += at(r, 0) * adjugate.at(0, r);
    const float inverseDet = 1.0f / det;
    for (float& v : adjugate.m) v *= inverseDet;
    return adjugate;
}

Vec3 Matrix4::transformPoint(const Vec3& p) const {
    return {at(0, 0) * p.x + at(0, 1) * p.y + at(0, 2) * p.z + at(0, 3),
            at(1, 0) * p.x + at(1, 1) * p.y + at(1, 2) * p.z + at(1, 3),
            at(2, 0) * p.x + at(2, 1) * p.y + at(2, 2) * p.z + at(2, 3)};
}

std::array<float, 16> clipMatrix(const float p[16], const float mv[16]) {
    std::array<float, 16> clip{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += mv[c * 4 + k] * p[k * 4 + r];
            clip[c * 4 + r] = sum;
        }
    }
    return clip;
}

Frustum Frustum::fromMatrices(const float p[16], const float mv[16]) {
    const std::array<float, 16> clip = clipMatrix(p, mv);
    auto row = [&](int n) { return std::array<float, 4>{clip[n], clip[4 + n], clip[8 + n], clip[12 + n]}; };
    const auto r0 = row(0), r1 = row(1), r2 = row(2), r3 = row(3);
    auto combine = [](const std::array<float, 4>& a, const std::array<float, 4>& b, float sign) {
        Plane plane{a[0] + sign * b[0], a[1] + sign * b[1], a[2] + sign * b[2], a[3] + sign * b[3]};
        const float length = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
        if (length > 0.0f) {
            plane.a /= length;
            plane.b /= length;
            plane.c /= length;
            plane.d /= length;
        }
        return plane;
    };
    Frustum f;
    f.planes_[kRight] = combine(r3, r0, -1.0f);
    f.planes_[kLeft] = combine(r3, r0, 1.0f);
    f.planes_[kBottom] = combine(r3, r1, 1.0f);
    f.planes_[kTop] = combine(r3, r1, -1.0f);
    f.planes_[kFar] = combine(r3, r2, -1.0f);
    f.planes_[kNear] = combine(r3, r2, 1.0f);
    return f;
}

Frustum Frustum::fromOpenGL() {
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    return fromMatrices(projection, modelview);
}

bool Frustum::sphereInside(float x, float y, float z, float radius) const {
    for (const Plane& plane : planes_) {
        if (plane.distance(x, y, z) <= -radius) return false;
    }
    return true;
}

bool Frustum::cubeInside(float x, float y, float z, float s) const {
    for (const Plane& plane : planes_) {
        bool anyInside = false;
        for (int corner = 0; corner < 8 && !anyInside; ++corner) {
            const float px = x + ((corner & 1) ? s : -s);
            const float py = y + ((corner & 2) ? s : -s);
            const float pz = z + ((corner & 4) ? s : -s);
            anyInside = plane.distance(px, py, pz) > 0.0f;
        }
        if (!anyInside) return false;
    }
    return true;
}

}  // namespace hg
