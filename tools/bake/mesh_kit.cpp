#include "bake/mesh_kit.h"

#include <algorithm>
#include <map>
#include <numbers>
#include <tuple>

namespace hg::bake {

namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

float det3(const std::array<float, 12>& m) {
    return m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
           m[2] * (m[4] * m[9] - m[5] * m[8]);
}

// Adds a planar convex polygon whose points are in cyclic order, wound so it faces away from
// `inside`.
void addConvex(Shape& shape, std::span<const Float3> points, Float3 inside) {
    Float3 centre{};
    for (Float3 p : points) centre = centre + p;
    centre = centre * (1.0f / float(points.size()));
    Float3 n{};
    for (size_t i = 0; i < points.size(); ++i) n = n + cross(points[i] - centre, points[(i + 1) % points.size()] - centre);
    const bool reverse = dot(n, centre - inside) < 0.0f;
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < points.size(); ++i) ids.push_back(shape.addPosition(points[reverse ? points.size() - 1 - i : i]));
    for (size_t i = 1; i + 1 < ids.size(); ++i) shape.addFace(ids[0], ids[i], ids[i + 1]);
}

}  // namespace

Float3 normalized(Float3 a) {
    const float len = length(a);
    return len > 1e-12f ? a * (1.0f / len) : Float3{};
}

void orthonormalBasis(Float3 axis, Float3& u, Float3& v) {
    const Float3 helper = std::fabs(axis.z) < 0.9f ? Float3{0, 0, 1} : Float3{1, 0, 0};
    u = normalized(cross(helper, axis));
    v = cross(axis, u);
}

Transform Transform::translate(Float3 t) {
    Transform r;
    r.m[3] = t.x;
    r.m[7] = t.y;
    r.m[11] = t.z;
    return r;
}

Transform Transform::scale(Float3 s) {
    Transform r;
    r.m[0] = s.x;
    r.m[5] = s.y;
    r.m[10] = s.z;
    return r;
}

Transform Transform::rotate(Float3 axis, float radians) {
    const Float3 a = normalized(axis);
    const float c = std::cos(radians), s = std::sin(radians), t = 1.0f - c;
    Transform r;
    r.m = {t * a.x * a.x + c,       t * a.x * a.y - s * a.z, t * a.x * a.z + s * a.y, 0,
           t * a.x * a.y + s * a.z, t * a.y * a.y + c,       t * a.y * a.z - s * a.x, 0,
           t * a.x * a.z - s * a.y, t * a.y * a.z + s * a.x, t * a.z * a.z + c,       0};
    return r;
}

Transform Transform::frame(Float3 origin, Float3 up, Float3 side) {
    const Float3 z = normalized(up);
    Float3 x = normalized(side - z * dot(side, z));
    if (length(x) < 0.5f) x = normalized(cross(std::abs(z.z) < 0.9f ? Float3{0, 0, 1} : Float3{1, 0, 0}, z));
    const Float3 y = cross(z, x);
    Transform r;
    r.m = {x.x, y.x, z.x, origin.x, x.y, y.y, z.y, origin.y, x.z, y.z, z.z, origin.z};
    return r;
}

Transform Transform::operator*(const Transform& b) const {
    Transform r;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            float v = col == 3 ? m[row * 4 + 3] : 0.0f;
            for (int k = 0; k < 3; ++k) v += m[row * 4 + k] * b.m[k * 4 + col];
            r.m[row * 4 + col] = v;
        }
    }
    return r;
}

Float3 Transform::point(Float3 p) const {
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
            m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

Float3 Transform::vector(Float3 v) const {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z, m[8] * v.x + m[9] * v.y + m[10] * v.z};
}

