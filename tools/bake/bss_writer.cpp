#include "bake/bss_writer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "bake/byte_writer.h"
#include "bake/error.h"

namespace hg::bake {

namespace {

void point(ByteWriter& out, Float3 p) {
    out.float32(p.x);
    out.float32(p.y);
    out.float32(p.z);
}

void indices(ByteWriter& out, const std::array<uint32_t, 3>& f) {
    for (uint32_t i : f) out.float32(static_cast<float>(i));
}

void checkIndices(const std::string& what, const std::vector<std::array<uint32_t, 3>>& faces, size_t limit) {
    for (const auto& f : faces)
        for (uint32_t i : f)
            if (i >= limit) throw BakeError(what + ": index " + std::to_string(i) + " outside " + std::to_string(limit));
}

void encodeMaterial(ByteWriter& out, const SceneMaterial& m, const CornerRun& run) {
    out.string(m.baseTexture.empty() ? "None" : m.baseTexture);
    out.byte(m.twoSided ? 1 : 0);
    out.byte(m.reflectionTexture ? 1 : 0);
    if (m.reflectionTexture) out.string(*m.reflectionTexture);
    out.byte(m.illuminationTexture ? 1 : 0);
    if (m.illuminationTexture) out.string(*m.illuminationTexture);
    out.int32(run.firstCorner);
    out.int32(run.cornerCount);
    out.int32(run.materialIndex);
}

void encodeObject(ByteWriter& out, const SceneObject& o) {
    const std::string where = "object " + o.name;
    const size_t f = o.faces.size();
    const size_t entries = std::max(o.materials.size(), o.runs.size());
    if (entries > static_cast<size_t>(kMaxSceneMaterials)) throw BakeError(where + ": too many materials");
    if (o.texFaces.size() != f || o.normals.size() != f) throw BakeError(where + ": per-face arrays do not match the faces");
    if (o.lightmapTexture && o.lightmapFaces.size() != f) throw BakeError(where + ": lightmap faces do not match the faces");
    checkIndices(where + " faces", o.faces, o.positions.size());
    checkIndices(where + " texture faces", o.texFaces, o.texVertices.size());
    if (o.lightmapTexture) checkIndices(where + " lightmap faces", o.lightmapFaces, o.lightmapVertices.size());
    for (const CornerRun& run : o.runs) {
        if (run.firstCorner < 0 || run.cornerCount < 0 || size_t(run.firstCorner) + size_t(run.cornerCount) > 3 * f)
            throw BakeError(where + ": a run outside the object's corners");
        if (run.materialIndex < 0 || size_t(run.materialIndex) >= std::max<size_t>(o.materials.size(), 1))
            throw BakeError(where + ": a run names no material");
    }

    out.string(o.name);
    out.string(o.parentName);
    out.int32(static_cast<int32_t>(entries));
    for (size_t k = 0; k < entries; ++k) {
        const SceneMaterial material = k < o.materials.size() ? o.materials[k] : SceneMaterial{};
        const CornerRun run = k < o.runs.size() ? o.runs[k] : CornerRun{0, 0, static_cast<int32_t>(k)};
        encodeMaterial(out, material, run);
    }
    const bool lightmapped = o.lightmapTexture.has_value();
    out.int32(static_cast<int32_t>(o.positions.size()));
    out.int32(static_cast<int32_t>(f));
    out.int32(static_cast<int32_t>(o.texVertices.size()));
    out.int32(lightmapped ? static_cast<int32_t>(o.lightmapVertices.size()) : 0);
    out.int32(static_cast<int32_t>(f));
    out.byte(lightmapped ? 1 : 0);
    if (lightmapped) out.string(*o.lightmapTexture);
    for (Float3 p : o.positions) point(out, p);
    for (const auto& face : o.faces) indices(out, face);
    for (Float2 t : o.texVertices) point(out, {t.u, t.v, 0});
    if (lightmapped)
        for (Float2 t : o.lightmapVertices) point(out, {t.u, t.v, 0});
    for (const auto& face : o.texFaces) indices(out, face);
    // Without a lightmap the program skips the lightmap faces but the file still holds them.
    for (size_t i = 0; i < f; ++i) indices(out, lightmapped ? o.lightmapFaces[i] : std::array<uint32_t, 3>{0, 0, 0});
    for (const auto& corners : o.normals)
        for (Float3 n : corners) point(out, n);
}

void encodeKeys(ByteWriter& out, const std::vector<Float3>& positions, const std::vector<Rotation>& rotations) {
    for (Float3 p : positions) point(out, p);
    for (const Rotation& q : rotations)
        for (float c : q) out.float32(c);
}

}  // namespace

std::vector<uint8_t> encodeBss(const SceneFile& scene) {
    ByteWriter out;
    out.int32(static_cast<int32_t>(scene.objects.size()));
    for (const SceneObject& o : scene.objects) encodeObject(out, o);

    out.int32(static_cast<int32_t>(scene.portals.size()));
    for (const ScenePortal& p : scene.portals) {
        checkIndices("portal " + p.name, p.triangles, p.points.size());
        out.string(p.name);
        out.string(p.targetName);
        out.int32(static_cast<int32_t>(p.points.size()));
        for (Float3 v : p.points) point(out, v);
        out.int32(static_cast<int32_t>(p.triangles.size()));
        for (const auto& t : p.triangles) indices(out, t);
        point(out, p.normal);
    }

    out.int32(static_cast<int32_t>(scene.cameras.size()));
    for (const SceneCamera& c : scene.cameras) {
        const size_t n = c.positions.size();
        if (c.orientations.size() != n || c.fieldsOfView.size() != n) throw BakeError("camera keys of unequal counts");
        out.int32(static_cast<int32_t>(n));
        for (Float3 p : c.positions) point(out, p);
        for (const Rotation& q : c.orientations)
            for (float v : conjugate(q)) out.float32(v);
        for (float fov : c.fieldsOfView) out.float32(fov);
    }

    out.int32(static_cast<int32_t>(scene.markers.size()));
    for (const SceneMarker& m : scene.markers) {
        if (m.rotations.size() != m.positions.size()) throw BakeError("marker " + m.name + ": keys of unequal counts");
        out.string(m.name);
        out.string(m.parentName);
        out.int32(m.kind);
        out.int32(m.holdCount);
        out.int32(static_cast<int32_t>(m.positions.size()));
        encodeKeys(out, m.positions, m.rotations);
    }

    out.int32(static_cast<int32_t>(scene.lights.size()));
    for (const SceneLightDef& l : scene.lights) {
        if (l.names.size() > static_cast<size_t>(kMaxLightNames)) throw BakeError("a light names more than 39 nodes");
        point(out, l.position);
        point(out, l.colour);
        out.float32(l.reach);
        out.float32(l.unused);
        out.float32(l.intensity);
        out.float32(l.range);
        out.int32(static_cast<int32_t>(l.names.size()));
        for (const std::string& name : l.names) out.string(name);
    }
    return out.take();
}

Rotation rotationAbout(Float3 axis, float radians) {
    const Float3 a = normalized(axis);
    const float s = std::sin(0.5f * radians);
    return {a.x * s, a.y * s, a.z * s, std::cos(0.5f * radians)};
}

Rotation rotationMultiply(const Rotation& a, const Rotation& b) {
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1], a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3], a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

