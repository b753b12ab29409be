#include "bake/room_models.h"

#include <array>
#include <cmath>
#include <numbers>

#include "bake/model_parts.h"
#include "bake/texture_kit.h"

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
const char* const kAtlas = "decor_atlas.tga";

Cell cell(int column, int row) { return gridCell(column, row, 4, 4); }
Cell redWrap() { return cell(0, 0); }
Cell greenWrap() { return cell(1, 0); }
Cell blueWrap() { return cell(2, 0); }
Cell ribbon() { return cell(3, 0); }
Cell shadeCloth() { return cell(0, 1); }
Cell brass() { return cell(1, 1); }
Cell bark() { return cell(2, 1); }
Cell endGrain() { return cell(3, 1); }
Cell needles() { return cell(0, 2); }
Cell baubleCell(int i) { return i < 3 ? cell(1 + i, 2) : cell(1, 3); }
Cell ceramic() { return cell(0, 3); }
Cell berry() { return cell(2, 3); }

ModelObject object(const std::string& name, Shape shape, const std::string& parent = kRootParent) {
    return modelObject(name, kAtlas, std::move(shape), parent);
}

Model single(Shape shape) {
    Model m;
    m.objects.push_back(object("Hull", std::move(shape)));
    return m;
}

// A log from a to b: bark round it and pale end grain on both cut faces.
Shape log(Float3 a, Float3 b, float radius) {
    const float len = length(b - a);
    Shape side = finish(cylinder(radius, radius * 0.94f, len, 10, false), bark(), 50.0f);
    // Caps: a profile running out from the axis faces down, one running in towards it faces up.
    Shape bottom = finishSolid(lathe(std::array<Float2, 2>{Float2{0, 0}, {radius, 0}}, 10), endGrain(), 10.0f);
    Shape top = finishSolid(lathe(std::array<Float2, 2>{Float2{radius * 0.94f, len}, {0, len}}, 10), endGrain(), 10.0f);
    merge(side, bottom);
    merge(side, top);
    apply(side, Transform::frame(a, normalized(b - a), {0, 0, 1}));
    return side;
}

}  // namespace

Model buildFirewood() {
    Shape s;
    const float r = 5.5f, len = 42.0f;
    int seed = 3;
    for (int row = 0; row < 3; ++row) {
        const int count = 4 - row;
        for (int i = 0; i < count; ++i) {
            const float y = (static_cast<float>(i) - 0.5f * static_cast<float>(count - 1)) * 2.05f * r;
            const float z = r + static_cast<float>(row) * 1.75f * r;
            const float jitter = static_cast<float>((seed = seed * 7 % 11)) - 5.0f;
            merge(s, log({-0.5f * len + jitter * 0.4f, y, z}, {0.5f * len + jitter * 0.3f, y + jitter * 0.15f, z}, r * (0.85f + 0.03f * jitter)));
        }
    }
    return single(std::move(s));
}

Model buildLamp() {
    const std::array<Float2, 12> base = {Float2{0, 0},   {8.0f, 0},    {8.2f, 1.0f}, {6.5f, 2.5f},  {2.0f, 4.0f},  {1.4f, 8.0f},
                                         {2.6f, 12.0f},  {1.2f, 16.0f}, {1.0f, 28.0f}, {2.0f, 29.0f}, {1.5f, 31.0f}, {0, 31.0f}};
    Shape hull = finish(lathe(base, 20), brass(), 40.0f);
    Model m;
    m.objects.push_back(object("Hull", std::move(hull)));
    const std::array<Float2, 4> shade = {Float2{16.0f, 26.0f}, {16.5f, 27.0f}, {10.0f, 45.0f}, {9.5f, 46.0f}};
    ModelObject glow = object("shade", finish(lathe(shade, 24), shadeCloth(), 60.0f), "Hull");
    glow.material.illuminationTexture = "lamp_glow.tga";
    m.objects.push_back(std::move(glow));
    return m;
}

