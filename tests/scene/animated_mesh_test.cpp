// The animated mesh files and their playback: reading (and refusing) .BSA files, the bind pose,
// the frame stepping with its exact thresholds, the loop, the cross-fade and the skinning.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "bake/bsa_writer.h"
#include "bake/error.h"
#include "bake/fire_content.h"
#include "scene/animated_mesh.h"

namespace hg {
namespace {

using bake::boneTransform;

std::array<float, 4> aboutZ(float degrees) {
    const float h = degrees * 3.14159265f / 360.0f;
    return {0, 0, std::sin(h), std::cos(h)};
}

// Three bones: Root at (0, 0, 2), A and B its children. One vertex per bone, plus one shared.
bake::SkinnedMesh smallMesh() {
    bake::SkinnedMesh mesh;
    mesh.texture = "add_flame.tga";
    mesh.scrollV = 0.5f;
    mesh.bones = {{boneTransform({0, 0, 0, 1}, {0, 0, 2}), "Root", "Scene Root"},
                  {boneTransform({0, 0, 0, 1}, {10, 0, 0}), "A", "Root"},
                  {boneTransform({0, 0, 0, 1}, {-10, 0, 0}), "B", "Root"}};
    mesh.vertices = {{{0, 0, 2}, {1, 0, 0}, {0, 0, 0}},
                     {{20, 0, 2}, {1, 0, 0}, {1, 1, 1}},
                     {{-20, 0, 2}, {1, 0, 0}, {2, 2, 2}},
                     {{0, 0, 12}, {2, 1, 1}, {0, 1, 2}}};
    mesh.faces = {{0, 1, 3}, {0, 3, 2}};
    mesh.texFaces = mesh.faces;
    mesh.texVertices = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    mesh.normals.assign(6, {0, -1, 0});
    return mesh;
}

// Frame f turns bone A by f degrees about z and lifts the root by f units; B has no track.
bake::BoneAnimation rampAnimation(int frames) {
    bake::BoneAnimation animation;
    animation.boneCount = 3;
    animation.frameCount = frames;
    bake::BoneTrack root{0, {}}, a{1, {}};
    for (int f = 0; f < frames; ++f) {
        root.frames.push_back(boneTransform({0, 0, 0, 1}, {0, 0, 2.0f + static_cast<float>(f)}));
        a.frames.push_back(boneTransform(aboutZ(static_cast<float>(f)), {10, 0, 0}));
    }
    animation.tracks = {root, a};
    return animation;
}

struct Loaded {
    std::vector<uint8_t> meshBytes;
    std::vector<std::vector<uint8_t>> animationBytes;
    AnimatedMesh mesh;
};

void load(Loaded& l, const bake::SkinnedMesh& mesh, std::vector<bake::BoneAnimation> animations) {
    l.meshBytes = bake::encodeBsaMesh(mesh);
    for (const auto& a : animations) l.animationBytes.push_back(bake::encodeBsaAnimation(a));
    std::vector<std::span<const uint8_t>> spans(l.animationBytes.begin(), l.animationBytes.end());
    ASSERT_TRUE(l.mesh.loadFromBytes(l.meshBytes, spans));
}

void play(AnimatedMesh& mesh, float speed) {
    mesh.playing = true;
    mesh.crossFading = false;
    mesh.playSpeed = speed;
}

float angleOfZ(const Matrix4& m) { return std::atan2(m.at(1, 0), m.at(0, 0)) * 180.0f / 3.14159265f; }

TEST(AnimatedMeshFile, RoundTripsTheFireAndNormalisesWeights) {
    const bake::SkinnedMesh fire = bake::fireplaceFireMesh();
    auto read = readAnimatedMeshFile(bake::encodeBsaMesh(fire));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->texture, "add_flame.tga");
    EXPECT_EQ(read->scrollU, 0.0f);
    EXPECT_EQ(read->scrollV, 0.5f);
    ASSERT_EQ(read->positions.size(), fire.vertices.size());
    ASSERT_EQ(read->faces.size(), fire.faces.size());
    ASSERT_EQ(read->bones.size(), 3u);
    EXPECT_EQ(read->bones[0].name, "Bone03");
    EXPECT_EQ(read->bones[0].parentName, "Scene Root");
    EXPECT_EQ(read->bones[1].name, "Bone01");
    EXPECT_EQ(read->bones[2].parentName, "Bone03");
    EXPECT_FLOAT_EQ(read->bones[1].local.at(0, 3), -11.0f);
    for (size_t i = 0; i < fire.vertices.size(); ++i) {
        EXPECT_EQ(read->positions[i].z, fire.vertices[i].position[2]);
        EXPECT_NEAR(read->weights[i][0] + read->weights[i][1] + read->weights[i][2], 1.0f, 1e-5f);
    }
    EXPECT_EQ(read->faces[7], fire.faces[7]);
    EXPECT_EQ(read->texVertices[5][1], fire.texVertices[5][1]);

