#include "scene/vertex_pool.h"

#include <algorithm>

namespace hg {

uint32_t VertexPool::append(const std::vector<Corner>& corners) {
    const auto first = static_cast<uint32_t>(size());
    if (released_) return first;
    // Room for the new corners, the capacity growing by half at least: thousands of small models
    // must not copy the whole pool once each.
    const size_t needed = vertices_.size() + corners.size();
    if (needed > vertices_.capacity()) vertices_.reserve(std::max(needed, vertices_.capacity() + vertices_.capacity() / 2));
    for (const Corner& c : corners) {
        vertices_.push_back({{c.position.x, c.position.y, c.position.z}, {c.normal.x, c.normal.y, c.normal.z}, {c.u, c.v}, {0, 0}});
    }
    return first;
}

uint32_t VertexPool::grow(size_t count) {
    const auto first = static_cast<uint32_t>(size());
    if (released_) return first;
    vertices_.resize(vertices_.size() + count, PoolVertex{});
    return first;
}

void VertexPool::releaseVertices() {
    releasedCount_ = vertices_.size();
    released_ = true;
    std::vector<PoolVertex>().swap(vertices_);
}

}  // namespace hg