Model buildGiftBox(int variant) {
    const Float3 sizes[3] = {{30, 30, 24}, {20, 20, 34}, {40, 28, 13}};
    const Cell wraps[3] = {redWrap(), greenWrap(), blueWrap()};
    const Float3 size = sizes[variant];
    Shape s = finish(transformed(box(size, 0.6f), Transform::translate({0, 0, 0.5f * size.z})), wraps[variant], 30.0f);
    const float band = 4.0f;
    merge(s, finish(transformed(box({size.x + 0.6f, band, size.z + 0.6f}), Transform::translate({0, 0, 0.5f * size.z})), ribbon()));
    merge(s, finish(transformed(box({band, size.y + 0.6f, size.z + 0.6f}), Transform::translate({0, 0, 0.5f * size.z})), ribbon()));
    for (float turn : {0.6f, 0.6f + kPi}) {
        Shape loop = torus(4.0f, 1.2f, 14, 6);
        apply(loop, Transform::translate({0, 0, size.z + 2.5f}) * Transform::rotateZ(turn) * Transform::translate({4.0f, 0, 0}) *
                        Transform::rotateX(0.5f * kPi) * Transform::scale({1.0f, 0.7f, 1.0f}));
        merge(s, finish(std::move(loop), ribbon(), 60.0f));
    }
    return single(std::move(s));
}

Model buildGarland(float length) {
    Shape s;
    const int swags = 3, steps = 14;
    const float each = length / swags;
    std::vector<Float3> path;
    for (int k = 0; k < swags; ++k)
        for (int i = 0; i <= steps; ++i) {
            if (k > 0 && i == 0) continue;
            const float t = static_cast<float>(i) / steps;
            const float x = -0.5f * length + each * (static_cast<float>(k) + t);
            path.push_back({x, -3.0f - 3.0f * std::sin(kPi * t), -16.0f * std::sin(kPi * t) + 1.0f});
        }
    const auto section = circleOutline(4.5f, 8);
    Shape rope = sweep(section, path, false, 0.05f);
    s = finish(std::move(rope), needles(), 70.0f);
    // Baubles where the swags hang lowest, berries scattered along them, bows at the hooks.
    for (int k = 0; k < swags; ++k) {
        const float x = -0.5f * length + each * (static_cast<float>(k) + 0.5f);
        merge(s, finish(transformed(sphere(3.6f, 12, 8), Transform::translate({x, -8.0f, -21.0f})), baubleCell(k % 4), 70.0f));
        for (int b = 0; b < 5; ++b) {
            const float t = 0.12f + 0.19f * static_cast<float>(b);
            const Float3 p{-0.5f * length + each * (static_cast<float>(k) + t), -7.5f - 3.0f * std::sin(kPi * t), -16.0f * std::sin(kPi * t) + 2.5f};
            merge(s, finishSolid(transformed(sphere(1.2f, 6, 4), Transform::translate(p)), berry(), 80.0f));
        }
    }
    for (int k = 0; k <= swags; ++k) {
        const float x = -0.5f * length + each * static_cast<float>(k);
        for (float side : {-1.0f, 1.0f}) {
            Shape loop = torus(3.0f, 1.0f, 12, 6);
            apply(loop, Transform::translate({x + side * 3.0f, -6.0f, 1.0f}) * Transform::rotateX(0.5f * kPi));
            merge(s, finish(std::move(loop), ribbon(), 60.0f));
        }
    }
    return single(std::move(s));
}