Float3 Transform::normal(Float3 n) const {
    // The cofactor matrix is det × inverse transpose; only the sign of det matters after normalising.
    const float c00 = m[5] * m[10] - m[6] * m[9], c01 = m[6] * m[8] - m[4] * m[10], c02 = m[4] * m[9] - m[5] * m[8];
    const float c10 = m[2] * m[9] - m[1] * m[10], c11 = m[0] * m[10] - m[2] * m[8], c12 = m[1] * m[8] - m[0] * m[9];
    const float c20 = m[1] * m[6] - m[2] * m[5], c21 = m[2] * m[4] - m[0] * m[6], c22 = m[0] * m[5] - m[1] * m[4];
    const Float3 r{c00 * n.x + c10 * n.y + c20 * n.z, c01 * n.x + c11 * n.y + c21 * n.z, c02 * n.x + c12 * n.y + c22 * n.z};
    return normalized(det3(m) < 0.0f ? -r : r);
}

uint32_t Shape::addPosition(Float3 p) {
    positions.push_back(p);
    return uint32_t(positions.size() - 1);
}

void Shape::addFace(uint32_t a, uint32_t b, uint32_t c, Float2 ua, Float2 ub, Float2 uc) {
    faces.push_back({a, b, c});
    uvs.push_back({ua, ub, uc});
    const Float3 n = faceNormal(faces.size() - 1);
    normals.push_back({n, n, n});
}

void Shape::addQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, Float2 ua, Float2 ub, Float2 uc, Float2 ud) {
    addFace(a, b, c, ua, ub, uc);
    addFace(a, c, d, ua, uc, ud);
}

Float3 Shape::faceNormal(size_t face) const {
    const auto& f = faces[face];
    return normalized(cross(positions[f[1]] - positions[f[0]], positions[f[2]] - positions[f[0]]));
}

float Shape::faceArea(size_t face) const {
    const auto& f = faces[face];
    return 0.5f * length(cross(positions[f[1]] - positions[f[0]], positions[f[2]] - positions[f[0]]));
}

std::array<Float3, 2> Shape::bounds() const {
    if (positions.empty()) return {Float3{}, Float3{}};
    Float3 lo = positions[0], hi = positions[0];
    for (Float3 p : positions) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    return {lo, hi};
}

void merge(Shape& into, const Shape& part) {
    const uint32_t base = uint32_t(into.positions.size());
    into.positions.insert(into.positions.end(), part.positions.begin(), part.positions.end());
    for (const auto& f : part.faces) into.faces.push_back({f[0] + base, f[1] + base, f[2] + base});
    into.uvs.insert(into.uvs.end(), part.uvs.begin(), part.uvs.end());
    into.normals.insert(into.normals.end(), part.normals.begin(), part.normals.end());
}

Shape merged(std::span<const Shape> parts) {
    Shape out;
    for (const Shape& part : parts) merge(out, part);
    return out;
}

void apply(Shape& shape, const Transform& transform) {
    for (Float3& p : shape.positions) p = transform.point(p);
    for (auto& corner : shape.normals)
        for (Float3& n : corner) n = transform.normal(n);
    if (det3(transform.m) < 0.0f) {
        // A mirror turns the winding round; swap two corners so the faces face outwards again,
        // keeping the normals (already mirrored above).
        for (size_t f = 0; f < shape.faces.size(); ++f) {
            std::swap(shape.faces[f][1], shape.faces[f][2]);
            std::swap(shape.uvs[f][1], shape.uvs[f][2]);
            std::swap(shape.normals[f][1], shape.normals[f][2]);
        }
    }
}

Shape transformed(Shape shape, const Transform& transform) {
    apply(shape, transform);
    return shape;
}

void flip(Shape& shape) {
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        std::swap(shape.faces[f][1], shape.faces[f][2]);
        std::swap(shape.uvs[f][1], shape.uvs[f][2]);
        std::swap(shape.normals[f][1], shape.normals[f][2]);
        for (Float3& n : shape.normals[f]) n = -n;
    }
}

