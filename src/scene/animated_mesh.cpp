#include "scene/animated_mesh.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/log.h"
#include "archive/file_system.h"
#include "image/texture_manager.h"
#include "scene/mesh.h"

namespace hg {
namespace {

Vec3 translationOf(const Matrix4& m) { return {m.at(0, 3), m.at(1, 3), m.at(2, 3)}; }

Vec3 rotate(const Matrix4& r, const Vec3& v) {
    return {r.at(0, 0) * v.x + r.at(0, 1) * v.y + r.at(0, 2) * v.z, r.at(1, 0) * v.x + r.at(1, 1) * v.y + r.at(1, 2) * v.z,
            r.at(2, 0) * v.x + r.at(2, 1) * v.y + r.at(2, 2) * v.z};
}

// The frame matrix with its rotation replaced by the blend of two rotations.
Matrix4 withRotation(const Matrix4& frame, const Quaternion& rotation) {
    Matrix4 m = frame;
    m.setRotation(rotation);
    return m;
}

}  // namespace

void AnimatedMesh::load(const std::string& name, const FileSystem& files, TextureManager& textures, Log& log) {
    const std::string meshFile = name + ".BSA";
    const std::vector<std::string> animationNames = {name + "_anim.BSA"};

    std::optional<std::vector<uint8_t>> meshBytes = files.get("Models/" + meshFile);
    if (meshBytes) log.writeLine("Animated model " + meshFile + " mesh file loaded");
    std::vector<std::vector<uint8_t>> animationBytes;
    for (const std::string& animation : animationNames) {
        auto bytes = files.get("Models/" + animation);
        animationBytes.push_back(bytes ? std::move(*bytes) : std::vector<uint8_t>{});
    }
    std::vector<std::span<const uint8_t>> spans(animationBytes.begin(), animationBytes.end());
    if (meshBytes) loadFromBytes(*meshBytes, spans);
    log.writeLine("Num of Anims: ", animationNames.size());
    if (loaded()) texture_ = textures.get("Textures/" + textureName_);
}

bool AnimatedMesh::loadFromBytes(std::span<const uint8_t> meshBytes, const std::vector<std::span<const uint8_t>>& animations) {
    *this = AnimatedMesh();
    std::optional<AnimatedMeshFile> file = readAnimatedMeshFile(meshBytes);
    if (!file || !build(std::move(*file))) {
        *this = AnimatedMesh();
        return false;
    }
    for (std::span<const uint8_t> bytes : animations) {
        if (auto animation = readAnimationFile(bytes, static_cast<int>(bones_.size()))) addAnimation(*animation);
    }
    computeBones(placement);
    skin();
    return true;
}

bool AnimatedMesh::build(AnimatedMeshFile file) {
    textureName_ = file.texture;
    scrollU_ = file.scrollU;
    scrollV_ = file.scrollV;
    positions_ = std::move(file.positions);
    weights_ = std::move(file.weights);
    boneIndices_ = std::move(file.boneIndices);
    faces_ = std::move(file.faces);
    texVertices_ = std::move(file.texVertices);
    texFaces_ = std::move(file.texFaces);
    fileNormals_ = std::move(file.normals);
    if (faces_.empty()) return false;

    for (size_t i = 0; i < file.bones.size(); ++i) {
        Bone bone;
        bone.name = file.bones[i].name;
        bone.parentName = file.bones[i].parentName;
        bone.bind = file.bones[i].local;
        bone.local = bone.bind;
        bone.world = bone.bind;
        bone.worldRotation = Quaternion::identity();
        bone.inverseBindRotation = Quaternion::identity();
        bones_.push_back(std::move(bone));
        if (bones_.back().parentName == kSceneRoot) {
            roots_.push_back(static_cast<int>(i));
            rootBone_ = static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < bones_.size(); ++i)
        for (size_t j = 0; j < bones_.size(); ++j)
            if (i != j && bones_[j].name == bones_[i].parentName) bones_[j].children.push_back(static_cast<int>(i));

    // The bind pose from the identity: where each bone sits and the rotation that undoes it.
    computeBones(Matrix4::identity());
    for (Bone& bone : bones_) {
        bone.bindPosition = bone.position;
        bone.inverseBindRotation = bone.world.inverse().rotation();
    }
    // The root moves relative to the placement, not to where it was modelled.
    if (rootBone_ >= 0) {
        Bone& root = bones_[static_cast<size_t>(rootBone_)];
        origin_ = translationOf(root.bind);
        for (Matrix4* m : {&root.bind, &root.local}) m->at(0, 3) = m->at(1, 3) = m->at(2, 3) = 0.0f;
    }

    skinned_.assign(positions_.size(), Vec3{0, 0, 0});
    normals_.assign(fileNormals_.size(), Vec3{0, 0, 0});
    corners_.assign(faces_.size() * 3, DrawCorner{});
    placement.at(0, 3) = 0.0f;
    placement.at(1, 3) = 10.0f;
    placement.at(2, 3) = 0.0f;
    return true;
}

// Every frame the file has gets the bind pose for an untracked bone and the origin correction for
// the root, whatever the frame count (the shipped fire has 100).
void AnimatedMesh::addAnimation(const AnimationFile& file) {
    Animation animation;
    animation.frameCount = file.frameCount;
    animation.trackCount = static_cast<int>(file.tracks.size());
    animation.frames.resize(bones_.size());
    std::vector<bool> tracked(bones_.size(), false);
    for (const AnimationTrack& track : file.tracks) {
        animation.trackBones.push_back(track.bone);
        animation.frames[static_cast<size_t>(track.bone)] = track.frames;
        tracked[static_cast<size_t>(track.bone)] = true;
    }
    for (size_t b = 0; b < bones_.size(); ++b) {
        std::vector<Matrix4>& frames = animation.frames[b];
        if (!tracked[b]) {
            // The bind matrix as it stands now, so an untracked root keeps its zeroed translation.
            frames.assign(static_cast<size_t>(animation.frameCount), bones_[b].bind);
        } else if (static_cast<int>(b) == rootBone_) {
            for (Matrix4& frame : frames) {
                frame.at(0, 3) -= origin_.x;
                frame.at(1, 3) -= origin_.y;
                frame.at(2, 3) -= origin_.z;
            }
        }
        std::vector<Quaternion>& rotations = animation.frameRotations.emplace_back();
        rotations.reserve(frames.size());
        for (const Matrix4& frame : frames) rotations.push_back(frame.rotation());
    }
    animations_.push_back(std::move(animation));
}

void AnimatedMesh::setPlacementTranslation(Vec3 position) {
    placement.at(0, 3) = position.x;
    placement.at(1, 3) = position.y;
    placement.at(2, 3) = position.z;
}

void AnimatedMesh::setPlacementRotation(const Quaternion& rotation) { placement.setRotation(rotation); }

void AnimatedMesh::startFire() {
    playing = true;
    nextAnimation = 0;
    crossFading = true;
    playSpeed = 0.2f;
    fadeSpeed = 0.2f;
}

void AnimatedMesh::update(float frameStep) {
    if (!loaded()) return;
    const int count = static_cast<int>(animations_.size());
    if (count > 0 && playing) {
        // Indices set from outside are kept inside the list.
        if (currentAnimation < 0 || currentAnimation >= count) currentAnimation = 0;
        if (nextAnimation < 0 || nextAnimation >= count) nextAnimation = 0;
        if (pendingAnimation < 0 || pendingAnimation >= count) pendingAnimation = 0;
        if (crossFading) {
            crossFadeStep(frameStep);
        } else {
            playStep(frameStep);
        }
    }
    computeBones(placement);
    skin();
}

void AnimatedMesh::playStep(float frameStep) {
    Animation& a = animations_[static_cast<size_t>(currentAnimation)];
    const int cur = a.currentFrame;
    int nxt = cur + a.step;
    if (nxt > a.frameCount - 1) nxt = 0;
    for (int bone : a.trackBones) {
        const size_t b = static_cast<size_t>(bone);
        const Quaternion blended =
            slerp(a.frameRotations[b][static_cast<size_t>(cur)], a.frameRotations[b][static_cast<size_t>(nxt)], a.t);
        bones_[b].local = withRotation(a.frames[b][static_cast<size_t>(nxt)], blended);
    }

    a.speed = playSpeed;
    a.t += a.speed * frameStep;
    if (a.t > 1.0f) {
        // A step that would jump past the whole animation only wraps once.
        a.step = static_cast<int>(std::min(a.t, static_cast<float>(a.frameCount)));
        a.currentFrame += a.step;
        a.t = 0.0f;
    }
    if (a.currentFrame > a.frameCount - 1) {
        if (queued) {
            queued = false;
            nextAnimation = pendingAnimation;
            crossFading = true;
            fadeSpeed = 0.3f;
        }
        a.currentFrame = 0;
    }
}

void AnimatedMesh::crossFadeStep(float frameStep) {
    Animation& current = animations_[static_cast<size_t>(currentAnimation)];
    Animation& next = animations_[static_cast<size_t>(nextAnimation)];
    const size_t frame = static_cast<size_t>(current.currentFrame);
    for (int bone : next.trackBones) {
        const size_t d = static_cast<size_t>(bone);
        const Quaternion blended = slerp(current.frameRotations[d][frame], next.frameRotations[d][0], fadePhase);
        bones_[d].local = withRotation(current.frames[d][frame], blended);
    }
    fadePhase += fadeSpeed * frameStep;
    if (fadePhase > 1.0f) {
        crossFading = false;
        fadePhase = 0.0f;
        if (!queued) pendingAnimation = currentAnimation;
        currentAnimation = nextAnimation;
        Animation& now = animations_[static_cast<size_t>(currentAnimation)];
        now.t = 0.0f;
        now.currentFrame = 0;
    }
}

// World transforms from each root down, the given matrix being the roots' parent. Each bone is
// visited once per pass, so a skeleton whose names loop cannot recurse for ever.
void AnimatedMesh::computeBones(const Matrix4& rootParent) {
    std::vector<bool> visited(bones_.size(), false);
    std::vector<std::pair<int, Matrix4>> pending;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) pending.emplace_back(*it, rootParent);
    while (!pending.empty()) {
        const auto [index, parentWorld] = pending.back();
        pending.pop_back();
        if (visited[static_cast<size_t>(index)]) continue;
        visited[static_cast<size_t>(index)] = true;
        Bone& bone = bones_[static_cast<size_t>(index)];
        bone.world = bone.local.multiply(parentWorld);
        bone.position = translationOf(bone.world);
        bone.worldRotation = bone.world.rotation() * bone.inverseBindRotation;
        for (auto child = bone.children.rbegin(); child != bone.children.rend(); ++child) pending.emplace_back(*child, bone.world);
    }
}

void AnimatedMesh::skin() {
    std::vector<Matrix4> rotations(bones_.size());
    for (size_t b = 0; b < bones_.size(); ++b) rotations[b].setRotation(bones_[b].worldRotation);

    for (size_t v = 0; v < positions_.size(); ++v) {
        Vec3 sum{0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const size_t b = static_cast<size_t>(boneIndices_[v][static_cast<size_t>(k)]);
            const Bone& bone = bones_[b];
            const Vec3 moved = rotate(rotations[b], positions_[v] - bone.bindPosition) + bone.position;
            sum = sum + moved * weights_[v][static_cast<size_t>(k)];
        }
        skinned_[v] = sum;
    }
    for (size_t f = 0; f < faces_.size(); ++f) {
        for (size_t k = 0; k < 3; ++k) {
            const size_t vertex = static_cast<size_t>(faces_[f][k]);
            const size_t corner = f * 3 + k;
            normals_[corner] = rotate(rotations[static_cast<size_t>(boneIndices_[vertex][0])], fileNormals_[corner]);
            DrawCorner& out = corners_[corner];
            out.x = skinned_[vertex].x;
            out.y = skinned_[vertex].y;
            out.z = skinned_[vertex].z;
            const auto& uv = texVertices_[static_cast<size_t>(texFaces_[f][k])];
            out.u = uv[0];
            out.v = uv[1];
        }
    }
}

void AnimatedMesh::draw() const {
    if (!loaded()) return;

    glEnable(GL_ALPHA_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(DrawCorner), &corners_[0].x);
    glNormalPointer(GL_FLOAT, sizeof(Vec3), normals_.data());
    glTexCoordPointer(2, GL_FLOAT, sizeof(DrawCorner), &corners_[0].u);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(scrollU_ * scrollClock_, -(scrollClock_ * scrollV_), 0.0f);
    glMatrixMode(GL_MODELVIEW);

    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners_.size()));

    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace hg
