#pragma once
// The one shared array of vertices that holds all room and model geometry, so the whole static
// scene draws from a single vertex buffer.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <unordered_map>
#include <vector>

#include "scene/math.h"

namespace hg {

struct PoolVertex {
    float position[3];
    float normal[3];
    float uv[2];
    float lightmapUv[2];
};
static_assert(sizeof(PoolVertex) == 40, "pool vertices are 40 bytes: position 0, normal 12, uv 24, lightmap uv 32");

struct Corner {
    Vec3 position;
    Vec3 normal;
    float u, v;
};

static_assert(sizeof(Corner) == 32, "corners are eight floats without padding");

// The bits of a run of words, hashed (FNV-1a over the words).
template <size_t N>
uint64_t hashOfBits(const std::array<uint32_t, N>& words) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t word : words) h = (h ^ word) * 1099511628211ull;
    return h;
}

// The pool index of each vertex when the vertices take the pool from `first` on, except that a
// vertex equal to an earlier one bit for bit names that one: the same triangles from the same
// values, and the driver shades a vertex the faces share once instead of once a face.
template <typename Vertex>
std::vector<uint32_t> sharedVertexIndices(std::span<const Vertex> vertices, uint32_t first) {
    static_assert(sizeof(Vertex) % sizeof(uint32_t) == 0);
    using Key = std::array<uint32_t, sizeof(Vertex) / sizeof(uint32_t)>;
    struct KeyHash {
        size_t operator()(const Key& key) const { return static_cast<size_t>(hashOfBits(key)); }
    };
    std::vector<uint32_t> indices(vertices.size());
    std::unordered_map<Key, uint32_t, KeyHash> seen;
    seen.reserve(vertices.size());
    for (size_t k = 0; k < vertices.size(); ++k) {
        Key key;
        std::memcpy(key.data(), &vertices[k], sizeof(Vertex));
        indices[k] = seen.try_emplace(key, first + static_cast<uint32_t>(k)).first->second;
    }
    return indices;
}

// True when the indices name first, first + 1, ... in turn: the run they index, drawn as it stands.
inline bool namesItsRunInOrder(const std::vector<uint32_t>& indices, uint32_t first) {
    for (size_t k = 0; k < indices.size(); ++k) {
        if (indices[k] != first + k) return false;
    }
    return true;
}

class VertexPool {
public:
    // One vertex per corner (lightmap uv zero); returns the index of the first one.
    uint32_t append(const std::vector<Corner>& corners);
    // Grows the pool by `count` zeroed vertices for the caller to fill; returns the first index.
    uint32_t grow(size_t count);

    // The vertex count, also after the vertices were released.
    size_t size() const { return released_ ? releasedCount_ : vertices_.size(); }
    PoolVertex* data() { return vertices_.data(); }
    const PoolVertex* data() const { return vertices_.data(); }
    PoolVertex& operator[](size_t i) { return vertices_[i]; }
    const PoolVertex& operator[](size_t i) const { return vertices_[i]; }
    void clear() {
        vertices_.clear();
        released_ = false;
    }
    // Once the driver holds a copy (a vertex buffer), the pool's own memory goes: data() is then
    // null, size() stays, and the pool takes no more vertices.
    void releaseVertices();
    bool released() const { return released_; }

private:
    std::vector<PoolVertex> vertices_;
    bool released_ = false;
    size_t releasedCount_ = 0;
};

}  // namespace hg
