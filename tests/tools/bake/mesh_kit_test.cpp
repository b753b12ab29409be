// The modelling kit: closed primitives are watertight and face outwards, normals are unit length
// and split at creases, projections land where they should, transforms keep faces outwards.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

#include "bake/mesh_kit.h"

namespace hg::bake {
namespace {

// Edges by welded position: a closed surface uses every edge exactly twice, once each way.
int openEdges(const Shape& s) {
    std::map<std::tuple<long, long, long>, int> ids;
    auto id = [&](uint32_t p) {
        const Float3 v = s.positions[p];
        const auto key = std::make_tuple(std::lround(v.x * 1e4), std::lround(v.y * 1e4), std::lround(v.z * 1e4));
        return ids.emplace(key, int(ids.size())).first->second;
    };
    std::map<std::pair<int, int>, int> directed;
    for (const auto& f : s.faces)
        for (int k = 0; k < 3; ++k) {
            const int a = id(f[size_t(k)]), b = id(f[size_t((k + 1) % 3)]);
            if (a != b) ++directed[{a, b}];
        }
    int open = 0;
    for (const auto& [edge, count] : directed) {
        const auto back = directed.find({edge.second, edge.first});
        if (count != 1 || back == directed.end() || back->second != 1) ++open;
    }
    return open;
}

// Six times the enclosed volume: positive when the faces point outwards.
float signedVolume(const Shape& s) {
    float v = 0.0f;
    for (const auto& f : s.faces) v += dot(s.positions[f[0]], cross(s.positions[f[1]], s.positions[f[2]]));
    return v / 6.0f;
}

void expectUnitNormals(const Shape& s) {
    for (const auto& corner : s.normals)
        for (Float3 n : corner) ASSERT_NEAR(length(n), 1.0f, 1e-4f);
}

TEST(MeshKit, ClosedPrimitivesAreWatertightAndFaceOutwards) {
    constexpr float pi = std::numbers::pi_v<float>;
    const std::vector<Float2> lShape = {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 3}, {0, 3}};
    const std::vector<Float2> square = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
    std::vector<Float3> ring;
    for (int i = 0; i < 24; ++i) ring.push_back({10 * std::cos(2 * pi * i / 24), 10 * std::sin(2 * pi * i / 24), 0});
    struct Case {
        const char* name;
        Shape shape;
        float volume;  // expected, or 0 to check only the sign
    };
    const Case cases[] = {
        {"box", box({2, 3, 4}), 24.0f},
        {"bevelled box", box({2, 3, 4}, 0.3f), 0.0f},
        {"capped cylinder", cylinder(2, 2, 5, 64), pi * 4 * 5},
        {"cone", cylinder(2, 0, 3, 64), pi * 4 * 3 / 3},
        {"sphere", sphere(3, 48, 24), 4.0f / 3.0f * pi * 27},
        {"torus", torus(5, 1, 64, 32), 2 * pi * pi * 5},
        {"extruded L", extrude(lShape, 2), 2.0f * 6.0f},
        {"swept ring", sweep(square, ring, true), 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(openEdges(c.shape), 0);
        const float v = signedVolume(c.shape);
        EXPECT_GT(v, 0.0f);
        if (c.volume > 0) {
            EXPECT_NEAR(v, c.volume, c.volume * 0.02f);
        }
        EXPECT_EQ(c.shape.uvs.size(), c.shape.faces.size());
        EXPECT_EQ(c.shape.normals.size(), c.shape.faces.size());
    }
}

TEST(MeshKit, SmoothingSplitsAtCreasesAndJoinsAcrossSeams) {
    Shape cube = box({2, 2, 2});
    smoothNormals(cube, 40.0f);
    expectUnitNormals(cube);
    for (size_t f = 0; f < cube.faces.size(); ++f)
        for (Float3 n : cube.normals[f]) EXPECT_NEAR(dot(n, cube.faceNormal(f)), 1.0f, 1e-5f);
    smoothNormals(cube, 180.0f);
    expectUnitNormals(cube);
    // Fully smoothed, a cube's corner normal points along the diagonal.
    const Float3 n = cube.normals[0][0], p = normalized(cube.positions[cube.faces[0][0]]);
    EXPECT_NEAR(dot(n, p), 1.0f, 1e-4f);

    // A lathe's seam column is welded: normals on both sides of the seam agree, and a sphere's
    // normals point away from its centre.
    Shape ball = sphere(2, 16, 8);
    smoothNormals(ball, 60.0f);
    expectUnitNormals(ball);
    for (size_t f = 0; f < ball.faces.size(); ++f)
        for (int k = 0; k < 3; ++k)
            EXPECT_GT(dot(ball.normals[f][size_t(k)], normalized(ball.positions[ball.faces[f][size_t(k)]])), 0.97f);
    // A cylinder keeps its sides round but its rims sharp.
    Shape can = cylinder(1, 1, 2, 32);
    smoothNormals(can, 45.0f);
    for (size_t f = 0; f < can.faces.size(); ++f) {
        const Float3 fn = can.faceNormal(f);
        for (Float3 cn : can.normals[f]) {
            if (std::abs(fn.z) > 0.99f) EXPECT_NEAR(cn.z, fn.z, 1e-5f);  // caps flat
            else EXPECT_NEAR(cn.z, 0.0f, 1e-5f);                          // sides horizontal
        }
    }
}

TEST(MeshKit, ProjectionsAndAtlasCells) {
    Shape can = cylinder(1, 1, 4, 24, false);
    cylindricalUv(can, {0, 0, 0}, 2.0f, 0.25f);
    for (const auto& face : can.uvs) {
        float lo = 1e9f, hi = -1e9f;
        for (Float2 uv : face) {
            lo = std::min(lo, uv.u), hi = std::max(hi, uv.u);
            EXPECT_GE(uv.u, 0.0f);
            EXPECT_LE(uv.u, 2.0f + 2.0f / 24.0f + 1e-4f);
            EXPECT_GE(uv.v, -1e-5f);
            EXPECT_LE(uv.v, 1.0f + 1e-5f);
        }
        EXPECT_LT(hi - lo, 0.5f);  // no face wraps backwards round the seam
    }
    Shape slab = box({4, 2, 1});
    planarUv(slab, 2, 0.25f, {0.5f, 0.5f});
    for (size_t f = 0; f < slab.faces.size(); ++f)
        for (int k = 0; k < 3; ++k) {
            const Float3 p = slab.positions[slab.faces[f][size_t(k)]];
            EXPECT_FLOAT_EQ(slab.uvs[f][size_t(k)].u, p.x * 0.25f + 0.5f);
            EXPECT_FLOAT_EQ(slab.uvs[f][size_t(k)].v, p.y * 0.25f + 0.5f);
        }
    boxUv(slab, 0.1f, {3.2f, -7.9f});
    fitUv(slab, 0.25f, 0.5f, 0.5f, 0.75f);
    for (const auto& face : slab.uvs)
        for (Float2 uv : face) {
            EXPECT_GE(uv.u, 0.25f);
            EXPECT_LE(uv.u, 0.5f);
            EXPECT_GE(uv.v, 0.5f);
            EXPECT_LE(uv.v, 0.75f);
        }
}

TEST(MeshKit, TransformsKeepFacesOutwardsAndNormalsRight) {
    Shape ball = sphere(1, 16, 8);
    smoothNormals(ball, 60.0f);
    // A mirror and a squash: the solid still faces out, normals stay unit and follow the surface.
    const Transform t = Transform::translate({5, 0, 0}) * Transform::scale({-1, 2, 0.5f});
    Shape moved = transformed(ball, t);
    EXPECT_GT(signedVolume(transformed(moved, Transform::translate({-5, 0, 0}))), 0.0f);
    expectUnitNormals(moved);
    // Ellipsoid x²/1 + y²/4 + z²/0.25 = 1: its normal at p is along (x, y/4, z/0.25).
    for (size_t f = 0; f < moved.faces.size(); ++f)
        for (int k = 0; k < 3; ++k) {
            const Float3 p = moved.positions[moved.faces[f][size_t(k)]] - Float3{5, 0, 0};
            const Float3 expected = normalized({p.x, p.y / 4.0f, p.z / 0.25f});
            EXPECT_GT(dot(moved.normals[f][size_t(k)], expected), 0.95f);
        }
    // Rotations compose: a quarter turn about z four times is the identity.
    const Transform q = Transform::rotateZ(std::numbers::pi_v<float> / 2);
    const Float3 p = (q * q * q * q).point({1, 2, 3});
    EXPECT_NEAR(p.x, 1, 1e-5f);
    EXPECT_NEAR(p.y, 2, 1e-5f);
    EXPECT_NEAR(p.z, 3, 1e-5f);
    EXPECT_NEAR(q.point({1, 0, 0}).y, 1.0f, 1e-6f);  // right-handed: x turns towards y
}

TEST(MeshKit, TriangulatesConcaveOutlinesByArea) {
    const std::vector<Float2> star = {{0, 3}, {-1, 1}, {-3, 1}, {-1.5f, -0.5f}, {-2, -3}, {0, -1.5f}, {2, -3}, {1.5f, -0.5f}, {3, 1}, {1, 1}};
    const std::vector<Float2>& ccw = star;  // listed anticlockwise: top, left, bottom, right
    float outline = 0.0f;
    for (size_t i = 0; i < ccw.size(); ++i)
        outline += 0.5f * (ccw[i].u * ccw[(i + 1) % ccw.size()].v - ccw[(i + 1) % ccw.size()].u * ccw[i].v);
    ASSERT_GT(outline, 0.0f);
    const auto tris = triangulate(ccw);
    ASSERT_EQ(tris.size(), ccw.size() - 2);
    float sum = 0.0f;
    for (const auto& t : tris) {
        const Float2 a = ccw[t[0]], b = ccw[t[1]], c = ccw[t[2]];
        const float area = 0.5f * ((b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u));
        EXPECT_GT(area, 0.0f);
        sum += area;
    }
    EXPECT_NEAR(sum, outline, 1e-4f);
}

}  // namespace
}  // namespace hg::bake
