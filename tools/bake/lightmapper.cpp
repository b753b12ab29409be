#include "bake/lightmapper.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>

#include "bake/ray_scene.h"

namespace hg::bake::room {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kSurfaceOffset = 0.1f;  // rays leave a surface this far along its normal

float fraction(float v) { return v - std::floor(v); }

// 0..1 from the texel's place, the same on every run.
float texelRotation(size_t surface, size_t texel) {
    uint32_t h = static_cast<uint32_t>(surface) * 0x9E3779B9u ^ static_cast<uint32_t>(texel) * 0x85EBCA6Bu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

// Direction `index` of `count`, cosine-weighted over the hemisphere round `n`.
Float3 hemisphere(Float3 n, int index, float rotation, float stream) {
    constexpr float g = 1.32471795724f;
    const float a = fraction(0.5f + static_cast<float>(index) / g + rotation + stream);
    const float b = fraction(0.5f + static_cast<float>(index) / (g * g) + rotation * 1.618034f);
    Float3 u, v;
    orthonormalBasis(n, u, v);
    const float r = std::sqrt(a), phi = 2.0f * kPi * b;
    return normalized(u * (r * std::cos(phi)) + v * (r * std::sin(phi)) + n * std::sqrt(std::max(0.0f, 1.0f - a)));
}

float smooth01(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

int scaled(int count, float scale) { return std::max(1, static_cast<int>(std::lround(static_cast<float>(count) * scale))); }

// Runs `work(i)` for i in 0..count-1 on the given number of threads, each taking every n-th.
template <typename Work>
void inParallel(size_t count, int threads, const Work& work) {
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            for (size_t i = static_cast<size_t>(t); i < count; i += static_cast<size_t>(threads)) work(i);
        });
    for (std::thread& thread : pool) thread.join();
}

// The light a surface sends on at a point of one of its faces: what its map holds there.
Float3 lightOnFace(const LitSurface& surface, const std::vector<Float3>& map, uint32_t face, float u, float v) {
    const auto& t = surface.layout.texelCorners[face];
    const float x = t[0].u * (1 - u - v) + t[1].u * u + t[2].u * v, y = t[0].v * (1 - u - v) + t[1].v * u + t[2].v * v;
    const int width = surface.layout.width;
    const int xi = std::clamp(static_cast<int>(x), 0, width - 1), yi = std::clamp(static_cast<int>(y), 0, surface.layout.height - 1);
    return map[static_cast<size_t>(yi) * static_cast<size_t>(width) + static_cast<size_t>(xi)];
}

// Each covered texel takes the mean of the covered texels of its own chart within `radius`.
std::vector<Float3> smoothWithinCharts(const std::vector<Float3>& values, const std::vector<TexelSample>& texels,
                                       const ChartLayout& layout, int radius) {
    const int width = layout.width, height = layout.height;
    std::vector<Float3> out = values;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            if (!texels[at].coverage) continue;
            const int chart = layout.faceChart[texels[at].face];
            Float3 sum{};
            float count = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                    const size_t n = static_cast<size_t>(ny) * static_cast<size_t>(width) + static_cast<size_t>(nx);
                    if (!texels[n].coverage || layout.faceChart[texels[n].face] != chart) continue;
                    if (dot(texels[n].normal, texels[at].normal) < 0.8f) continue;
                    sum = sum + values[n];
                    count += 1;
                }
            out[at] = sum * (1.0f / count);
        }
    return out;
}

}  // namespace

float toneMap(float v) {
    if (v < 0.75f) return std::max(v, 0.0f);
    return 0.75f + 0.25f * (1.0f - std::exp(-(v - 0.75f) / 0.25f));
}

Lightmapper::Lightmapper(std::vector<AreaLight> lights, LightmapSettings settings)
    : lights_(std::move(lights)), settings_(settings) {}

void Lightmapper::addSurface(LitSurface surface) { surfaces_.push_back(std::move(surface)); }

void Lightmapper::addOccluder(const Shape& shape) { occluders_.push_back(shape); }

