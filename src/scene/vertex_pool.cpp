#include "scene/vertex_pool.h"

namespace hg {

uint32_t VertexPool::append(const std::vector<Corner>& corners) {
    const auto first = static_cast<uint32_t>(vertices_.size());
    vertices_.reserve(vertices_.size() + corners.size());
    for (const Corner& c : corners) {
        vertices_.push_back({{c.position.x, c.position.y, c.position.z}, {c.normal.x, c.normal.y, c.normal.z}, {c.u, c.v}, {0, 0}});
    }
    return first;
}

uint32_t VertexPool::grow(size_t count) {
    const auto first = static_cast<uint32_t>(vertices_.size());
    vertices_.resize(vertices_.size() + count, PoolVertex{});
    return first;
}

}  // namespace hg
