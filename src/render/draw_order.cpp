#include "render/draw_order.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "scene/mesh_draw.h"
#include "scene/scene.h"

namespace hg {

bool drawsInAnyOrder(const SceneNode& node) {
    if (node.isAnimatedMesh || node.translucent) return false;
    if (node.isInstance) return true;
    return std::all_of(node.groups.begin(), node.groups.end(), [](const FaceGroup& group) { return drawsSolid(group); });
}

const std::vector<SceneNode*>& OpaqueDrawOrder::arrange(const std::vector<SceneNode*>& nodes, const Vec3& eye) {
    nearFirst_.clear();
    enclosingNearFirst_.clear();
    inListOrder_.clear();
    last_.clear();
    for (size_t i = 0; i < nodes.size(); ++i) {
        SceneNode* node = nodes[i];
        if (node->isAnimatedMesh) {
            last_.push_back(node);
        } else if (drawsInAnyOrder(*node)) {
            const Vec3 away = node->centre - eye;
            const float distance = dot(away, away);
            auto& list = node->enclosing ? enclosingNearFirst_ : nearFirst_;
            list.emplace_back(std::isfinite(distance) ? distance : FLT_MAX, i);
        } else {
            inListOrder_.push_back(node);
        }
    }
    order_.clear();
    appendNearestFirst(nodes, nearFirst_);
    // The walls, floor and ceiling lie behind whatever else is in view: drawn after it, most of
    // their hidden pixels fail the depth test before they are textured.
    appendNearestFirst(nodes, enclosingNearFirst_);
    order_.insert(order_.end(), inListOrder_.begin(), inListOrder_.end());
    order_.insert(order_.end(), last_.begin(), last_.end());
    return order_;
}

void OpaqueDrawOrder::appendNearestFirst(const std::vector<SceneNode*>& nodes, std::vector<std::pair<float, size_t>>& byDistance) {
    // Equal distances keep list order, so the order never depends on the sort's whims.
    std::sort(byDistance.begin(), byDistance.end());
    for (const auto& [distance, index] : byDistance) order_.push_back(nodes[index]);
}

}  // namespace hg
