#include "bake/room_lightmap.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "bake/error.h"

namespace hg::bake::room {

namespace {

constexpr int kPad = 2;  // texels round every chart, filled by dilation so filtering stays inside

struct Chart {
    std::vector<size_t> faces;
    int axis = 0;  // the projection: u, v from the two other axes
    float minU = 0, minV = 0, width = 0, height = 0;
    int x = 0, y = 0, w = 0, h = 0;  // texels, padding included
};

float component(Float3 p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

int dominantAxis(Float3 n) {
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ax >= ay && ax >= az) return n.x >= 0 ? 0 : 1;
    if (ay >= az) return n.y >= 0 ? 2 : 3;
    return n.z >= 0 ? 4 : 5;
}

Float2 project(Float3 p, int axis) {
    const int a = axis == 0 ? 1 : 0, b = axis == 2 ? 1 : 2;
    return {component(p, a), component(p, b)};
}

// Shelf packing, tallest first; false when the charts do not fit in size × size.
bool pack(std::vector<Chart>& charts, int size, float texelsPerUnit) {
    std::vector<size_t> order(charts.size());
    for (size_t i = 0; i < order.size(); ++i) {
        Chart& c = charts[i];
        c.w = static_cast<int>(std::ceil(c.width * texelsPerUnit)) + 1 + 2 * kPad;
        c.h = static_cast<int>(std::ceil(c.height * texelsPerUnit)) + 1 + 2 * kPad;
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return charts[a].h > charts[b].h; });
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
        Chart& c = charts[i];
        if (c.w > size) return false;
        if (x + c.w > size) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        if (y + c.h > size) return false;
        c.x = x;
        c.y = y;
        x += c.w;
        shelf = std::max(shelf, c.h);
    }
    return true;
}

float smooth01(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

}  // namespace

float toneMap(float v) {
    if (v < 0.75f) return std::max(v, 0.0f);
    return 0.75f + 0.25f * (1.0f - std::exp(-(v - 0.75f) / 0.25f));
}

Float3 lightAt(const Lighting& lighting, Float3 p, Float3 n) {
    Float3 c = lighting.ambient * (0.8f + 0.2f * n.z);
    for (const LightSource& s : lighting.sources) {
        if (s.region) {
            const auto& [lo, hi] = *s.region;
            if (p.x < lo.x || p.y < lo.y || p.z < lo.z || p.x > hi.x || p.y > hi.y || p.z > hi.z) continue;
        }
        const Float3 d = s.position - p;
        const float dist = std::max(length(d), 1.0f);
        const Float3 l = d * (1.0f / dist);
        float k = std::max(0.0f, (dot(n, l) + 0.15f) / 1.15f);
        if (s.facing) k *= smooth01(0.15f + 1.1f * dot(*s.facing, -l));
        const float r = dist / s.falloff;
        c = c + s.colour * (k / (1.0f + r * r));
    }
    // Corners and the floor along the walls get less light; so does the floor under furniture.
    float occlusion = 1.0f;
    const float planes[6] = {p.x, kWidth - p.x, p.y, kDepth - p.y, p.z, kHeight - p.z};
    for (float d : planes)
        if (d > 1.5f && d < 120.0f) occlusion *= 1.0f - 0.35f * std::exp(-d / 22.0f);
    if (p.z < 3.0f) {
        for (const Footprint& f : lighting.footprints) {
            const float ex = std::max({f.x0 - p.x, p.x - f.x1, 0.0f}), ey = std::max({f.y0 - p.y, p.y - f.y1, 0.0f});
            const float e = std::sqrt(ex * ex + ey * ey);
            const float inside = std::min({p.x - f.x0, f.x1 - p.x, p.y - f.y0, f.y1 - p.y});
            const float cover = e > 0 ? 1.0f - smooth01(e / 14.0f) : 0.5f + 0.5f * smooth01(inside / 14.0f);
            occlusion *= 1.0f - f.strength * cover;
        }
    }
    return c * occlusion;
}

