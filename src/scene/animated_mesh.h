#pragma once
// The fire in the hearth: flame sheets skinned to a small skeleton whose recorded motion loops,
// drawn additively with a texture that scrolls upward. The skinning runs on the processor every
// frame and the draw uses client-memory arrays.
#include "gl/gl.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/animated_mesh_file.h"
#include "scene/math.h"

namespace hg {

class FileSystem;
class Log;
class TextureManager;

class AnimatedMesh {
public:
    struct Bone {
        std::string name;
        std::string parentName;
        Matrix4 bind;
        Matrix4 local;
        Matrix4 world;
        Quaternion worldRotation;  // relative to the bind pose
        Quaternion inverseBindRotation;
        Vec3 bindPosition{0, 0, 0};
        Vec3 position{0, 0, 0};
        std::vector<int> children;
    };

    struct Animation {
        int frameCount = 0;
        int trackCount = 0;
        std::vector<int> trackBones;
        // frames[bone][frame]; a bone without a track holds its bind matrix in every frame.
        std::vector<std::vector<Matrix4>> frames;
        std::vector<std::vector<Quaternion>> frameRotations;  // the rotations of `frames`, read once
        int currentFrame = 0;
        int step = 0;  // the last advance
        float t = 0.0f;
        float speed = 0.0f;
    };

    // One skinned corner as it is drawn: position at byte 0, uv at byte 24.
    struct DrawCorner {
        float x, y, z;
        float unused[3];
        float u, v;
    };
    static_assert(sizeof(DrawCorner) == 32);

    // "Models/<name>.BSA" and "Models/<name>_anim.BSA"; the texture through the texture manager.
    // A missing or unreadable file leaves the mesh (or its animation) empty.
    void load(const std::string& name, const FileSystem& files, TextureManager& textures, Log& log);
    // The same from bytes already at hand, without textures or log. False when the mesh is refused.
    bool loadFromBytes(std::span<const uint8_t> meshBytes, const std::vector<std::span<const uint8_t>>& animations);

    // The hearth's fire: plays the first animation, cross-fading into it, at speed 0.2.
    void startFire();
    // Advances the playback by the frame step, then poses the skeleton and reskins.
    void update(float frameStep);
    // The flames' texture scrolls on by the frame step.
    void advanceTexture(float frameStep) { scrollClock_ += frameStep * 0.03f; }
    // Draws the skinned sheets as they stand.
    void draw() const;

    void setPlacementTranslation(Vec3 position);
    void setPlacementRotation(const Quaternion& rotation);

    bool loaded() const { return !corners_.empty(); }
    const std::string& textureName() const { return textureName_; }
    const std::vector<Bone>& bones() const { return bones_; }
    const std::vector<Animation>& animations() const { return animations_; }
    const std::vector<Vec3>& skinnedPositions() const { return skinned_; }
    const std::vector<DrawCorner>& drawCorners() const { return corners_; }
    const std::vector<std::array<float, 3>>& weights() const { return weights_; }
    Vec3 skeletonOrigin() const { return origin_; }
    int faceCount() const { return static_cast<int>(faces_.size()); }

    // Playback (startFire sets: playing, next 0, cross-fading, speeds 0.2).
    bool playing = false;
    int currentAnimation = 0;
    int nextAnimation = 0;
    int pendingAnimation = 0;
    bool crossFading = false;
    bool queued = false;
    float playSpeed = 0.0f;
    float fadeSpeed = 0.0f;
    float fadePhase = 0.0f;
    Matrix4 placement = Matrix4::identity();

private:
    bool build(AnimatedMeshFile file);
    void addAnimation(const AnimationFile& file);
    void playStep(float frameStep);
    void crossFadeStep(float frameStep);
    void computeBones(const Matrix4& rootParent);
    void skin();

    std::string textureName_;
    GLuint texture_ = 0;
    float scrollU_ = 0.0f;
    float scrollV_ = 0.0f;
    float scrollClock_ = 0.0f;

    std::vector<Vec3> positions_;
    std::vector<std::array<float, 3>> weights_;
    std::vector<std::array<int32_t, 3>> boneIndices_;
    std::vector<std::array<int32_t, 3>> faces_;
    std::vector<std::array<float, 2>> texVertices_;
    std::vector<std::array<int32_t, 3>> texFaces_;
    std::vector<Vec3> fileNormals_;

    std::vector<Vec3> skinned_;
    std::vector<Vec3> normals_;
    std::vector<DrawCorner> corners_;

    std::vector<Bone> bones_;
    std::vector<int> roots_;
    int rootBone_ = -1;
    Vec3 origin_{0, 0, 0};
    std::vector<Animation> animations_;
};

}  // namespace hg
