#pragma once
// The one shared array of vertices that holds all room and model geometry, so the whole static
// scene draws from a single vertex buffer.
#include <cstddef>
#include <cstdint>
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