void smoothNormals(Shape& shape, float creaseDegrees, float weld) {
    // Group positions that coincide (within `weld`) so seams of primitives smooth across.
    std::map<std::tuple<long, long, long>, uint32_t> groupOf;
    std::vector<uint32_t> group(shape.positions.size());
    for (size_t i = 0; i < shape.positions.size(); ++i) {
        const Float3 p = shape.positions[i];
        const auto key = std::make_tuple(std::lround(p.x / weld), std::lround(p.y / weld), std::lround(p.z / weld));
        group[i] = groupOf.emplace(key, uint32_t(groupOf.size())).first->second;
    }
    std::vector<std::vector<uint32_t>> facesAt(groupOf.size());
    std::vector<Float3> faceNormals(shape.faces.size());
    std::vector<float> faceAreas(shape.faces.size());
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        faceNormals[f] = shape.faceNormal(f);
        faceAreas[f] = shape.faceArea(f);
        for (uint32_t p : shape.faces[f]) {
            auto& list = facesAt[group[p]];
            if (list.empty() || list.back() != f) list.push_back(uint32_t(f));
        }
    }
    const float limit = std::cos(std::clamp(creaseDegrees, 0.0f, 180.0f) * std::numbers::pi_v<float> / 180.0f) - 1e-5f;
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        const Float3 own = faceNormals[f];
        for (int k = 0; k < 3; ++k) {
            Float3 sum{};
            for (uint32_t other : facesAt[group[shape.faces[f][k]]]) {
                if (other == f || dot(faceNormals[other], own) >= limit) sum = sum + faceNormals[other] * faceAreas[other];
            }
            Float3 n = normalized(sum);
            if (length(n) < 0.5f) n = length(own) > 0.5f ? own : Float3{0, 0, 1};
            shape.normals[f][k] = n;
        }
    }
}

void planarUv(Shape& shape, int axis, float scale, Float2 offset) {
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        for (int k = 0; k < 3; ++k) {
            const Float3 p = shape.positions[shape.faces[f][k]];
            const Float2 a = axis == 0 ? Float2{p.y, p.z} : axis == 1 ? Float2{p.x, p.z} : Float2{p.x, p.y};
            shape.uvs[f][k] = {a.u * scale + offset.u, a.v * scale + offset.v};
        }
    }
}

void boxUv(Shape& shape, float scale, Float2 offset) {
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        const Float3 n = shape.faceNormal(f);
        const float ax = std::abs(n.x), ay = std::abs(n.y), az = std::abs(n.z);
        for (int k = 0; k < 3; ++k) {
            const Float3 p = shape.positions[shape.faces[f][k]];
            Float2 a;
            // Mirror u on the far sides so the texture reads the right way round from outside.
            if (az >= ax && az >= ay) a = {n.z >= 0 ? p.x : -p.x, p.y};
            else if (ax >= ay) a = {n.x >= 0 ? p.y : -p.y, p.z};
            else a = {n.y >= 0 ? -p.x : p.x, p.z};
            shape.uvs[f][k] = {a.u * scale + offset.u, a.v * scale + offset.v};
        }
    }
}

void cylindricalUv(Shape& shape, Float3 centre, float uRepeat, float vScale) {
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        std::array<float, 3> u{};
        for (int k = 0; k < 3; ++k) {
            const Float3 d = shape.positions[shape.faces[f][k]] - centre;
            u[k] = (std::abs(d.x) + std::abs(d.y) < 1e-6f) ? -1.0f : std::atan2(d.y, d.x) / kTau + 0.5f;
        }
        // A corner on the axis takes the turn of the rest of its face.
        float known = 0.0f;
        int count = 0;
        for (float v : u)
            if (v >= 0.0f) known += v, ++count;
        for (float& v : u)
            if (v < 0.0f) v = count ? known / float(count) : 0.5f;
        // A face across the seam: lift the corners on the low side by one turn.
        const float hi = *std::max_element(u.begin(), u.end());
        for (float& v : u)
            if (hi - v > 0.5f) v += 1.0f;
        for (int k = 0; k < 3; ++k) {
            const Float3 d = shape.positions[shape.faces[f][k]] - centre;
            shape.uvs[f][k] = {u[k] * uRepeat, d.z * vScale};
        }
    }
}

void fitUv(Shape& shape, float u0, float v0, float u1, float v1) {
    for (auto& face : shape.uvs) {
        const float cu = std::floor((face[0].u + face[1].u + face[2].u) / 3.0f);
        const float cv = std::floor((face[0].v + face[1].v + face[2].v) / 3.0f);
        for (Float2& uv : face) {
            const float u = std::clamp(uv.u - cu, 0.0f, 1.0f), v = std::clamp(uv.v - cv, 0.0f, 1.0f);
            uv = {u0 + u * (u1 - u0), v0 + v * (v1 - v0)};
        }
    }
}