    auto animation = readAnimationFile(bake::encodeBsaAnimation(bake::fireplaceFireAnimation()), 3);
    ASSERT_TRUE(animation);
    EXPECT_EQ(animation->frameCount, 100);
    ASSERT_EQ(animation->tracks.size(), 3u);
    EXPECT_EQ(animation->tracks[2].bone, 2);

    bake::SkinnedMesh weighted = smallMesh();
    auto small = readAnimatedMeshFile(bake::encodeBsaMesh(weighted));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->weights[3], (std::array<float, 3>{0.5f, 0.25f, 0.25f}));
    // Weights that add up to nothing would divide by zero: the vertex goes wholly to its first bone.
    EXPECT_EQ(normaliseWeights({0, 0, 0}), (std::array<float, 3>{1, 0, 0}));
}

TEST(AnimatedMeshFile, RefusesBrokenMeshes) {
    const std::vector<uint8_t> good = bake::encodeBsaMesh(smallMesh());
    // Every truncation is refused, never read past.
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(readAnimatedMeshFile(std::span(good).first(length))) << length;

    auto withInt = [&](size_t offset, int32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + offset, &value, 4);
        return bytes;
    };
    const size_t counts = 4 + 13 + 8;  // texture field, scroll pair
    EXPECT_FALSE(readAnimatedMeshFile(withInt(counts, 0x7FFFFFFF)));      // vertex count
    EXPECT_FALSE(readAnimatedMeshFile(withInt(counts + 4, 0x7FFFFFFF)));  // face count
    EXPECT_FALSE(readAnimatedMeshFile(withInt(counts, -1)));
    EXPECT_FALSE(readAnimatedMeshFile(withInt(counts + 12, 1)));  // fewer texture faces than faces

    std::vector<uint8_t> bytes = bake::encodeBsaMesh(smallMesh());
    // Bone index 2 of vertex 2 becomes 9 (the bone-index block follows positions and weights).
    const size_t boneIndexBlock = counts + 16 + 12 + 4 * 12 * 2;
    const float nine = 9.0f;
    std::memcpy(bytes.data() + boneIndexBlock + 2 * 12, &nine, 4);
    EXPECT_FALSE(readAnimatedMeshFile(bytes));

    bake::SkinnedMesh flat = smallMesh();
    flat.bones[1].local = {};  // a bone that cannot be inverted
    EXPECT_FALSE(readAnimatedMeshFile(bake::encodeBsaMesh(flat)));

    bake::SkinnedMesh crowded = smallMesh();
    while (crowded.bones.size() < 40) crowded.bones.push_back({boneTransform({0, 0, 0, 1}, {0, 0, 0}), "X", "Root"});
    EXPECT_TRUE(readAnimatedMeshFile(bake::encodeBsaMesh(crowded)));
    crowded.bones.push_back(crowded.bones.back());
    EXPECT_THROW(bake::encodeBsaMesh(crowded), bake::BakeError);
    // A 41st bone written by hand: forty encoded, the count raised and one more record appended.
    crowded.bones.pop_back();
    std::vector<uint8_t> over = bake::encodeBsaMesh(crowded);
    size_t records = 0;
    for (const auto& bone : crowded.bones) records += 48 + 4 + bone.name.size() + 4 + bone.parentName.size();
    const size_t lastRecord = 48 + 4 + crowded.bones.back().name.size() + 4 + crowded.bones.back().parentName.size();
    const size_t boneCountAt = over.size() - records - 4;
    int32_t count = 0;
    std::memcpy(&count, over.data() + boneCountAt, 4);
    ASSERT_EQ(count, 40);
    count = 41;
    std::memcpy(over.data() + boneCountAt, &count, 4);
    const std::vector<uint8_t> extra(over.end() - static_cast<long>(lastRecord), over.end());
    for (uint8_t byte : extra) over.push_back(byte);  // (insert trips a false g++ 12 warning)
    EXPECT_FALSE(readAnimatedMeshFile(over));
}