BakedObject bakeObject(const ObjectDef& def, const Lighting& lighting, const std::string& lightmapName) {
    // Parts in material order, so each material's faces form one run.
    std::vector<size_t> partOrder(def.parts.size());
    for (size_t i = 0; i < partOrder.size(); ++i) partOrder[i] = i;
    std::stable_sort(partOrder.begin(), partOrder.end(), [&](size_t a, size_t b) { return def.parts[a].material < def.parts[b].material; });
    Shape all;
    std::vector<int> faceMaterial, facePart;
    for (size_t i : partOrder) {
        const Part& part = def.parts[i];
        merge(all, part.shape);
        faceMaterial.insert(faceMaterial.end(), part.shape.faces.size(), part.material);
        facePart.insert(facePart.end(), part.shape.faces.size(), static_cast<int>(i));
    }
    BakedObject out;
    out.object = objectFromShape(def.name, all, faceMaterial, def.materials);
    out.object.parentName = def.parentName;
    if (def.lightmapSize <= 0) return out;

    // Charts: one per part and facing. Faces kept their order, so face f of the object is face f
    // of `all`.
    std::map<std::pair<int, int>, size_t> chartOf;
    std::vector<Chart> charts;
    for (size_t f = 0; f < all.faces.size(); ++f) {
        const int axis = dominantAxis(all.faceNormal(f));
        const auto key = std::make_pair(facePart[f], axis);
        auto [it, fresh] = chartOf.try_emplace(key, charts.size());
        if (fresh) {
            charts.push_back({});
            charts.back().axis = axis / 2;
        }
        charts[it->second].faces.push_back(f);
    }
    float area = 0.0f;
    for (Chart& c : charts) {
        float u0 = 1e30f, v0 = 1e30f, u1 = -1e30f, v1 = -1e30f;
        for (size_t f : c.faces)
            for (uint32_t i : all.faces[f]) {
                const Float2 q = project(all.positions[i], c.axis);
                u0 = std::min(u0, q.u), v0 = std::min(v0, q.v), u1 = std::max(u1, q.u), v1 = std::max(v1, q.v);
            }
        c.minU = u0, c.minV = v0, c.width = u1 - u0, c.height = v1 - v0;
        area += (c.width + 1.0f) * (c.height + 1.0f);
    }
    const int size = def.lightmapSize;
    float texelsPerUnit = std::min(2.0f, std::sqrt(0.7f * static_cast<float>(size * size) / std::max(area, 1.0f)));
    int attempts = 0;
    while (!pack(charts, size, texelsPerUnit)) {
        texelsPerUnit *= 0.92f;
        if (++attempts > 80) throw BakeError(def.name + ": charts do not fit the lightmap");
    }

    // Lightmap UVs per corner; texel (x, y) of the map has its centre at ((x + 0.5) / size,
    // (y + 0.5) / size), and row y of the picture is drawn at v = 1 - (y + 0.5) / size.
    out.object.lightmapFaces.resize(all.faces.size());
    std::vector<std::array<Float2, 3>> texelCorners(all.faces.size());
    for (const Chart& c : charts)
        for (size_t f : c.faces)
            for (int k = 0; k < 3; ++k) {
                const Float2 q = project(all.positions[all.faces[f][k]], c.axis);
                const Float2 t{static_cast<float>(c.x + kPad) + 0.5f + (q.u - c.minU) * texelsPerUnit,
                               static_cast<float>(c.y + kPad) + 0.5f + (q.v - c.minV) * texelsPerUnit};
                texelCorners[f][k] = t;
                const auto index = static_cast<uint32_t>(out.object.lightmapVertices.size());
                out.object.lightmapVertices.push_back({t.u / static_cast<float>(size), 1.0f - t.v / static_cast<float>(size)});
                out.object.lightmapFaces[f][static_cast<size_t>(k)] = index;
            }

    // Light every texel whose centre lies in a face (or just outside its edge).
    std::vector<Float3> light(static_cast<size_t>(size * size));
    std::vector<uint8_t> filled(light.size(), 0);
    for (size_t f = 0; f < all.faces.size(); ++f) {
        const auto& t = texelCorners[f];
        const float denom = (t[1].v - t[2].v) * (t[0].u - t[2].u) + (t[2].u - t[1].u) * (t[0].v - t[2].v);
        if (std::fabs(denom) < 1e-8f) continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({t[0].u, t[1].u, t[2].u})) - 1));
        const int x1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({t[0].u, t[1].u, t[2].u}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({t[0].v, t[1].v, t[2].v})) - 1));
        const int y1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({t[0].v, t[1].v, t[2].v}))));
        const Float3 p[3] = {all.positions[all.faces[f][0]], all.positions[all.faces[f][1]], all.positions[all.faces[f][2]]};
        const float slack = 0.7f / std::sqrt(std::fabs(denom));  // about half a texel in barycentric units
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                float a = ((t[1].v - t[2].v) * (px - t[2].u) + (t[2].u - t[1].u) * (py - t[2].v)) / denom;
                float b = ((t[2].v - t[0].v) * (px - t[2].u) + (t[0].u - t[2].u) * (py - t[2].v)) / denom;
                float c = 1.0f - a - b;
                const bool inside = a >= 0 && b >= 0 && c >= 0;
                if (!inside && (a < -slack || b < -slack || c < -slack)) continue;
                const size_t at = static_cast<size_t>(y * size + x);
                if (!inside && filled[at] == 2) continue;
                a = std::max(a, 0.0f), b = std::max(b, 0.0f), c = std::max(c, 0.0f);
                const float sum = a + b + c;
                a /= sum, b /= sum, c /= sum;
                const Float3 pos = p[0] * a + p[1] * b + p[2] * c;
                const auto& n = all.normals[f];
                const Float3 normal = normalized(n[0] * a + n[1] * b + n[2] * c);
                light[at] = lightAt(lighting, pos, normal);
                filled[at] = inside ? 2 : 1;
            }
    }
    // Dilate into the padding, then give what is left the average.
    for (int pass = 0; pass < kPad + 1; ++pass) {
        std::vector<uint8_t> next = filled;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const size_t at = static_cast<size_t>(y * size + x);
                if (filled[at]) continue;
                Float3 sum{};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= size || ny >= size) continue;
                        const size_t n = static_cast<size_t>(ny * size + nx);
                        if (filled[n]) sum = sum + light[n], ++count;
                    }
                if (count) light[at] = sum * (1.0f / static_cast<float>(count)), next[at] = 1;
            }
        filled = std::move(next);
    }
    Float3 mean{};
    int count = 0;
    for (size_t i = 0; i < light.size(); ++i)
        if (filled[i]) mean = mean + light[i], ++count;
    if (count) mean = mean * (1.0f / static_cast<float>(count));
    Canvas map(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const size_t at = static_cast<size_t>(y * size + x);
            const Float3 v = filled[at] ? light[at] : mean;
            map.at(x, size - 1 - y) = {toneMap(v.x), toneMap(v.y), toneMap(v.z), 1.0f};
        }
    out.lightmap = std::move(map);
    out.object.lightmapTexture = lightmapName;
    return out;
}

}  // namespace hg::bake::room