void solidUv(Shape& shape, Float2 uv) {
    for (auto& face : shape.uvs) face = {uv, uv, uv};
}

Shape box(Float3 size, float bevel) {
    const Float3 h = size * 0.5f;
    const float b = std::clamp(bevel, 0.0f, std::min({h.x, h.y, h.z}) * 0.999f);
    const Float3 in{h.x - b, h.y - b, h.z - b};
    Shape s;
    auto coord = [](Float3 p, int a) { return a == 0 ? p.x : a == 1 ? p.y : p.z; };
    auto make = [](int a, float va, int c, float vc, int d, float vd) {
        Float3 p;
        (a == 0 ? p.x : a == 1 ? p.y : p.z) = va;
        (c == 0 ? p.x : c == 1 ? p.y : p.z) = vc;
        (d == 0 ? p.x : d == 1 ? p.y : p.z) = vd;
        return p;
    };
    // Six faces.
    for (int a = 0; a < 3; ++a) {
        const int c = (a + 1) % 3, d = (a + 2) % 3;
        for (float sign : {-1.0f, 1.0f}) {
            const float va = sign * coord(h, a), ic = coord(in, c), id = coord(in, d);
            const Float3 quad[] = {make(a, va, c, -ic, d, -id), make(a, va, c, ic, d, -id), make(a, va, c, ic, d, id),
                                   make(a, va, c, -ic, d, id)};
            addConvex(s, quad, {});
        }
    }
    if (b > 0.0f) {
        // Twelve edge strips and eight corner triangles.
        for (int a = 0; a < 3; ++a) {
            const int c = (a + 1) % 3, d = (a + 2) % 3;
            for (float sa : {-1.0f, 1.0f}) {
                for (float sc : {-1.0f, 1.0f}) {
                    const float id = coord(in, d);
                    const Float3 quad[] = {make(a, sa * coord(h, a), c, sc * coord(in, c), d, -id),
                                           make(a, sa * coord(in, a), c, sc * coord(h, c), d, -id),
                                           make(a, sa * coord(in, a), c, sc * coord(h, c), d, id),
                                           make(a, sa * coord(h, a), c, sc * coord(in, c), d, id)};
                    addConvex(s, quad, {});
                }
            }
        }
        for (float sx : {-1.0f, 1.0f})
            for (float sy : {-1.0f, 1.0f})
                for (float sz : {-1.0f, 1.0f}) {
                    const Float3 tri[] = {{sx * h.x, sy * in.y, sz * in.z}, {sx * in.x, sy * h.y, sz * in.z},
                                          {sx * in.x, sy * in.y, sz * h.z}};
                    addConvex(s, tri, {});
                }
    }
    boxUv(s, 1.0f / std::max({size.x, size.y, size.z, 1e-6f}), {0.5f, 0.5f});
    return s;
}

Shape lathe(std::span<const Float2> profile, int segments, float startTurn) {
    Shape s;
    if (profile.size() < 2 || segments < 3) return s;
    std::vector<float> along(profile.size(), 0.0f);
    for (size_t i = 1; i < profile.size(); ++i)
        along[i] = along[i - 1] + std::hypot(profile[i].u - profile[i - 1].u, profile[i].v - profile[i - 1].v);
    const float total = std::max(along.back(), 1e-6f);
    // One ring per profile point, with a repeated seam column for the UVs; the seam column takes
    // the exact positions of the first so welding joins them.
    std::vector<uint32_t> first(profile.size());
    for (size_t i = 0; i < profile.size(); ++i) {
        first[i] = uint32_t(s.positions.size());
        for (int j = 0; j <= segments; ++j) {
            const float a = kTau * (float(j % segments) / float(segments) + startTurn);
            s.addPosition({profile[i].u * std::cos(a), profile[i].u * std::sin(a), profile[i].v});
        }
    }
    const float eps = 1e-6f;
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        const bool lowPole = std::abs(profile[i].u) < eps, highPole = std::abs(profile[i + 1].u) < eps;
        if (lowPole && highPole) continue;
        for (int j = 0; j < segments; ++j) {
            const uint32_t a = first[i] + j, b = a + 1, d = first[i + 1] + j, c = d + 1;
            const float u0 = float(j) / float(segments), u1 = float(j + 1) / float(segments), um = 0.5f * (u0 + u1);
            const float v0 = along[i] / total, v1 = along[i + 1] / total;
            if (lowPole) s.addFace(a, c, d, {um, v0}, {u1, v1}, {u0, v1});
            else if (highPole) s.addFace(a, b, c, {u0, v0}, {u1, v0}, {um, v1});
            else s.addQuad(a, b, c, d, {u0, v0}, {u1, v0}, {u1, v1}, {u0, v1});
        }
    }
    return s;
}

