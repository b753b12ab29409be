#include "bake/fire_content.h"

#include <algorithm>
#include <cmath>

#include "bake/families.h"
#include "bake/tile_noise.h"

namespace hg::bake {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kFrames = 100;
constexpr int kColumns = 4;
constexpr int kRows = 6;
constexpr float kTextureRepeat = 45.0f;  // world height of one turn of the flame texture

struct Sheet {
    float x, y;      // foot centre
    float yaw;       // degrees; 0 faces the room
    float width, height;
    float leftShare; // how much of the upper part follows Bone01 rather than Bone02
    float phase;     // texture offset, so no two sheets scroll the same tongues side by side
};

// Crossed sheets of different heights: from any side several overlap, so the additive colour
// builds to yellow-white at the foot and thins to single orange tongues at the top.
constexpr Sheet kSheets[] = {
    {0, 0, 0, 34, 55, 0.5f, 0.00f},    {-14, 3, 35, 26, 46, 0.85f, 0.31f}, {14, -2, -30, 28, 50, 0.15f, 0.62f},
    {-25, -3, -20, 20, 34, 0.95f, 0.17f}, {25, 4, 25, 20, 37, 0.05f, 0.83f}, {-6, -6, 70, 24, 52, 0.65f, 0.45f},
    {7, 6, -65, 24, 47, 0.35f, 0.71f},  {0, 2, 90, 22, 42, 0.5f, 0.27f},   {-18, 8, 60, 18, 30, 0.75f, 0.56f},
    {18, -7, -55, 18, 32, 0.25f, 0.09f},
};

float smoothstep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

std::array<float, 4> axisAngle(float ax, float ay, float az, float degrees) {
    const float half = degrees * kPi / 360.0f;
    const float length = std::sqrt(ax * ax + ay * ay + az * az);
    const float s = std::sin(half) / length;
    return {ax * s, ay * s, az * s, std::cos(half)};
}

std::array<float, 4> multiply(std::array<float, 4> a, std::array<float, 4> b) {
    return {a[3] * b[0] + b[3] * a[0] + (a[1] * b[2] - a[2] * b[1]), a[3] * b[1] + b[3] * a[1] + (a[2] * b[0] - a[0] * b[2]),
            a[3] * b[2] + b[3] * a[2] + (a[0] * b[1] - a[1] * b[0]), a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

// A sum of waves, each a whole number of cycles per loop: (cycles, amplitude, phase).
struct Wave {
    int cycles;
    float amplitude;
    float phase;
};

float waves(std::initializer_list<Wave> list, int frame) {
    float sum = 0;
    for (const Wave& w : list) sum += w.amplitude * std::sin(2 * kPi * static_cast<float>(w.cycles * frame) / kFrames + w.phase);
    return sum;
}

// Sideways (about y) and front-back (about x) swing, then the bone's place.
BoneTransform swing(float aboutY, float aboutX, std::array<float, 3> at) {
    return boneTransform(multiply(axisAngle(0, 1, 0, aboutY), axisAngle(1, 0, 0, aboutX)), at);
}

}  // namespace

SkinnedMesh fireplaceFireMesh() {
    SkinnedMesh mesh;
    mesh.texture = "add_flame.tga";
    mesh.scrollU = 0.0f;
    mesh.scrollV = 0.5f;
    mesh.bones = {
        {boneTransform({0, 0, 0, 1}, {0, 0, 2}), "Bone03", "Scene Root"},
        {boneTransform({0, 0, 0, 1}, {-11, 0, 14}), "Bone01", "Bone03"},
        {boneTransform({0, 0, 0, 1}, {11, 0, 18}), "Bone02", "Bone03"},
    };
    for (const Sheet& sheet : kSheets) {
        const float yaw = sheet.yaw * kPi / 180.0f;
        const float dx = std::cos(yaw), dy = std::sin(yaw);
        const std::array<float, 3> normal = {-dy, dx, 0.0f};
        const int32_t first = static_cast<int32_t>(mesh.vertices.size());
        for (int r = 0; r <= kRows; ++r) {
            const float h = static_cast<float>(r) / kRows;
            // Wider a little above the foot, then tapering to a point.
            const float width = sheet.width * 1.25f * std::pow(1.0f - h, 0.65f) * (1.0f + 0.5f * h);
            const float upper = smoothstep(0.05f, 0.75f, h);
            for (int c = 0; c <= kColumns; ++c) {
                const float s = static_cast<float>(c) / kColumns - 0.5f;
                // A slight bow, so a sheet seen edge-on still shows some flame.
                const float bow = 2.5f * std::cos(s * kPi) * (1.0f - h);
                SkinnedVertex v;
                v.position = {sheet.x + s * width * dx + bow * normal[0], sheet.y + s * width * dy + bow * normal[1],
                              h * sheet.height};
                v.weights = {1.0f - upper, upper * sheet.leftShare, upper * (1.0f - sheet.leftShare)};
                v.bones = {0, 1, 2};
                mesh.vertices.push_back(v);
                mesh.texVertices.push_back({static_cast<float>(c) / kColumns, h * sheet.height / kTextureRepeat + sheet.phase});
            }
        }
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const int32_t a = first + r * (kColumns + 1) + c, b = a + 1, d = a + kColumns + 1, e = d + 1;
                for (std::array<int32_t, 3> face : {std::array<int32_t, 3>{a, b, e}, std::array<int32_t, 3>{a, e, d}}) {
                    mesh.faces.push_back(face);
                    mesh.texFaces.push_back(face);
                    for (int k = 0; k < 3; ++k) mesh.normals.push_back(normal);
                }
            }
        }
    }
    return mesh;
}

