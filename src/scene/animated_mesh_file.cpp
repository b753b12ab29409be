#include "scene/animated_mesh_file.h"

#include <algorithm>
#include <cmath>

#include "scene/binary_reader.h"

namespace hg {
namespace {

Matrix4 readMatrix(BinaryReader& in) {
    float values[12];
    for (float& v : values) v = in.readFloat();
    return matrixFromColumns(values);
}

float determinant3(const Matrix4& m) {
    return m.at(0, 0) * (m.at(1, 1) * m.at(2, 2) - m.at(1, 2) * m.at(2, 1)) -
           m.at(0, 1) * (m.at(1, 0) * m.at(2, 2) - m.at(1, 2) * m.at(2, 0)) +
           m.at(0, 2) * (m.at(1, 0) * m.at(2, 1) - m.at(1, 1) * m.at(2, 0));
}

// A bone transform must be invertible: the loader inverts the bind pose of every bone.
bool usableTransform(const Matrix4& m) {
    for (float v : m.m)
        if (!std::isfinite(v)) return false;
    return std::fabs(determinant3(m)) > 1e-12f;
}

bool readIndexTriples(BinaryReader& in, int32_t count, int32_t limit, std::vector<std::array<int32_t, 3>>& out) {
    if (!in.canHold(count, 12)) return false;
    out.resize(static_cast<size_t>(count));
    for (auto& triple : out) {
        for (int32_t& index : triple) {
            index = in.readFloatIndex();
            if (!in.ok() || index < 0 || index >= limit) return false;
        }
    }
    return true;
}

}  // namespace

Matrix4 matrixFromColumns(const float values[12]) {
    Matrix4 m = Matrix4::identity();
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 3; ++r) m.at(r, c) = values[c * 3 + r];
    return m;
}

std::array<float, 3> normaliseWeights(std::array<float, 3> w) {
    const float sum = w[0] + w[1] + w[2];
    if (!std::isfinite(sum) || std::fabs(sum) < 1e-20f) return {1.0f, 0.0f, 0.0f};
    return {w[0] / sum, w[1] / sum, w[2] / sum};
}

std::optional<AnimatedMeshFile> readAnimatedMeshFile(std::span<const uint8_t> bytes) {
    BinaryReader in(bytes);
    AnimatedMeshFile mesh;
    mesh.texture = in.readStringField();
    mesh.scrollU = in.readFloat();
    mesh.scrollV = in.readFloat();
    const int32_t vertexCount = in.readInt32();
    const int32_t faceCount = in.readInt32();
    const int32_t texVertexCount = in.readInt32();
    const int32_t texFaceCount = in.readInt32();
    in.skip(12);  // pivot, unused
    if (!in.ok() || vertexCount < 0 || faceCount < 0 || texVertexCount < 0 || texFaceCount < faceCount) return std::nullopt;

    // Counts are checked against the bytes left before anything is allocated.
    if (!in.canHold(vertexCount, 36)) return std::nullopt;
    mesh.positions.resize(static_cast<size_t>(vertexCount));
    for (Vec3& p : mesh.positions) p = {in.readFloat(), in.readFloat(), in.readFloat()};
    mesh.weights.resize(static_cast<size_t>(vertexCount));
    for (auto& w : mesh.weights) w = normaliseWeights({in.readFloat(), in.readFloat(), in.readFloat()});
    // Bone indices are checked once the bone count is known, at the end of the file.
    mesh.boneIndices.resize(static_cast<size_t>(vertexCount));
    for (auto& triple : mesh.boneIndices)
        for (int32_t& index : triple) index = in.readFloatIndex();
    if (!in.ok()) return std::nullopt;

    if (!readIndexTriples(in, faceCount, vertexCount, mesh.faces)) return std::nullopt;
    if (!in.canHold(texVertexCount, 12)) return std::nullopt;
    mesh.texVertices.resize(static_cast<size_t>(texVertexCount));
    for (auto& uv : mesh.texVertices) {
        uv = {in.readFloat(), in.readFloat()};
        in.readFloat();
    }
    std::vector<std::array<int32_t, 3>> texFaces;
    if (!readIndexTriples(in, texFaceCount, texVertexCount, texFaces)) return std::nullopt;
    texFaces.resize(static_cast<size_t>(faceCount));  // only the first F are drawn
    mesh.texFaces = std::move(texFaces);

    if (!in.canHold(int64_t(faceCount) * 3, 12)) return std::nullopt;
    mesh.normals.resize(static_cast<size_t>(faceCount) * 3);
    for (Vec3& n : mesh.normals) n = {in.readFloat(), in.readFloat(), in.readFloat()};

    const int32_t boneCount = in.readInt32();
    if (!in.ok() || boneCount < 0 || boneCount > kMaxBones) return std::nullopt;
    if (vertexCount > 0 && boneCount == 0) return std::nullopt;
    mesh.bones.resize(static_cast<size_t>(boneCount));
    for (BoneRecord& bone : mesh.bones) {
        bone.local = readMatrix(in);
        bone.name = in.readStringField();
        bone.parentName = in.readStringField();
        if (!in.ok() || !usableTransform(bone.local)) return std::nullopt;
    }
    for (const auto& triple : mesh.boneIndices)
        for (int32_t index : triple)
            if (index < 0 || index >= boneCount) return std::nullopt;
    return mesh;
}

std::optional<AnimationFile> readAnimationFile(std::span<const uint8_t> bytes, int boneCount) {
    BinaryReader in(bytes);
    in.readInt32();  // bone count, not needed: the mesh has it
    const int32_t frameCount = in.readInt32();
    const int32_t trackCount = in.readInt32();
    if (!in.ok() || frameCount < 1 || trackCount < 0) return std::nullopt;

    AnimationFile animation;
    animation.frameCount = std::min(frameCount, kMaxFrames);
    const size_t trackBytes = 4 + size_t(frameCount) * 48;
    const int32_t tracksKept = std::min(trackCount, kMaxTracks);
    if (!in.canHold(tracksKept, trackBytes)) return std::nullopt;
    for (int32_t t = 0; t < tracksKept; ++t) {
        AnimationTrack track;
        track.bone = in.readInt32();
        track.frames.resize(static_cast<size_t>(animation.frameCount));
        for (Matrix4& frame : track.frames) frame = readMatrix(in);
        in.skip(size_t(frameCount - animation.frameCount) * 48);
        if (!in.ok()) return std::nullopt;
        if (track.bone < 0 || track.bone >= boneCount) continue;
        animation.tracks.push_back(std::move(track));
    }
    return animation;
}

}  // namespace hg
