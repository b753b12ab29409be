#include "bake/lightmap_charts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>


namespace hg::bake::room {

namespace {

// Faces whose normals part by more than this from a chart's first face start a chart of their own.
const float kChartCone = std::cos(38.0f * 3.14159265f / 180.0f);

struct Chart {
    std::vector<uint32_t> faces;
    Float3 axisU{}, axisV{};
    float minU = 0, minV = 0, width = 0, height = 0;
    float density = 1;  // texels per unit
};

// Faces by the positions they share: corners closer than a hundredth of a unit are one.
class FaceNeighbours {
public:
    explicit FaceNeighbours(const Shape& shape) {
        std::map<std::array<long, 3>, uint32_t> welded;
        std::vector<uint32_t> id(shape.positions.size());
        for (size_t i = 0; i < shape.positions.size(); ++i) {
            const Float3 p = shape.positions[i];
            const std::array<long, 3> key{std::lround(p.x * 100.0f), std::lround(p.y * 100.0f), std::lround(p.z * 100.0f)};
            id[i] = welded.try_emplace(key, static_cast<uint32_t>(welded.size())).first->second;
        }
        std::map<std::pair<uint32_t, uint32_t>, std::vector<uint32_t>> edges;
        for (size_t f = 0; f < shape.faces.size(); ++f)
            for (int k = 0; k < 3; ++k) {
                uint32_t a = id[shape.faces[f][static_cast<size_t>(k)]], b = id[shape.faces[f][static_cast<size_t>((k + 1) % 3)]];
                if (a > b) std::swap(a, b);
                if (a != b) edges[{a, b}].push_back(static_cast<uint32_t>(f));
            }
        neighbours_.resize(shape.faces.size());
        for (const auto& [edge, faces] : edges)
            for (uint32_t f : faces)
                for (uint32_t g : faces)
                    if (f != g) neighbours_[f].push_back(g);
    }
    const std::vector<uint32_t>& of(uint32_t face) const { return neighbours_[face]; }

private:
    std::vector<std::vector<uint32_t>> neighbours_;
};

// Flood fill over shared edges within a part, keeping to the first face's facing.
std::vector<Chart> growCharts(const Shape& shape, const std::vector<int>& facePart) {
    const FaceNeighbours neighbours(shape);
    std::vector<int> chartOf(shape.faces.size(), -1);
    std::vector<Chart> charts;
    for (uint32_t seed = 0; seed < shape.faces.size(); ++seed) {
        if (chartOf[seed] >= 0) continue;
        const int index = static_cast<int>(charts.size());
        charts.emplace_back();
        const Float3 seedNormal = shape.faceNormal(seed);
        std::vector<uint32_t> queue{seed};
        chartOf[seed] = index;
        for (size_t q = 0; q < queue.size(); ++q)
            for (uint32_t g : neighbours.of(queue[q])) {
                if (chartOf[g] >= 0 || facePart[g] != facePart[seed]) continue;
                if (dot(shape.faceNormal(g), seedNormal) < kChartCone) continue;
                chartOf[g] = index;
                queue.push_back(g);
            }
        std::sort(queue.begin(), queue.end());
        charts.back().faces = std::move(queue);
    }
    return charts;
}

Float3 centroid(const Shape& shape, uint32_t face) {
    const auto& f = shape.faces[face];
    return (shape.positions[f[0]] + shape.positions[f[1]] + shape.positions[f[2]]) * (1.0f / 3.0f);
}

Float2 projected(const Chart& c, Float3 p) { return {dot(p, c.axisU), dot(p, c.axisV)}; }

void measure(const Shape& shape, Chart& c) {
    float u0 = 1e30f, v0 = 1e30f, u1 = -1e30f, v1 = -1e30f;
    for (uint32_t f : c.faces)
        for (uint32_t i : shape.faces[f]) {
            const Float2 q = projected(c, shape.positions[i]);
            u0 = std::min(u0, q.u), v0 = std::min(v0, q.v), u1 = std::max(u1, q.u), v1 = std::max(v1, q.v);
        }
    c.minU = u0, c.minV = v0, c.width = u1 - u0, c.height = v1 - v0;
}

// Projects each chart along its mean normal and cuts the long ones into tiles.
std::vector<Chart> flatten(const Shape& shape, std::vector<Chart> grown, float tile) {
    std::vector<Chart> out;
    for (Chart& c : grown) {
        Float3 normal{};
        for (uint32_t f : c.faces) normal = normal + shape.faceNormal(f) * std::max(shape.faceArea(f), 1e-6f);
        if (length(normal) < 1e-9f) normal = {0, 0, 1};
        orthonormalBasis(normalized(normal), c.axisU, c.axisV);
        measure(shape, c);
        const int cols = std::max(1, static_cast<int>(std::ceil(c.width / tile)));
        const int rows = std::max(1, static_cast<int>(std::ceil(c.height / tile)));
        // A chart of a few large faces stays whole: each face would span its tile anyway.
        if ((cols == 1 && rows == 1) || c.faces.size() < 16) {
            out.push_back(std::move(c));
            continue;
        }
        std::vector<Chart> tiles(static_cast<size_t>(cols * rows));
        for (uint32_t f : c.faces) {
            const Float2 q = projected(c, centroid(shape, f));
            const int col = std::clamp(static_cast<int>((q.u - c.minU) / c.width * static_cast<float>(cols)), 0, cols - 1);
            const int row = std::clamp(static_cast<int>((q.v - c.minV) / c.height * static_cast<float>(rows)), 0, rows - 1);
            tiles[static_cast<size_t>(row * cols + col)].faces.push_back(f);
        }
        for (Chart& t : tiles) {
            if (t.faces.empty()) continue;
            t.axisU = c.axisU, t.axisV = c.axisV;
            measure(shape, t);
            out.push_back(std::move(t));
        }
    }
    return out;
}

Float3 middleOf(const Shape& shape, const Chart& c) {
    Float3 sum{};
    float weight = 0;
    for (uint32_t f : c.faces) {
        const float a = std::max(shape.faceArea(f), 1e-6f);
        sum = sum + centroid(shape, f) * a;
        weight += a;
    }
    return sum * (1.0f / weight);
}

ChartRect rectOf(const Chart& c) {
    const float d = c.density;  // texels per unit
    return {0, 0, static_cast<int>(std::ceil(c.width * d)) + 1 + 2 * kChartPadding,
            static_cast<int>(std::ceil(c.height * d)) + 1 + 2 * kChartPadding};
}

// Shelf packing, tallest first, in rows `width` wide; the height the rows take.
int pack(std::vector<ChartRect>& rects, int width) {
    std::vector<size_t> order(rects.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rects[a].h > rects[b].h; });
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
        ChartRect& r = rects[i];
        if (x + r.w > width) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        r.x = x, r.y = y;
        x += r.w;
        shelf = std::max(shelf, r.h);
    }
    return y + shelf;
}

}  // namespace