Float3 Lightmapper::directLight(const RayScene& rays, Float3 p, Float3 n, float rotation) const {
    const Float3 origin = p + n * kSurfaceOffset;
    Float3 total{};
    for (const AreaLight& light : lights_) {
        const int count = scaled(light.samples, settings_.sampleScale);
        Float3 sum{};
        if (light.shape == LightShape::Directional) {
            for (int s = 0; s < count; ++s) {
                const Float3 l = samplePoint(light, s, rotation);
                const float c = dot(n, l);
                if (c > 0 && !rays.blockedAlong(origin, l, 5000.0f)) sum = sum + light.colour() * c;
            }
        } else {
            // Far or behind the surface: nothing to trace.
            const float extent = length(light.size);
            const Float3 toCentre = light.centre - p;
            const float nearest = std::max(length(toCentre) - extent, 0.0f) / light.falloff;
            if (light.strength / (1.0f + nearest * nearest) < 0.004f || dot(n, toCentre) < -extent) continue;
            for (int s = 0; s < count; ++s) {
                const Float3 q = samplePoint(light, s, rotation);
                const Float3 d = q - p;
                const float dist = std::max(length(d), 1.0f);
                const Float3 l = d * (1.0f / dist);
                float c = dot(n, l);
                if (c <= 0) continue;
                if (light.facing) c *= smooth01(0.15f + 1.1f * dot(*light.facing, -l));
                if (c <= 0) continue;
                const float r = dist / light.falloff;
                if (!rays.blocked(origin, q)) sum = sum + light.colour() * (c / (1.0f + r * r));
            }
        }
        total = total + sum * (1.0f / static_cast<float>(count));
    }
    return total;
}

std::vector<std::vector<Float3>> Lightmapper::bake() const {
    RayScene rays;
    for (const LitSurface& s : surfaces_) rays.add(s.shape.positions, s.shape.faces);
    for (const Shape& o : occluders_) rays.add(o.positions, o.faces);
    rays.commit();
    const int threads = settings_.threads > 0 ? settings_.threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));

    // Every covered texel of every surface, in one list the threads share.
    std::vector<std::vector<TexelSample>> texels;
    std::vector<std::pair<size_t, size_t>> work;
    for (size_t s = 0; s < surfaces_.size(); ++s) {
        texels.push_back(sampleTexels(surfaces_[s].shape, surfaces_[s].layout));
        for (size_t i = 0; i < texels[s].size(); ++i)
            if (texels[s][i].coverage) work.emplace_back(s, i);
    }
    auto blank = [&] {
        std::vector<std::vector<Float3>> maps;
        for (const auto& t : texels) maps.emplace_back(t.size());
        return maps;
    };

    // The direct light, and how open each texel is to the room.
    std::vector<std::vector<Float3>> direct = blank(), open = blank();
    const int occlusionRays = scaled(settings_.occlusionRays, settings_.sampleScale);
    inParallel(work.size(), threads, [&](size_t w) {
        const auto [s, i] = work[w];
        const TexelSample& t = texels[s][i];
        const float rotation = texelRotation(s, i);
        direct[s][i] = directLight(rays, t.position, t.normal, rotation);
        int free = 0;
        for (int k = 0; k < occlusionRays; ++k)
            if (!rays.blockedAlong(t.position + t.normal * kSurfaceOffset, hemisphere(t.normal, k, rotation, 0.37f), settings_.occlusionDistance))
                ++free;
        const float o = static_cast<float>(free) / static_cast<float>(occlusionRays);
        open[s][i] = {o, o, o};
    });
    for (size_t s = 0; s < surfaces_.size(); ++s) {
        open[s] = smoothWithinCharts(open[s], texels[s], surfaces_[s].layout, 1);
        for (size_t i = 0; i < direct[s].size(); ++i) direct[s][i] = direct[s][i] + settings_.ambient * open[s][i].x;
    }

    // One bounce: what the surfaces round a texel send on of the light they received.
    std::vector<std::vector<Float3>> bounce = blank();
    const int bounceRays = scaled(settings_.bounceRays, settings_.sampleScale);
    inParallel(work.size(), threads, [&](size_t w) {
        const auto [s, i] = work[w];
        const TexelSample& t = texels[s][i];
        const float rotation = texelRotation(s, i);
        Float3 sum{};
        for (int k = 0; k < bounceRays; ++k) {
            const Float3 dir = hemisphere(t.normal, k, rotation, 0.71f);
            const auto hit = rays.first(t.position + t.normal * kSurfaceOffset, dir, 5000.0f);
            if (!hit) {
                sum = sum + settings_.sky;
                continue;
            }
            if (!hit->front || hit->mesh >= static_cast<int>(surfaces_.size())) continue;
            const LitSurface& other = surfaces_[static_cast<size_t>(hit->mesh)];
            const Float3 albedo = other.faceAlbedo[hit->face];
            const Float3 received = lightOnFace(other, direct[static_cast<size_t>(hit->mesh)], hit->face, hit->u, hit->v);
            sum = sum + Float3{albedo.x * received.x, albedo.y * received.y, albedo.z * received.z};
        }
        bounce[s][i] = sum * (1.0f / static_cast<float>(bounceRays));
    });

    std::vector<std::vector<Float3>> light = blank();
    for (size_t s = 0; s < surfaces_.size(); ++s) {
        const std::vector<Float3> smooth = smoothWithinCharts(bounce[s], texels[s], surfaces_[s].layout, 2);
        for (size_t i = 0; i < light[s].size(); ++i)
            if (texels[s][i].coverage) light[s][i] = direct[s][i] + smooth[i];
    }
    return light;
}

}  // namespace hg::bake::room
