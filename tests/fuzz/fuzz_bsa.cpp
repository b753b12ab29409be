// The animated fire as the room loads it: "Models/<name>.BSA" (skinned sheets and their skeleton)
// and "Models/<name>_anim.BSA" (the motion), read and built by AnimatedMesh, then played the way the
// hearth plays it (startFire, a cross-fade into the loop, frames of several lengths). The input is
// the mesh file, then kSeparator and the animation file; without the separator the animation is
// missing, as when its file is. Only the drawing, which needs GL, is left out.
//
// Checks: a mesh that loads has three drawn corners per face and one skinned position per vertex,
// and its animation a frame list of the stated length for every bone of the skeleton.
#include <algorithm>
#include <string_view>
#include <vector>

#include "fuzz_target.h"
#include "scene/animated_mesh.h"

namespace {

using namespace hg;

constexpr std::string_view kSeparator = "\n--animation--\n";

void checkShape(const AnimatedMesh& mesh) {
    fuzz::check(mesh.drawCorners().size() == size_t(mesh.faceCount()) * 3, "three drawn corners per face");
    fuzz::check(mesh.skinnedPositions().size() == mesh.weights().size(), "one skinned position per vertex");
    fuzz::check(mesh.animations().size() <= 1, "one animation file, one animation");
    for (const AnimatedMesh::Animation& animation : mesh.animations()) {
        fuzz::check(animation.frameCount >= 1 && animation.frameCount <= kMaxFrames, "a frame count within the limit");
        fuzz::check(animation.frames.size() == mesh.bones().size() && animation.frameRotations.size() == mesh.bones().size(),
                    "a frame list for every bone");
        for (size_t b = 0; b < animation.frames.size(); ++b) {
            fuzz::check(animation.frames[b].size() == size_t(animation.frameCount) &&
                            animation.frameRotations[b].size() == size_t(animation.frameCount),
                        "every bone has every frame");
        }
        for (int bone : animation.trackBones) {
            fuzz::check(bone >= 0 && size_t(bone) < mesh.bones().size(), "tracks drive bones of the skeleton");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input = fuzz::inputOf(data, size);
    const auto cut = std::search(input.begin(), input.end(), kSeparator.begin(), kSeparator.end());
    const std::span<const uint8_t> meshBytes(input.begin(), cut);
    const std::span<const uint8_t> animationBytes =
        cut == input.end() ? std::span<const uint8_t>() : std::span<const uint8_t>(cut + kSeparator.size(), input.end());

    AnimatedMesh mesh;
    const bool loaded = mesh.loadFromBytes(meshBytes, {animationBytes});
    fuzz::check(loaded == mesh.loaded(), "a mesh that loads has corners to draw");
    if (!loaded) return 0;
    checkShape(mesh);

    mesh.setPlacementRotation(Quaternion::identity());
    mesh.startFire();
    for (int frame = 0; frame < 12; ++frame) {
        mesh.update(frame == 6 ? 250.0f : 1.0f + float(frame) * 0.75f);
        mesh.advanceTexture(1.0f);
    }
    checkShape(mesh);
    return 0;
}
