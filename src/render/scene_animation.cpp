#include "render/scene_animation.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "scene/animated_mesh.h"
#include "scene/model_instance.h"
#include "scene/scene.h"

namespace hg {

void advancePathNode(SceneNode& node, float frameStep) {
    const int32_t n = static_cast<int32_t>(std::min(node.keyPositions.size(), node.keyRotations.size()));
    if (n == 0) return;
    int32_t i = std::clamp(node.keyIndex, 0, n - 1);
    int32_t j;
    if (node.holdCount > 0) {
        i = 0;
        j = 0;
    } else {
        j = i + 1 < n - 1 ? i + 1 : 0;
    }
    float& t = node.segmentT;
    node.centre = node.keyPositions[i] + (node.keyPositions[j] - node.keyPositions[i]) * t;
    node.orientation = slerp(node.keyRotations[i], node.keyRotations[j], t);
    t += frameStep * 0.05f;
    if (t > 1.0f) {
        t = 0.0f;
        i += 1;
        node.holdCount -= 1;
    }
    if (i > n - 2) {
        i = 0;
        t = 0.0f;
        node.centre = node.keyPositions[0];
        node.orientation = node.keyRotations[0];
    }
    node.keyIndex = i;
}

ClockHands clockHandsAt(int hour, int minute, int second) {
    const float h = static_cast<float>(hour > 12 ? hour - 12 : hour);
    return {static_cast<float>(minute) * -6.0f, (h + static_cast<float>(minute) * 0.016666668f) * -30.0f,
            static_cast<float>(second) * -6.0f};
}

MovingModel movingModelOfNode(const std::string& nodeName) {
    if (nodeName == "instance railroad") return MovingModel::Train;
    if (nodeName == "instance Clock") return MovingModel::Clock;
    return MovingModel::None;
}

MovingModel movingModelNamed(const std::string& modelName) {
    // The archive finds names in any letter case; so does this.
    std::string name = modelName;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == "railroad") return MovingModel::Train;
    if (name == "clock") return MovingModel::Clock;
    return MovingModel::None;
}

void ModelAnimation::pose(ModelInstance& instance, MovingModel model, float frameStep) {
    if (model == MovingModel::Train) {
        const float degrees = trainAngle * 0.6f;
        for (const char* part : {"loco", "wagon01", "wagon02"}) instance.setAngleZ(part, degrees);
        // The steam follows the locomotive's chimney: the fourth node's first marker, turned with
        // the train. A model without that node or marker simply has no steam.
        if (instance.nodes.size() > 3 && !instance.nodes[3].markers.empty()) {
            MeshMarker& steam = instance.nodes[3].markers.front();
            const float half = trainAngle * 0.0052333335f;
            const Quaternion q{0.0f, 0.0f, std::sin(half), std::cos(half)};
            steam.worldPosition = rotate(q, steam.position) + instance.position + Vec3{0, 0, 7};
        }
        trainAngle += frameStep * 0.8f;
    }
    if (model == MovingModel::Clock) {
        const ClockHands hands = clockHandsAt(now_.hour, now_.minute, now_.second);
        instance.setAngleY("Arrow01", hands.minute);
        instance.setAngleY("Arrow02", hands.hour);
        instance.setAngleY("Arrow03", hands.second);
    }
}

void animateInstanceNode(SceneNode& node, ModelAnimation& animation, float frameStep, ParticleSink& particles) {
    if (!node.instance) return;
    ModelInstance& instance = *node.instance;
    instance.position = node.centre;
    animation.pose(instance, movingModelOfNode(node.name), frameStep);
    instance.update(frameStep, particles);
}

void animateFireNode(SceneNode& node, float frameStep) {
    if (!node.animated) return;
    node.animated->setPlacementTranslation(node.centre);
    node.animated->update(frameStep);
    node.animated->advanceTexture(frameStep);
}

}  // namespace hg
