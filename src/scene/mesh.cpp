#include "scene/mesh.h"

#include <array>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace hg {

std::string shortNameOf(const std::string& markerName) {
    const size_t blank = markerName.find(' ');
    return blank == std::string::npos ? markerName : markerName.substr(blank + 1);
}

namespace {

// A position by its exact bits, so that equal points match and nothing else does.
using PointKey = std::array<uint32_t, 3>;

PointKey keyOf(const Vec3& p) {
    // Adding zero turns -0 into 0: the two are one point.
    const float coordinates[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
    PointKey key{};
    std::memcpy(key.data(), coordinates, sizeof coordinates);
    return key;
}

struct PointHash {
    size_t operator()(const PointKey& key) const { return static_cast<size_t>(hashOfBits(key)); }
};

}  // namespace

bool isClosedOutwardSurface(const std::vector<Corner>& corners) {
    if (corners.size() < 12 || corners.size() % 3 != 0) return false;
    std::unordered_map<PointKey, uint32_t, PointHash> points;
    points.reserve(corners.size());
    auto pointOf = [&points](const Vec3& p) {
        return points.emplace(keyOf(p), static_cast<uint32_t>(points.size())).first->second;
    };
    // Each directed edge between distinct points, counted: +1 walked from the lower point, -1 back.
    std::unordered_map<uint64_t, int> edges;
    edges.reserve(corners.size());
    double volume = 0.0;
    for (size_t f = 0; f < corners.size(); f += 3) {
        const Vec3& a = corners[f].position;
        const Vec3& b = corners[f + 1].position;
        const Vec3& c = corners[f + 2].position;
        const uint32_t ids[3] = {pointOf(a), pointOf(b), pointOf(c)};
        for (int k = 0; k < 3; ++k) {
            const uint32_t from = ids[k], to = ids[(k + 1) % 3];
            if (from == to) continue;
            int& count = edges[uint64_t{std::min(from, to)} << 32 | std::max(from, to)];
            const int step = from < to ? 1 : -1;
            // The same direction twice: two faces overlap or wind against each other.
            if (count == step) return false;
            count += step;
        }
        volume += static_cast<double>(dot(a, cross(b, c)));
    }
    for (const auto& [edge, count] : edges) {
        if (count != 0) return false;
    }
    return volume > 0.0;
}

}  // namespace hg
