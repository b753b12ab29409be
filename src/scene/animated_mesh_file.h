#pragma once
// The two files of an animated mesh: "<name>.BSA" (skinned sheets and their skeleton) and
// "<name>_anim.BSA" (one local transform per bone and frame). Both are read front to back with a
// bounds-checked cursor; a file that ends early, lies about a count, names a vertex, texture
// vertex or bone that does not exist, or exceeds the skeleton limits is refused as a whole.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scene/math.h"

namespace hg {

inline constexpr int kMaxBones = 40;
inline constexpr int kMaxTracks = 60;
inline constexpr int kMaxFrames = 500;

struct BoneRecord {
    Matrix4 local;  // x axis, y axis, z axis and translation as the columns
    std::string name;
    std::string parentName;
};

struct AnimatedMeshFile {
    std::string texture;
    float scrollU = 0.0f;
    float scrollV = 0.0f;
    std::vector<Vec3> positions;
    std::vector<std::array<float, 3>> weights;  // normalised: the three of a vertex sum to 1
    std::vector<std::array<int32_t, 3>> boneIndices;
    std::vector<std::array<int32_t, 3>> faces;
    std::vector<std::array<float, 2>> texVertices;  // u, v
    std::vector<std::array<int32_t, 3>> texFaces;   // one per face
    std::vector<Vec3> normals;                      // one per face corner
    std::vector<BoneRecord> bones;
};

struct AnimationTrack {
    int32_t bone = 0;
    std::vector<Matrix4> frames;
};

struct AnimationFile {
    int32_t frameCount = 0;
    std::vector<AnimationTrack> tracks;
};

// The 12 stored floats (four column triples) as a matrix with the bottom row (0, 0, 0, 1).
Matrix4 matrixFromColumns(const float values[12]);

// Weights summing to nothing (or to something not finite) put the vertex wholly on its first bone:
// dividing by that sum would fill the mesh with NaNs.
std::array<float, 3> normaliseWeights(std::array<float, 3> weights);

std::optional<AnimatedMeshFile> readAnimatedMeshFile(std::span<const uint8_t> bytes);

// `boneCount` is the skeleton the animation drives. More than 500 frames per track or more than
// 60 tracks are clipped to the limit (the rest of the file is skipped); a track whose bone is not
// in the skeleton is skipped; no frames at all is refused.
std::optional<AnimationFile> readAnimationFile(std::span<const uint8_t> bytes, int boneCount);

}  // namespace hg
