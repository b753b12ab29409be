#include "render/draw_order.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "scene/face_group.h"
#include "scene/scene.h"

namespace hg {

bool drawsInAnyOrder(const SceneNode& node) {
    if (node.isAnimatedMesh || node.translucent) return false;
    if (node.isInstance) return true;
    return std::all_of(node.groups.begin(), node.groups.end(), [](const FaceGroup& group) {
        return group.opaqueBase && !group.additive && !group.hasReflection;
    });
}

const std::vector<SceneNode*>& OpaqueDrawOrder::arrange(const std::vector<SceneNode*>& nodes, const Vec3& eye) {
    nearFirst_.clear();
    order_.clear();
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!drawsInAnyOrder(*nodes[i])) continue;
        const Vec3 away = nodes[i]->centre - eye;
        const float distance = dot(away, away);
        nearFirst_.emplace_back(std::isfinite(distance) ? distance : FLT_MAX, i);
    }
    // Equal distances keep list order, so the order never depends on the sort's whims.
    std::sort(nearFirst_.begin(), nearFirst_.end());
    for (const auto& [distance, index] : nearFirst_) order_.push_back(nodes[index]);
    for (SceneNode* node : nodes) {
        if (!drawsInAnyOrder(*node) && !node->isAnimatedMesh) order_.push_back(node);
    }
    for (SceneNode* node : nodes) {
        if (node->isAnimatedMesh) order_.push_back(node);
    }
    return order_;
}

}  // namespace hg
