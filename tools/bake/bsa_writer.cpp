#include "bake/bsa_writer.h"

#include "bake/byte_writer.h"
#include "bake/error.h"

namespace hg::bake {

BoneTransform boneTransform(std::array<float, 4> q, std::array<float, 3> t) {
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    // Rotation matrix R (row-major), stored column by column.
    const float r[3][3] = {
        {1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
        {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
        {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)},
    };
    BoneTransform out{};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row) out[static_cast<size_t>(c * 3 + row)] = r[row][c];
    out[9] = t[0];
    out[10] = t[1];
    out[11] = t[2];
    return out;
}

std::vector<uint8_t> encodeBsaMesh(const SkinnedMesh& mesh) {
    const size_t faceCount = mesh.faces.size();
    if (mesh.texFaces.size() != faceCount) throw BakeError("animated mesh: one texture face per face");
    if (mesh.normals.size() != faceCount * 3) throw BakeError("animated mesh: one normal per face corner");
    if (mesh.bones.size() > 40) throw BakeError("animated mesh: at most 40 bones");
    for (const SkinnedVertex& v : mesh.vertices)
        for (int32_t b : v.bones)
            if (b < 0 || static_cast<size_t>(b) >= mesh.bones.size()) throw BakeError("animated mesh: bone index out of range");
    for (const auto& f : mesh.faces)
        for (int32_t i : f)
            if (i < 0 || static_cast<size_t>(i) >= mesh.vertices.size()) throw BakeError("animated mesh: vertex index out of range");
    for (const auto& f : mesh.texFaces)
        for (int32_t i : f)
            if (i < 0 || static_cast<size_t>(i) >= mesh.texVertices.size())
                throw BakeError("animated mesh: texture vertex index out of range");

    ByteWriter out;
    out.string(mesh.texture);
    out.float32(mesh.scrollU);
    out.float32(mesh.scrollV);
    out.int32(static_cast<int32_t>(mesh.vertices.size()));
    out.int32(static_cast<int32_t>(faceCount));
    out.int32(static_cast<int32_t>(mesh.texVertices.size()));
    out.int32(static_cast<int32_t>(faceCount));
    for (int i = 0; i < 3; ++i) out.float32(0.0f);  // pivot
    for (const SkinnedVertex& v : mesh.vertices)
        for (float c : v.position) out.float32(c);
    for (const SkinnedVertex& v : mesh.vertices)
        for (float w : v.weights) out.float32(w);
    for (const SkinnedVertex& v : mesh.vertices)
        for (int32_t b : v.bones) out.float32(static_cast<float>(b));
    for (const auto& f : mesh.faces)
        for (int32_t i : f) out.float32(static_cast<float>(i));
    for (const auto& uv : mesh.texVertices) {
        out.float32(uv[0]);
        out.float32(uv[1]);
        out.float32(0.0f);
    }
    for (const auto& f : mesh.texFaces)
        for (int32_t i : f) out.float32(static_cast<float>(i));
    for (const auto& n : mesh.normals)
        for (float c : n) out.float32(c);
    out.int32(static_cast<int32_t>(mesh.bones.size()));
    for (const SkeletonBone& bone : mesh.bones) {
        for (float v : bone.local) out.float32(v);
        out.string(bone.name);
        out.string(bone.parentName);
    }
    return out.take();
}

std::vector<uint8_t> encodeBsaAnimation(const BoneAnimation& animation) {
    if (animation.frameCount < 1 || animation.frameCount > 500) throw BakeError("animation: 1 to 500 frames");
    if (animation.tracks.size() > 60) throw BakeError("animation: at most 60 tracks");
    ByteWriter out;
    out.int32(animation.boneCount);
    out.int32(animation.frameCount);
    out.int32(static_cast<int32_t>(animation.tracks.size()));
    for (const BoneTrack& track : animation.tracks) {
        if (track.frames.size() != static_cast<size_t>(animation.frameCount)) throw BakeError("animation: a track misses frames");
        out.int32(track.bone);
        for (const BoneTransform& frame : track.frames)
            for (float v : frame) out.float32(v);
    }
    return out.take();
}

}  // namespace hg::bake
