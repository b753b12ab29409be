#pragma once
// Animated meshes as the program loads them: "<name>.BSA" holds skinned sheets (each vertex on up
// to three bones) and the skeleton, "<name>_anim.BSA" one local transform per bone and frame.
//
// A transform is 12 floats: the x, y and z axes and the translation, each a column of the matrix.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hg::bake {

using BoneTransform = std::array<float, 12>;

// The transform of a rotation (unit quaternion x, y, z, w) followed by a translation.
BoneTransform boneTransform(std::array<float, 4> rotation, std::array<float, 3> translation);

struct SkinnedVertex {
    std::array<float, 3> position{};
    std::array<float, 3> weights{1, 0, 0};
    std::array<int32_t, 3> bones{0, 0, 0};
};

struct SkeletonBone {
    BoneTransform local{};
    std::string name;
    std::string parentName;  // "Scene Root" for the root
};

struct SkinnedMesh {
    std::string texture;  // a file under Textures/
    float scrollU = 0.0f;
    float scrollV = 0.0f;
    std::vector<SkinnedVertex> vertices;
    std::vector<std::array<int32_t, 3>> faces;
    std::vector<std::array<float, 2>> texVertices;
    std::vector<std::array<int32_t, 3>> texFaces;  // one per face
    std::vector<std::array<float, 3>> normals;     // one per face corner
    std::vector<SkeletonBone> bones;
};

struct BoneTrack {
    int32_t bone = 0;
    std::vector<BoneTransform> frames;
};

struct BoneAnimation {
    int32_t boneCount = 0;
    int32_t frameCount = 0;
    std::vector<BoneTrack> tracks;  // each with frameCount frames
};

// Throws BakeError when the parts do not agree (texture faces, normals, bone indices, frames).
std::vector<uint8_t> encodeBsaMesh(const SkinnedMesh& mesh);
std::vector<uint8_t> encodeBsaAnimation(const BoneAnimation& animation);

}  // namespace hg::bake