ChartLayout layOutCharts(const Shape& shape, const std::vector<int>& facePart, const ChartOptions& options) {
    std::vector<Chart> charts = flatten(shape, growCharts(shape, facePart), options.tile);
    for (Chart& c : charts) c.density = std::max(options.density(middleOf(shape, c)), 1e-3f);

    std::vector<ChartRect> rects(charts.size());
    double texels = 0;
    int widest = 1;
    for (size_t i = 0; i < charts.size(); ++i) {
        rects[i] = rectOf(charts[i]);
        texels += static_cast<double>(rects[i].w) * rects[i].h;
        widest = std::max(widest, rects[i].w);
    }
    const int width = std::max(widest, static_cast<int>(std::ceil(std::sqrt(texels * 1.15))));
    const int height = pack(rects, width);

    ChartLayout layout;
    layout.width = width;
    layout.height = height;
    layout.charts = rects;
    layout.faceChart.assign(shape.faces.size(), 0);
    layout.texelCorners.resize(shape.faces.size());
    for (size_t i = 0; i < charts.size(); ++i) {
        const Chart& c = charts[i];
        const float d = c.density;
        for (uint32_t f : c.faces) {
            layout.faceChart[f] = static_cast<int>(i);
            for (size_t k = 0; k < 3; ++k) {
                const Float2 q = projected(c, shape.positions[shape.faces[f][k]]);
                layout.texelCorners[f][k] = {static_cast<float>(rects[i].x + kChartPadding) + 0.5f + (q.u - c.minU) * d,
                                             static_cast<float>(rects[i].y + kChartPadding) + 0.5f + (q.v - c.minV) * d};
            }
        }
    }
    return layout;
}

std::vector<TexelSample> sampleTexels(const Shape& shape, const ChartLayout& layout) {
    const int width = layout.width, height = layout.height;
    std::vector<TexelSample> texels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        const auto& t = layout.texelCorners[f];
        const float denom = (t[1].v - t[2].v) * (t[0].u - t[2].u) + (t[2].u - t[1].u) * (t[0].v - t[2].v);
        if (std::fabs(denom) < 1e-8f) continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({t[0].u, t[1].u, t[2].u})) - 1));
        const int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({t[0].u, t[1].u, t[2].u}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({t[0].v, t[1].v, t[2].v})) - 1));
        const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({t[0].v, t[1].v, t[2].v}))));
        const Float3 p[3] = {shape.positions[shape.faces[f][0]], shape.positions[shape.faces[f][1]], shape.positions[shape.faces[f][2]]};
        const float slack = 0.7f / std::sqrt(std::fabs(denom));  // about half a texel in barycentric units
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                float a = ((t[1].v - t[2].v) * (px - t[2].u) + (t[2].u - t[1].u) * (py - t[2].v)) / denom;
                float b = ((t[2].v - t[0].v) * (px - t[2].u) + (t[0].u - t[2].u) * (py - t[2].v)) / denom;
                float c = 1.0f - a - b;
                const bool inside = a >= 0 && b >= 0 && c >= 0;
                if (!inside && (a < -slack || b < -slack || c < -slack)) continue;
                TexelSample& s = texels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
                if (!inside && s.coverage == 2) continue;
                // A texel next to an edge is lit where the face's nearest point is.
                a = std::max(a, 0.0f), b = std::max(b, 0.0f), c = std::max(c, 0.0f);
                const float sum = a + b + c;
                a /= sum, b /= sum, c /= sum;
                const auto& n = shape.normals[f];
                s.position = p[0] * a + p[1] * b + p[2] * c;
                s.normal = normalized(n[0] * a + n[1] * b + n[2] * c);
                s.face = static_cast<uint32_t>(f);
                s.coverage = inside ? 2 : 1;
            }
    }
    return texels;
}

}  // namespace hg::bake::room