Shape cylinder(float r0, float r1, float height, int segments, bool caps) {
    std::vector<Float2> profile;
    if (caps && r0 > 0.0f) profile.push_back({0.0f, 0.0f});
    profile.push_back({r0, 0.0f});
    profile.push_back({r1, height});
    if (caps && r1 > 0.0f) profile.push_back({0.0f, height});
    return lathe(profile, segments);
}

Shape sphere(float radius, int segments, int rings) {
    std::vector<Float2> profile;
    for (int i = 0; i <= rings; ++i) {
        const float a = std::numbers::pi_v<float> * float(i) / float(rings);
        profile.push_back({i == 0 || i == rings ? 0.0f : radius * std::sin(a), -radius * std::cos(a)});
    }
    return lathe(profile, segments);
}

Shape torus(float major, float minor, int segments, int sides) {
    std::vector<Float2> profile;
    // Counter-clockwise round the tube's section (radius to the right, z up), so the faces point
    // out of the tube.
    for (int i = 0; i <= sides; ++i) {
        const float a = kTau * float(i % sides) / float(sides);
        profile.push_back({major + minor * std::cos(a), minor * std::sin(a)});
    }
    return lathe(profile, segments);
}

std::vector<Float2> circleOutline(float radius, int sides, float startTurn) {
    std::vector<Float2> out;
    for (int i = 0; i < sides; ++i) {
        const float a = kTau * (float(i) / float(sides) + startTurn);
        out.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    return out;
}

std::vector<std::array<uint32_t, 3>> triangulate(std::span<const Float2> outline) {
    std::vector<std::array<uint32_t, 3>> out;
    std::vector<uint32_t> left(outline.size());
    for (size_t i = 0; i < left.size(); ++i) left[i] = uint32_t(i);
    auto crossAt = [&](Float2 a, Float2 b, Float2 c) { return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u); };
    auto inside = [&](Float2 p, Float2 a, Float2 b, Float2 c) {
        return crossAt(a, b, p) >= 0.0f && crossAt(b, c, p) >= 0.0f && crossAt(c, a, p) >= 0.0f;
    };
    while (left.size() > 3) {
        bool clipped = false;
        for (size_t i = 0; i < left.size(); ++i) {
            const uint32_t ia = left[(i + left.size() - 1) % left.size()], ib = left[i], ic = left[(i + 1) % left.size()];
            const Float2 a = outline[ia], b = outline[ib], c = outline[ic];
            if (crossAt(a, b, c) <= 0.0f) continue;  // reflex or straight
            bool empty = true;
            for (uint32_t other : left) {
                if (other == ia || other == ib || other == ic) continue;
                if (inside(outline[other], a, b, c)) {
                    empty = false;
                    break;
                }
            }
            if (!empty) continue;
            out.push_back({ia, ib, ic});
            left.erase(left.begin() + std::ptrdiff_t(i));
            clipped = true;
            break;
        }
        if (!clipped) break;  // not a simple counter-clockwise outline: stop rather than loop
    }
    if (left.size() == 3) out.push_back({left[0], left[1], left[2]});
    return out;
}