TEST(AnimatedMeshFile, ClipsOrRefusesBrokenAnimations) {
    const std::vector<uint8_t> good = bake::encodeBsaAnimation(rampAnimation(10));
    for (size_t length = 0; length < good.size(); ++length) EXPECT_FALSE(readAnimationFile(std::span(good).first(length), 3));

    auto patched = [&](size_t offset, int32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + offset, &value, 4);
        return bytes;
    };
    EXPECT_FALSE(readAnimationFile(patched(4, 0), 3));            // no frames
    EXPECT_FALSE(readAnimationFile(patched(4, 0x7FFFFFFF), 3));   // more frames than bytes
    EXPECT_FALSE(readAnimationFile(patched(8, 0x7FFFFFFF), 3));   // more tracks than bytes
    auto strayBone = readAnimationFile(patched(12, 7), 3);        // first track names bone 7
    ASSERT_TRUE(strayBone);
    ASSERT_EQ(strayBone->tracks.size(), 1u);
    EXPECT_EQ(strayBone->tracks[0].bone, 1);

    // Beyond the limits: 600 frames are cut to 500, 70 tracks to 60; the rest is skipped.
    bake::BoneAnimation longOne = rampAnimation(1);
    longOne.frameCount = 600;
    longOne.tracks = {{1, std::vector<bake::BoneTransform>(600, boneTransform({0, 0, 0, 1}, {1, 2, 3}))}};
    longOne.tracks[0].frames[499] = boneTransform({0, 0, 0, 1}, {4, 5, 6});
    std::vector<uint8_t> bytes;
    EXPECT_THROW(bake::encodeBsaAnimation(longOne), bake::BakeError);  // the writer keeps to the limits
    // Written by hand: header, then the one track.
    auto put = [&](int32_t v) { bytes.insert(bytes.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4); };
    put(3);
    put(600);
    put(70);
    for (int t = 0; t < 70; ++t) {
        put(t % 3);
        for (const auto& frame : longOne.tracks[0].frames)
            for (float f : frame) bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&f), reinterpret_cast<const uint8_t*>(&f) + 4);
    }
    auto clipped = readAnimationFile(bytes, 3);
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->frameCount, 500);
    EXPECT_EQ(clipped->tracks.size(), 60u);
    EXPECT_FLOAT_EQ(clipped->tracks[59].frames[499].at(0, 3), 4.0f);
}

TEST(AnimatedMesh, BindPoseOriginAndUntrackedBone) {
    Loaded l;
    load(l, smallMesh(), {rampAnimation(100)});
    AnimatedMesh& mesh = l.mesh;
    EXPECT_EQ(mesh.bones()[0].bindPosition.z, 2.0f);
    EXPECT_EQ(mesh.skeletonOrigin().z, 2.0f);
    EXPECT_EQ(mesh.bones()[0].bind.at(2, 3), 0.0f);  // the root moves relative to the placement
    EXPECT_EQ(mesh.animations().size(), 1u);
    // The root's frames lose the origin; bone B, without a track, holds its bind matrix throughout.
    EXPECT_FLOAT_EQ(mesh.animations()[0].frames[0][5].at(2, 3), 5.0f);
    EXPECT_EQ(mesh.animations()[0].frames[2][99].m, mesh.bones()[2].bind.m);

    // Unanimated, at a placement: every vertex is its model position less the origin plus the place.
    mesh.setPlacementTranslation({100, 0, 0});
    mesh.update(1.0f);
    EXPECT_NEAR(mesh.skinnedPositions()[1].x, 120.0f, 1e-4f);
    EXPECT_NEAR(mesh.skinnedPositions()[1].z, 0.0f, 1e-4f);

    play(mesh, 1.5f);
    for (int i = 0; i < 30; ++i) mesh.update(1.0f);
    EXPECT_EQ(mesh.bones()[2].local.m, mesh.bones()[2].bind.m);
    EXPECT_NEAR(mesh.skinnedPositions()[2].x, 100.0f - 20.0f, 1e-3f);
}