Model buildBaubleBowl() {
    const std::array<Float2, 8> bowl = {Float2{0, 0},      {6.0f, 0},    {7.0f, 1.5f}, {13.0f, 6.0f},
                                        {14.0f, 7.5f},     {13.2f, 7.8f}, {6.5f, 2.6f}, {0, 2.4f}};
    Shape s = finish(lathe(bowl, 28), ceramic(), 45.0f);
    const Float3 spots[7] = {{0, 0, 5.5f}, {5.5f, 2.0f, 6.5f}, {-5.0f, 3.0f, 6.5f}, {1.0f, -5.8f, 6.5f}, {-3.0f, -3.0f, 9.5f}, {3.0f, 3.5f, 10.0f}, {-1.0f, 5.5f, 7.0f}};
    for (int i = 0; i < 7; ++i) {
        merge(s, finish(transformed(sphere(3.8f, 14, 9), Transform::translate(spots[i])), baubleCell(i % 4), 80.0f));
        merge(s, finishSolid(transformed(cylinder(0.9f, 0.9f, 1.2f, 6), Transform::translate(spots[i] + Float3{0, 0, 3.6f})), brass()));
    }
    return single(std::move(s));
}

std::vector<NamedModel> decorationModels() {
    std::vector<NamedModel> out;
    out.push_back({"firewood", buildFirewood()});
    out.push_back({"lamp", buildLamp()});
    out.push_back({"giftbox", buildGiftBox(0)});
    out.push_back({"giftboxtall", buildGiftBox(1)});
    out.push_back({"giftboxflat", buildGiftBox(2)});
    out.push_back({"garland", buildGarland(236.0f)});
    out.push_back({"baubles", buildBaubleBowl()});
    return out;
}

std::vector<DecorTexture> decorationTextures() {
    const int size = 512, tile = 128;
    Canvas atlas(size, size);
    auto put = [&](int column, int row, const Canvas& picture) { placeInAtlas(atlas, picture, column * tile, row * tile, tile, tile); };
    put(0, 0, paintedDots(128, rgb(0xB8202A), rgb(0xF0D070), 5, 0.1f, 201u));
    put(1, 0, paintedStripes(128, rgb(0x1E6A3A), rgb(0xE8E0C8), 4, 1, 202u));
    put(2, 0, paintedDots(128, rgb(0x24408A), rgb(0xF4F4FF), 6, 0.07f, 203u));
    put(3, 0, brushedMetal(128, rgb(0xD8A840), rgb(0xFFF0B0), rgb(0x906820), 204u));
    put(0, 1, woven(128, 24, rgb(0xF2E2C0), rgb(0xE6D2A8), 205u));
    put(1, 1, brushedMetal(128, rgb(0xC89A48), rgb(0xFFE8A8), rgb(0x6A5024), 206u));
    put(2, 1, makeTexture(128, [](float u, float v) {
        const float crack = std::fabs(fbm(u, v, 3, 8, 3, 207u));
        return mix(rgb(0x6A4A32), rgb(0x2A1C12), crack < 0.08f ? 0.9f : 0.2f);
    }));
    put(3, 1, makeTexture(128, [](float u, float v) {
        const float r = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f));
        return mix(rgb(0xD8B080), rgb(0xA87848), 0.5f + 0.5f * std::sin(r * 70.0f));
    }));
    put(0, 2, firNeedles(128, 208u));
    put(1, 2, brushedMetal(128, rgb(0xC01828), rgb(0xFF8088), rgb(0x700810), 209u));
    put(2, 2, brushedMetal(128, rgb(0xD8A830), rgb(0xFFF0A0), rgb(0x806010), 210u));
    put(3, 2, brushedMetal(128, rgb(0xB8C0C8), rgb(0xFFFFFF), rgb(0x707880), 211u));
    put(0, 3, painted(128, rgb(0xF4F0E8), 212u));
    put(1, 3, brushedMetal(128, rgb(0x1E8A3A), rgb(0x90F0A0), rgb(0x0A4018), 213u));
    put(2, 3, painted(128, rgb(0xD01820), 214u));
    put(3, 3, painted(128, rgb(0x2040A0), 215u));
    Canvas glow = makeTexture(64, [](float, float v) { return shade(rgb(0xFFB050), 0.55f + 0.25f * v); });
    return {{"decor_atlas.tga", std::move(atlas)}, {"lamp_glow.tga", std::move(glow)}};
}

}  // namespace hg::bake