BoneAnimation fireplaceFireAnimation() {
    BoneAnimation animation;
    animation.boneCount = 3;
    animation.frameCount = kFrames;
    BoneTrack root{0, {}}, left{1, {}}, right{2, {}};
    for (int f = 0; f < kFrames; ++f) {
        // The whole fire breathes slowly; the two upper bones sway, stretch and lick on their own.
        root.frames.push_back(swing(waves({{1, 2.5f, 0.3f}, {7, 1.2f, 1.1f}}, f), waves({{3, 1.5f, 1.0f}}, f),
                                    {0, 0, 2 + waves({{5, 0.8f, 0.0f}}, f)}));
        left.frames.push_back(swing(waves({{2, 9.0f, 0.5f}, {11, 5.0f, 2.1f}, {17, 3.0f, 0.0f}}, f),
                                    waves({{3, 7.0f, 1.3f}, {13, 3.0f, 0.4f}}, f),
                                    {-11, 0, 14 + waves({{5, 3.0f, 0.4f}, {9, 1.5f, 0.0f}}, f)}));
        right.frames.push_back(swing(waves({{3, -8.0f, 2.0f}, {7, 5.0f, 0.2f}, {19, 3.0f, 1.0f}}, f),
                                     waves({{2, 6.0f, 0.7f}, {11, 3.0f, 2.5f}}, f),
                                     {11, 0, 18 + waves({{4, 3.5f, 1.7f}, {13, 1.5f, 0.3f}}, f)}));
    }
    animation.tracks = {root, left, right};
    return animation;
}

// Flame tongues streaming up (the picture tiles top to bottom), bright in the middle of the
// width and dark at its sides, so each sheet's edges vanish.
Canvas flameTexture() {
    constexpr int kWidth = 128, kHeight = 256;
    Canvas canvas(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / kWidth;
            const float v = 1.0f - (static_cast<float>(y) + 0.5f) / kHeight;  // up the picture
            const float across = std::exp(-std::pow((u - 0.5f) / 0.3f, 2.0f));
            // Tall streaks (many cells across, few up) broken into tongues by a coarser layer; both
            // centred on 0 with their contrast raised, so dark gaps run up between the tongues.
            const float streaks = (tile_noise::fractal(u, v, 8, 2, 4, 7u) - 0.5f) * 2.8f;
            const float gaps = (tile_noise::fractal(u, v, 4, 3, 3, 29u) - 0.5f) * 1.8f;
            const float intensity = across * smoothstep(-0.45f, 0.55f, streaks + gaps + across * 0.3f - 0.15f);
            const Colour colour = mix(rgb(0xC8300A), mix(rgb(0xFF8A1E), rgb(0xFFE27A), smoothstep(0.55f, 1.0f, intensity)),
                                      smoothstep(0.1f, 0.6f, intensity));
            const float alpha = std::pow(intensity, 1.1f) * 0.9f;
            canvas.at(x, y) = {colour.r * alpha, colour.g * alpha, colour.b * alpha, alpha};
        }
    }
    return canvas;
}

void bakeFireplaceFire(Bakery& bakery) {
    bakery.writeTga(Tree::Main, "Textures/add_flame.tga", flameTexture(), true);
    bakery.write(Tree::Main, "Models/fireplace_fire.BSA", encodeBsaMesh(fireplaceFireMesh()));
    bakery.write(Tree::Main, "Models/fireplace_fire_anim.BSA", encodeBsaAnimation(fireplaceFireAnimation()));
}

}  // namespace hg::bake
