#pragma once
// The order in which the opaque pass draws its nodes. Nodes whose pixels do not depend on what
// was drawn before them (room objects with opaque textures and no additive or reflection pass,
// and placed models, which draw without blending) go first, nearest first, so that the depth test
// turns hidden pixels away before they are textured; those that enclose their zone (its walls,
// floor and ceiling) after the rest of them, as they lie behind it. The others follow in list
// order, as the list gives them; the fire, which draws from arrays of its own, comes last.
#include <cstddef>
#include <utility>
#include <vector>

#include "scene/math.h"

namespace hg {

struct SceneNode;

// True when the node's draw gives the same pixels whatever was drawn before it (the depth test aside).
bool drawsInAnyOrder(const SceneNode& node);

class OpaqueDrawOrder {
public:
    // The nodes in drawing order for an eye at `eye`; valid until the next call.
    const std::vector<SceneNode*>& arrange(const std::vector<SceneNode*>& nodes, const Vec3& eye);

private:
    void appendNearestFirst(const std::vector<SceneNode*>& nodes, std::vector<std::pair<float, size_t>>& byDistance);

    std::vector<std::pair<float, size_t>> nearFirst_;
    std::vector<std::pair<float, size_t>> enclosingNearFirst_;
    std::vector<SceneNode*> inListOrder_;
    std::vector<SceneNode*> last_;  // the fire
    std::vector<SceneNode*> order_;
};

}  // namespace hg