Rotation conjugate(const Rotation& q) { return {-q[0], -q[1], -q[2], q[3]}; }

Float3 rotate(const Rotation& q, Float3 v) {
    const Rotation r = rotationMultiply(rotationMultiply(q, {v.x, v.y, v.z, 0}), conjugate(q));
    return {r[0], r[1], r[2]};
}

Rotation lookRotation(Float3 forward, Float3 up) {
    const Float3 back = -normalized(forward);
    Float3 right = normalized(cross(up, back));
    if (length(right) < 0.5f) right = normalized(cross({0, 1, 0}, back));
    const Float3 top = cross(back, right);
    // Columns: camera x -> right, y -> top, z -> back.
    const float m00 = right.x, m01 = top.x, m02 = back.x;
    const float m10 = right.y, m11 = top.y, m12 = back.y;
    const float m20 = right.z, m21 = top.z, m22 = back.z;
    Rotation q;
    const float trace = m00 + m11 + m22;
    if (trace > 0) {
        const float s = 0.5f / std::sqrt(trace + 1.0f);
        q = {(m21 - m12) * s, (m02 - m20) * s, (m10 - m01) * s, 0.25f / s};
    } else if (m00 > m11 && m00 > m22) {
        const float s = 2.0f * std::sqrt(1.0f + m00 - m11 - m22);
        q = {0.25f * s, (m01 + m10) / s, (m02 + m20) / s, (m21 - m12) / s};
    } else if (m11 > m22) {
        const float s = 2.0f * std::sqrt(1.0f + m11 - m00 - m22);
        q = {(m01 + m10) / s, 0.25f * s, (m12 + m21) / s, (m02 - m20) / s};
    } else {
        const float s = 2.0f * std::sqrt(1.0f + m22 - m00 - m11);
        q = {(m02 + m20) / s, (m12 + m21) / s, 0.25f * s, (m10 - m01) / s};
    }
    const float n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (float& c : q) c /= n;
    return q;
}

SceneObject objectFromShape(const std::string& name, const Shape& shape, std::vector<int> faceMaterials,
                            std::vector<SceneMaterial> materials) {
    if (faceMaterials.size() != shape.faces.size()) throw BakeError(name + ": one material per face needed");
    SceneObject o;
    o.name = name;
    o.materials = std::move(materials);
    o.positions = shape.positions;
    std::vector<size_t> order(shape.faces.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return faceMaterials[a] < faceMaterials[b]; });
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t f = order[k];
        const int m = faceMaterials[f];
        if (m < 0 || size_t(m) >= o.materials.size()) throw BakeError(name + ": a face names no material");
        if (o.runs.empty() || o.runs.back().materialIndex != m)
            o.runs.push_back({static_cast<int32_t>(3 * k), 0, m});
        o.runs.back().cornerCount += 3;
        o.faces.push_back(shape.faces[f]);
        const auto base = static_cast<uint32_t>(o.texVertices.size());
        for (int c = 0; c < 3; ++c) o.texVertices.push_back(shape.uvs[f][c]);
        o.texFaces.push_back({base, base + 1, base + 2});
        o.normals.push_back(shape.normals[f]);
    }
    // One entry per run keeps entry k's material equal to entry k's run; runs are in material
    // order, so materials without faces follow as naming-only entries.
    std::vector<SceneMaterial> ordered;
    std::vector<int> newIndex(o.materials.size(), -1);
    for (CornerRun& run : o.runs) {
        newIndex[size_t(run.materialIndex)] = static_cast<int>(ordered.size());
        ordered.push_back(o.materials[size_t(run.materialIndex)]);
        run.materialIndex = newIndex[size_t(run.materialIndex)];
    }
    o.materials = std::move(ordered);
    return o;
}

}  // namespace hg::bake
