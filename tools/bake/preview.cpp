#include "bake/preview.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace hg::bake {

namespace {

Pixel sample(const Canvas* texture, Float2 uv) {
    if (!texture || texture->width() == 0) return {0.8f, 0.8f, 0.8f, 1.0f};
    const float u = uv.u - std::floor(uv.u), v = uv.v - std::floor(uv.v);
    const int x = std::clamp(int(u * float(texture->width())), 0, texture->width() - 1);
    // v runs up the picture, rows run down.
    const int y = std::clamp(int((1.0f - v) * float(texture->height())), 0, texture->height() - 1);
    return texture->at(x, y);
}

}  // namespace

Canvas renderPreview(const Model& model, const std::map<std::string, Canvas>& textures, int width, int height,
                     const PreviewView& view) {
    Canvas out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float t = float(y) / float(height);
            out.at(x, y) = {0.10f + 0.10f * t, 0.09f + 0.07f * t, 0.12f + 0.03f * t, 1.0f};
        }
    Float3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const ModelObject& o : model.objects) {
        if (o.name == "CollMesh" || o.shape.positions.empty()) continue;
        const auto b = o.shape.bounds();
        lo = {std::min(lo.x, b[0].x), std::min(lo.y, b[0].y), std::min(lo.z, b[0].z)};
        hi = {std::max(hi.x, b[1].x), std::max(hi.y, b[1].y), std::max(hi.z, b[1].z)};
    }
    if (lo.x > hi.x) return out;
    const Float3 centre = (lo + hi) * 0.5f;
    const float radius = std::max(0.5f * length(hi - lo), 1e-3f);
    const float deg = std::numbers::pi_v<float> / 180.0f;
    const Float3 dir{std::cos(view.pitchDegrees * deg) * std::cos(view.yawDegrees * deg),
                     std::cos(view.pitchDegrees * deg) * std::sin(view.yawDegrees * deg), std::sin(view.pitchDegrees * deg)};
    const float fov = 35.0f * deg;
    const float distance = radius / std::sin(fov * 0.5f) / view.zoom;
    const Float3 eye = centre + dir * distance;
    const Float3 forward = -dir;
    const Float3 right = normalized(cross(forward, {0, 0, 1}));
    const Float3 up = cross(right, forward);
    const float focal = 0.5f * float(std::min(width, height)) / std::tan(fov * 0.5f);
    const Float3 key = normalized(right * -0.5f + up * 0.8f + dir * 0.6f);
    const Float3 fill = normalized(right * 0.7f + up * 0.1f + dir * 0.4f);

    std::vector<float> depth(size_t(width) * size_t(height), std::numeric_limits<float>::max());
    struct Projected {
        float x, y, invZ;
    };
    auto project = [&](Float3 p) {
        const Float3 d = p - eye;
        const float z = std::max(dot(d, forward), 1e-3f);
        return Projected{0.5f * float(width) + dot(d, right) / z * focal, 0.5f * float(height) - dot(d, up) / z * focal, 1.0f / z};
    };
    for (const ModelObject& o : model.objects) {
        if (o.name == "CollMesh") continue;
        auto find = [&](const std::string& name) {
            auto it = textures.find(name);
            return it == textures.end() ? nullptr : &it->second;
        };
        const Canvas* base = find(o.material.baseTexture);
        const Canvas* glow = o.material.illuminationTexture ? find(*o.material.illuminationTexture) : nullptr;
        const Shape& s = o.shape;
        for (size_t f = 0; f < s.faces.size(); ++f) {
            const Float3 p0 = s.positions[s.faces[f][0]];
            if (dot(s.faceNormal(f), eye - p0) <= 0.0f) continue;
            Projected q[3];
            for (int k = 0; k < 3; ++k) q[k] = project(s.positions[s.faces[f][k]]);
            const float area = (q[1].x - q[0].x) * (q[2].y - q[0].y) - (q[1].y - q[0].y) * (q[2].x - q[0].x);
            if (std::abs(area) < 1e-9f) continue;
            const int x0 = std::max(0, int(std::floor(std::min({q[0].x, q[1].x, q[2].x}))));
            const int x1 = std::min(width - 1, int(std::ceil(std::max({q[0].x, q[1].x, q[2].x}))));
            const int y0 = std::max(0, int(std::floor(std::min({q[0].y, q[1].y, q[2].y}))));
            const int y1 = std::min(height - 1, int(std::ceil(std::max({q[0].y, q[1].y, q[2].y}))));
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    const float px = float(x) + 0.5f, py = float(y) + 0.5f;
                    float w[3];
                    for (int k = 0; k < 3; ++k) {
                        const Projected& a = q[(k + 1) % 3];
                        const Projected& b = q[(k + 2) % 3];
                        w[k] = ((b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x)) / area;
                    }
                    if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
                    const float invZ = w[0] * q[0].invZ + w[1] * q[1].invZ + w[2] * q[2].invZ;
                    const float z = 1.0f / invZ;
                    float& stored = depth[size_t(y) * size_t(width) + size_t(x)];
                    if (z >= stored) continue;
                    stored = z;
                    Float2 uv{};
                    Float3 n{};
                    for (int k = 0; k < 3; ++k) {
                        const float pw = w[k] * q[k].invZ * z;
                        uv = {uv.u + s.uvs[f][k].u * pw, uv.v + s.uvs[f][k].v * pw};
                        n = n + s.normals[f][k] * pw;
                    }
                    n = normalized(n);
                    const float light = 0.22f + 0.85f * std::max(0.0f, dot(n, key)) + 0.25f * std::max(0.0f, dot(n, fill));
                    const Pixel t = sample(base, uv);
                    Pixel c{t.r * light * 1.05f, t.g * light * 0.97f, t.b * light * 0.9f, 1.0f};
                    if (glow) {
                        const Pixel g = sample(glow, uv);
                        c = {c.r + g.r, c.g + g.g, c.b + g.b, 1.0f};
                    }
                    out.at(x, y) = {std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f), 1.0f};
                }
            }
        }
    }
    for (const Marker& m : model.markers) {
        const Projected p = project(m.position);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = int(p.x) + dx, y = int(p.y) + dy;
                if (out.contains(x, y)) out.at(x, y) = {1.0f, 0.1f, 0.9f, 1.0f};
            }
    }
    return out;
}

}  // namespace hg::bake