TEST(AnimatedMesh, FirstPoseIsFrameZeroAndFramesAdvanceOnlyPastOne) {
    Loaded l;
    bake::BoneAnimation animation = rampAnimation(100);
    animation.tracks[1].frames[0] = boneTransform(aboutZ(30), {10, 0, 0});
    load(l, smallMesh(), {animation});
    AnimatedMesh& mesh = l.mesh;
    mesh.setPlacementTranslation({0, 0, 0});  // loading leaves it at (0, 10, 0)
    play(mesh, 0.25f);
    mesh.update(1.0f);
    // Step is 0 before the first advance, so frames cur and nxt coincide: frame 0 exactly.
    EXPECT_NEAR(angleOfZ(mesh.bones()[1].local), 30.0f, 1e-3f);
    // Bone A turns vertex 1 (20 units out, 10 beyond A) by 30 degrees about A.
    EXPECT_NEAR(mesh.skinnedPositions()[1].x, 10.0f + 10.0f * std::cos(30 * 3.14159265f / 180), 1e-3f);
    EXPECT_NEAR(mesh.skinnedPositions()[1].y, 10.0f * std::sin(30 * 3.14159265f / 180), 1e-3f);

    const AnimatedMesh::Animation& a = mesh.animations()[0];
    for (int i = 0; i < 3; ++i) mesh.update(1.0f);
    EXPECT_EQ(a.t, 1.0f);  // reached, not exceeded
    EXPECT_EQ(a.currentFrame, 0);
    mesh.update(1.0f);
    EXPECT_EQ(a.currentFrame, 1);
    EXPECT_EQ(a.t, 0.0f);  // the excess 0.25 is dropped
    EXPECT_EQ(a.step, 1);
    // The next pose blends frame 1 towards frame 2 at t = 0: frame 1's rotation, frame 2's place.
    mesh.update(1.0f);
    EXPECT_NEAR(angleOfZ(mesh.bones()[1].local), 1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(mesh.bones()[0].local.at(2, 3), 2.0f);
}

TEST(AnimatedMesh, WrapsAfterTheLastFrameWhateverTheFrameCount) {
    for (int frames : {100, 7}) {
        Loaded l;
        load(l, smallMesh(), {rampAnimation(frames)});
        AnimatedMesh& mesh = l.mesh;
        play(mesh, 1.5f);  // one frame per update
        const AnimatedMesh::Animation& a = mesh.animations()[0];
        while (a.currentFrame != frames - 1) mesh.update(1.0f);
        mesh.update(1.0f);
        // From the last frame the pose heads for frame 0 (its place, the last frame's rotation).
        EXPECT_FLOAT_EQ(mesh.bones()[0].local.at(2, 3), 0.0f) << frames;
        EXPECT_NEAR(angleOfZ(mesh.bones()[1].local), static_cast<float>(frames - 1), 1e-3f) << frames;
        EXPECT_EQ(a.currentFrame, 0) << frames;
        // Every frame the file has got the origin correction.
        EXPECT_FLOAT_EQ(a.frames[0][static_cast<size_t>(frames - 1)].at(2, 3), static_cast<float>(frames - 1));
    }
}

TEST(AnimatedMesh, CrossFadeEndsPastOneAndRestartsTheNextAnimation) {
    Loaded l;
    load(l, smallMesh(), {rampAnimation(100), rampAnimation(50)});
    AnimatedMesh& mesh = l.mesh;
    mesh.playing = true;
    mesh.crossFading = true;
    mesh.nextAnimation = 1;
    mesh.fadeSpeed = 0.25f;
    mesh.playSpeed = 0.2f;
    for (int i = 0; i < 4; ++i) mesh.update(1.0f);
    EXPECT_TRUE(mesh.crossFading);
    EXPECT_EQ(mesh.fadePhase, 1.0f);
    mesh.update(1.0f);
    EXPECT_FALSE(mesh.crossFading);
    EXPECT_EQ(mesh.fadePhase, 0.0f);
    EXPECT_EQ(mesh.currentAnimation, 1);
    EXPECT_EQ(mesh.pendingAnimation, 0);
    EXPECT_EQ(mesh.animations()[1].currentFrame, 0);
    EXPECT_EQ(mesh.animations()[1].t, 0.0f);
    mesh.update(1.0f);  // now playing the second animation
    EXPECT_FLOAT_EQ(mesh.animations()[1].t, 0.2f);

    // An index set out of range is brought back instead of read past the list.
    mesh.currentAnimation = 9;
    mesh.update(1.0f);
    EXPECT_EQ(mesh.currentAnimation, 0);
}

TEST(AnimatedMesh, LoopingSkeletonNamesDoNotRecurse) {
    bake::SkinnedMesh mesh = smallMesh();
    mesh.bones[0].name = "Scene Root";  // the root is its own parent by name
    mesh.bones[1].parentName = "B";
    mesh.bones[2].parentName = "A";  // A and B each other's parent
    Loaded l;
    load(l, mesh, {rampAnimation(10)});
    play(l.mesh, 1.5f);
    l.mesh.update(1.0f);
    EXPECT_TRUE(std::isfinite(l.mesh.skinnedPositions()[3].x));
}

TEST(AnimatedMesh, MissingOrRefusedMeshDrawsNothing) {
    AnimatedMesh mesh;
    std::vector<uint8_t> junk(10, 0xFF);
    EXPECT_FALSE(mesh.loadFromBytes(junk, {}));
    EXPECT_FALSE(mesh.loaded());
    mesh.playing = true;
    mesh.update(1.0f);  // nothing to do, nothing read
    EXPECT_TRUE(mesh.drawCorners().empty());
}

}  // namespace
}  // namespace hg
