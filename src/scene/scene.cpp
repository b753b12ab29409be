#include "scene/scene.h"

#include "scene/animated_mesh.h"
#include "scene/model_instance.h"

namespace hg {

SceneNode::SceneNode() = default;
SceneNode::~SceneNode() = default;

void SceneNode::setBox(const Vec3& lo, const Vec3& hi) {
    min = lo;
    max = hi;
    size = hi - lo;
    centre = (hi + lo) * 0.5f;
    diagonal = distance(hi, lo);
}

Scene::Scene() = default;
Scene::~Scene() = default;

void Scene::clear() {
    zones.clear();
    objects.clear();
    nodes.clear();
    visibilityNode.reset();
    portals.clear();
    markers.clear();
    lights.clear();
    windowPanes.clear();
}

}  // namespace hg