Shape extrude(std::span<const Float2> outline, float depth) {
    Shape s;
    const auto tris = triangulate(outline);
    const uint32_t n = uint32_t(outline.size());
    // Caps: bottom (facing down) then top.
    for (int cap = 0; cap < 2; ++cap) {
        const uint32_t base = uint32_t(s.positions.size());
        for (Float2 p : outline) s.addPosition({p.u, p.v, cap ? depth : 0.0f});
        for (const auto& t : tris) {
            const Float2 a = outline[t[0]], b = outline[t[1]], c = outline[t[2]];
            if (cap) s.addFace(base + t[0], base + t[1], base + t[2], a, b, c);
            else s.addFace(base + t[0], base + t[2], base + t[1], a, c, b);
        }
    }
    float along = 0.0f;
    for (uint32_t i = 0; i < n; ++i) {
        const Float2 p = outline[i], q = outline[(i + 1) % n];
        const float len = std::hypot(q.u - p.u, q.v - p.v);
        const uint32_t a = s.addPosition({p.u, p.v, 0.0f}), b = s.addPosition({q.u, q.v, 0.0f});
        const uint32_t c = s.addPosition({q.u, q.v, depth}), d = s.addPosition({p.u, p.v, depth});
        s.addQuad(a, b, c, d, {along, 0.0f}, {along + len, 0.0f}, {along + len, depth}, {along, depth});
        along += len;
    }
    return s;
}

Shape sweep(std::span<const Float2> section, std::span<const Float3> path, bool closedPath, float vScale,
            std::span<const Float2> scales) {
    Shape s;
    const size_t n = path.size(), m = section.size();
    if (n < 2 || m < 2) return s;
    auto tangentAt = [&](size_t i) {
        if (closedPath) return normalized(path[(i + 1) % n] - path[(i + n - 1) % n]);
        if (i == 0) return normalized(path[1] - path[0]);
        if (i == n - 1) return normalized(path[n - 1] - path[n - 2]);
        return normalized(path[i + 1] - path[i - 1]);
    };
    // Parallel transport of the section's x axis, started from "up" where it can be.
    Float3 side;
    {
        const Float3 t = tangentAt(0);
        const Float3 up = std::abs(t.z) < 0.95f ? Float3{0, 0, 1} : Float3{1, 0, 0};
        side = normalized(up - t * dot(up, t));
    }
    const size_t rings = closedPath ? n + 1 : n;
    for (size_t i = 0; i < rings; ++i) {
        if (closedPath && i == n) {
            // The first ring again, exactly, so the closing seam welds.
            for (size_t k = 0; k <= m; ++k) s.addPosition(s.positions[k]);
            break;
        }
        const Float3 t = tangentAt(i);
        side = normalized(side - t * dot(side, t));
        const Float3 bi = cross(t, side);
        for (size_t k = 0; k <= m; ++k) {
            Float2 q = section[k % m];
            if (i < scales.size()) q = {q.u * scales[i].u, q.v * scales[i].v};
            s.addPosition(path[i] + side * q.u + bi * q.v);
        }
    }
    // UVs: u by the section's length, v by the path's length.
    std::vector<float> uAt(m + 1, 0.0f);
    for (size_t k = 1; k <= m; ++k)
        uAt[k] = uAt[k - 1] + std::hypot(section[k % m].u - section[k - 1].u, section[k % m].v - section[k - 1].v);
    const float uTotal = std::max(uAt[m], 1e-6f);
    std::vector<float> vAt(rings, 0.0f);
    for (size_t i = 1; i < rings; ++i) vAt[i] = vAt[i - 1] + length(path[i % n] - path[i - 1]);
    for (size_t i = 0; i + 1 < rings; ++i) {
        for (size_t k = 0; k < m; ++k) {
            const uint32_t a = uint32_t(i * (m + 1) + k), b = a + 1, d = uint32_t((i + 1) * (m + 1) + k), c = d + 1;
            s.addQuad(a, b, c, d, {uAt[k] / uTotal, vAt[i] * vScale}, {uAt[k + 1] / uTotal, vAt[i] * vScale},
                      {uAt[k + 1] / uTotal, vAt[i + 1] * vScale}, {uAt[k] / uTotal, vAt[i + 1] * vScale});
        }
    }
    return s;
}

}  // namespace hg::bake
