#include "bake/icon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include <png.h>

#include "bake/error.h"
#include "bake/ornaments.h"
#include "bake/paint.h"
#include "bake/texture_kit.h"

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Drawn on a 1024 pixel square and reduced, so the small shapes keep smooth edges.
constexpr int kDesign = 1024;
constexpr float kInset = 44.0f;         // transparent margin around the rounded square
constexpr float kCornerRadius = 190.0f;
constexpr Point kFireBase{512.0f, 852.0f};

std::vector<Point> roundedSquareOutline(float inset, float radius) {
    std::vector<Point> outline;
    const float lo = inset + radius, hi = float(kDesign) - inset - radius;
    const std::array<Point, 4> centres = {{{hi, hi}, {lo, hi}, {lo, lo}, {hi, lo}}};
    constexpr int kSteps = 24;
    for (int corner = 0; corner < 4; ++corner)
        for (int i = 0; i <= kSteps; ++i) {
            const float a = (float(corner) + float(i) / kSteps) * kPi * 0.5f;
            outline.push_back({centres[size_t(corner)].x + radius * std::cos(a), centres[size_t(corner)].y + radius * std::sin(a)});
        }
    return outline;
}

// A rectangle from (x0, y0) to (x1, y1).
std::array<Point, 4> box(float x0, float y0, float x1, float y1) { return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}}; }

Plane shape(std::span<const Point> outline) {
    Plane mask(kDesign, kDesign);
    addPolygon(mask, outline);
    return mask;
}

// A flame tongue standing on `base`: a round bottom of `width`, narrowing to a tip `height`
// above the base that leans sideways by `lean` (a fraction of the height).
std::vector<Point> tongueOutline(Point base, float width, float height, float lean) {
    const float r = width * 0.5f;
    const Point centre{base.x, base.y - r};
    const float rise = height - r;
    std::vector<Point> right, left;
    constexpr int kSteps = 40;
    for (int i = 0; i <= kSteps; ++i) {
        const float u = float(i) / kSteps;
        const float half = r * std::pow(1.0f - u, 1.3f) * (1.0f + 0.25f * std::sin(u * kPi));
        const float x = centre.x + lean * height * u * u;
        right.push_back({x + half, centre.y - rise * u});
        left.push_back({x - half, centre.y - rise * u});
    }
    std::vector<Point> outline(right.begin(), right.end());
    outline.insert(outline.end(), left.rbegin(), left.rend());
    for (int i = 1; i < kSteps; ++i) {
        const float a = kPi * float(i) / kSteps;  // the bottom half circle, left to right
        outline.push_back({centre.x - r * std::cos(a), centre.y + r * std::sin(a)});
    }
    return outline;
}

// The night behind the room: deep blue, lighter towards the fire, a few specks of snow.
void paintNight(Canvas& canvas) {
    linearGradient(canvas, {0.0f, 0.0f}, rgb(0x0A1330), {0.0f, float(kDesign)}, rgb(0x1B2A5C));
    softDisc(canvas, {512.0f, 700.0f}, 620.0f, rgb(0xFF8A30, 0.30f));
    // Snow on a jittered grid, so the flakes spread evenly over the sky.
    Random random(1224);
    for (int i = 0; i < 21; ++i) {
        const Point p{130.0f + float(i % 7) * 127.0f + random.uniform(-45.0f, 45.0f),
                      100.0f + float(i / 7) * 95.0f + random.uniform(-30.0f, 30.0f)};
        const float r = random.uniform(5.0f, 11.0f);
        softDisc(canvas, p, r * 2.2f, rgb(0xDCE8FF, 0.35f));
        Plane flake(kDesign, kDesign);
        addDisc(flake, p, r * 0.6f);
        paintMask(canvas, flake, 0, 0, rgb(0xF4F8FF, 0.85f));
    }
}

// Brick courses around the opening, each brick its own shade, lit by the fire.
Colour brickAt(float x, float y) {
    constexpr float kCourse = 58.0f, kBrick = 124.0f, kMortar = 9.0f;
    const int row = int(y / kCourse);
    const float shifted = x + (row % 2) * kBrick * 0.5f;
    const int column = int(shifted / kBrick);
    if (std::fmod(y, kCourse) < kMortar || std::fmod(shifted, kBrick) < kMortar) return rgb(0x2E140C);
    const uint32_t hash = uint32_t(row * 73856093) ^ uint32_t(column * 19349663);
    const float tone = float(hash % 97) / 96.0f;
    const float dx = (x - kFireBase.x) / 420.0f, dy = (y - kFireBase.y + 120.0f) / 420.0f;
    const float light = std::clamp(1.15f - std::sqrt(dx * dx + dy * dy), 0.35f, 1.0f);
    return shade(mix(rgb(0x8A3320), rgb(0xB5512E), tone), 0.55f + 0.6f * light);
}

// An arch of half width `half` whose round top is at `top`, standing on `floor`.
std::vector<Point> archOutline(float half, float top, float floor) {
    std::vector<Point> outline{{512.0f - half, floor}};
    const float shoulder = top + half;
    for (int i = 0; i <= 48; ++i) {
        const float a = kPi + kPi * float(i) / 48.0f;
        outline.push_back({512.0f + half * std::cos(a), shoulder + half * std::sin(a)});
    }
    outline.push_back({512.0f + half, floor});
    return outline;
}

void paintOutlined(Canvas& canvas, const Plane& mask, float rim, const std::function<Colour(float, float)>& colourAt) {
    Plane edge = dilate(mask, rim);
    blur(edge, rim * 0.4f);
    paintMask(canvas, edge, 0, 0, rgb(0x140804, 0.9f));
    paintMask(canvas, mask, 0, 0, colourAt);
}

void paintFire(Canvas& canvas) {
    Plane logs(kDesign, kDesign);
    addLine(logs, {410.0f, 862.0f}, {600.0f, 836.0f}, 40.0f);
    addLine(logs, {430.0f, 834.0f}, {620.0f, 864.0f}, 40.0f);
    paintMask(canvas, logs, 0, 0, rgb(0x3A1C0C));
    softDisc(canvas, {kFireBase.x, kFireBase.y - 110.0f}, 300.0f, rgb(0xFF9A3A, 0.6f));
    struct Tongue {
        float dx, width, height, lean;
    };
    const std::array<Tongue, 3> tongues = {{{-62.0f, 118.0f, 200.0f, -0.16f}, {64.0f, 112.0f, 180.0f, 0.18f}, {0.0f, 156.0f, 290.0f, 0.06f}}};
    const std::array<Colour, 3> layers = {rgb(0xE9501A), rgb(0xFF9E30), rgb(0xFFEDB0)};
    const std::array<float, 3> scales = {1.0f, 0.74f, 0.45f};
    for (size_t l = 0; l < layers.size(); ++l) {
        Plane mask(kDesign, kDesign);
        for (const Tongue& t : tongues)
            addPolygon(mask, tongueOutline({kFireBase.x + t.dx * scales[l], kFireBase.y}, t.width * scales[l], t.height * scales[l], t.lean));
        paintMask(canvas, mask, 0, 0, layers[l]);
    }
}

void paintFireplace(Canvas& canvas) {
    const float arch = 176.0f, archTop = 560.0f, floor = 880.0f;
    // The brick surround, the dark opening and the fire in it.
    paintOutlined(canvas, shape(box(196.0f, 440.0f, 828.0f, floor)), 7.0f, brickAt);
    Plane opening = shape(archOutline(arch, archTop, floor));
    paintOutlined(canvas, opening, 6.0f, [&](float, float y) {
        return mix(rgb(0x100604), rgb(0x6A2808), std::clamp((y - archTop) / (floor - archTop), 0.0f, 1.0f));
    });
    paintFire(canvas);
    // Hearth stone and mantel shelf.
    paintOutlined(canvas, shape(box(150.0f, floor - 6.0f, 874.0f, 936.0f)), 6.0f,
                  [&](float, float y) { return mix(rgb(0xD2AE84), rgb(0x7C5A3C), (y - floor) / 56.0f); });
    paintOutlined(canvas, shape(box(136.0f, 392.0f, 888.0f, 446.0f)), 7.0f,
                  [&](float, float y) { return mix(rgb(0xB0703E), rgb(0x4A2410), (y - 392.0f) / 54.0f); });
}

// A garland swagged under the mantel's edge, with coloured lights along it.
void paintGarland(Canvas& canvas) {
    auto garlandAt = [](float t) {
        const float x = 150.0f + t * 724.0f;
        return Point{x, 444.0f + 54.0f * std::abs(std::sin(t * 3.0f * kPi))};
    };
    Plane garland(kDesign, kDesign);
    constexpr int kSteps = 90;
    for (int i = 0; i < kSteps; ++i) addLine(garland, garlandAt(float(i) / kSteps), garlandAt(float(i + 1) / kSteps), 34.0f);
    paintOutlined(canvas, garland, 5.0f, [](float x, float y) {
        const float needles = 0.5f + 0.5f * std::sin(x * 0.35f + y * 0.9f) * std::sin(x * 0.7f - y * 0.4f);
        return mix(rgb(0x0C3A1C), rgb(0x2F7A3A), needles);
    });
    const std::array<Colour, 5> lights = {rgb(0xFF3B36), rgb(0xFFD23C), rgb(0x3CA8FF), rgb(0x4FE06A), rgb(0xFF6AD0)};
    constexpr int kLights = 13;
    for (int i = 0; i < kLights; ++i) {
        const Point p = garlandAt((float(i) + 0.5f) / kLights);
        const Colour colour = lights[size_t(i) % lights.size()];
        softDisc(canvas, p, 54.0f, withAlpha(colour, 0.55f));
        Plane bulb(kDesign, kDesign);
        addDisc(bulb, p, 15.0f);
        paintMask(canvas, bulb, 0, 0, mix(colour, rgb(0xFFFFFF), 0.35f));
    }
}

// The mantel clock between two candles.
void paintMantel(Canvas& canvas) {
    for (float x : {268.0f, 756.0f}) {
        paintOutlined(canvas, shape(box(x - 22.0f, 276.0f, x + 22.0f, 394.0f)), 5.0f,
                      [&](float px, float) { return mix(rgb(0xFFF4DC), rgb(0xD8C09A), std::clamp((px - x + 22.0f) / 44.0f, 0.0f, 1.0f)); });
        softDisc(canvas, {x, 236.0f}, 110.0f, rgb(0xFFB04A, 0.45f));
        Plane flame(kDesign, kDesign);
        addPolygon(flame, tongueOutline({x, 270.0f}, 30.0f, 70.0f, 0.0f));
        paintMask(canvas, flame, 0, 0, rgb(0xFFD27A));
    }
    const Point centre{512.0f, 284.0f};
    Plane foot(kDesign, kDesign);
    addPolygon(foot, box(430.0f, 350.0f, 594.0f, 394.0f));
    paintOutlined(canvas, foot, 5.0f, [](float, float y) { return mix(rgb(0x8A5226), rgb(0x4A2410), (y - 350.0f) / 44.0f); });
    Plane ring(kDesign, kDesign);
    addDisc(ring, centre, 104.0f);
    paintOutlined(canvas, ring, 6.0f, [&](float x, float y) {
        return mix(rgb(0xFFE08A), rgb(0x9A6A1E), std::clamp((x - centre.x + y - centre.y) / 300.0f + 0.5f, 0.0f, 1.0f));
    });
    Plane face(kDesign, kDesign);
    addDisc(face, centre, 80.0f);
    paintMask(canvas, face, 0, 0, rgb(0xFFF6E2));
    Plane marks(kDesign, kDesign);
    for (int hour = 0; hour < 12; hour += 3) {
        const float a = float(hour) * kPi / 6.0f;
        addLine(marks, {centre.x + 58.0f * std::sin(a), centre.y - 58.0f * std::cos(a)},
                {centre.x + 70.0f * std::sin(a), centre.y - 70.0f * std::cos(a)}, 10.0f);
    }
    // Ten past ten, as clocks are shown.
    addLine(marks, centre, {centre.x - 40.0f * std::sin(kPi / 3.0f), centre.y - 40.0f * std::cos(kPi / 3.0f)}, 14.0f);
    addLine(marks, centre, {centre.x + 60.0f * std::sin(kPi / 3.0f), centre.y - 60.0f * std::cos(kPi / 3.0f)}, 9.0f);
    paintMask(canvas, marks, 0, 0, rgb(0x2A1A10));
}

// Keeps only what lies inside `mask` (premultiplied, so every channel scales alike).
void clip(Canvas& canvas, const Plane& mask) {
    for (size_t i = 0; i < canvas.pixels().size(); ++i) {
        Pixel& p = canvas.pixels()[i];
        const float coverage = mask.values()[i];
        p = {p.r * coverage, p.g * coverage, p.b * coverage, p.a * coverage};
    }
}

}  // namespace

Canvas drawIcon(int size) {
    const Plane tile = shape(roundedSquareOutline(kInset, kCornerRadius));
    Canvas scene(kDesign, kDesign);
    paintNight(scene);
    paintFireplace(scene);
    paintGarland(scene);
    paintMantel(scene);
    // A faint light edge keeps the dark tile apart from a dark panel.
    Plane edge(kDesign, kDesign);
    const std::vector<Point> outline = roundedSquareOutline(kInset + 5.0f, kCornerRadius - 5.0f);
    for (size_t i = 0; i < outline.size(); ++i) addLine(edge, outline[i], outline[(i + 1) % outline.size()], 7.0f);
    paintMask(scene, edge, 0, 0, rgb(0x9FB4E8, 0.35f));
    clip(scene, tile);

    Canvas icon(kDesign, kDesign);
    Plane shadow = tile;
    blur(shadow, 14.0f);
    paintMask(icon, shadow, 0, 12, rgb(0x000000, 0.45f));
    composite(icon, scene, 0, 0);
    return resample(icon, size, size);
}

namespace {

std::vector<uint8_t> encodePng(const Canvas& canvas) {
    const Image image = toImage(canvas, 4);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png, size, 0, image.pixels.data(), 0, nullptr)) {
        const std::string reason = png.message;
        png_image_free(&png);
        throw BakeError("cannot encode the icon: " + reason);
    }
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        const std::string reason = png.message;
        png_image_free(&png);
        throw BakeError("cannot encode the icon: " + reason);
    }
    bytes.resize(size);
    return bytes;
}

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

void writeIco(const std::filesystem::path& path) {
    std::vector<std::vector<uint8_t>> images;
    for (int size : kWindowsIconSizes) images.push_back(encodePng(drawIcon(size)));
    const uint32_t count = static_cast<uint32_t>(images.size());
    std::vector<uint8_t> file;
    putLittleEndian(file, 0, 2);      // reserved
    putLittleEndian(file, 1, 2);      // an icon, not a cursor
    putLittleEndian(file, count, 2);
    uint32_t offset = 6 + 16 * count;
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = kWindowsIconSizes[i];
        file.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));  // 0 stands for 256
        file.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        file.push_back(0);                 // no palette
        file.push_back(0);
        putLittleEndian(file, 1, 2);       // planes
        putLittleEndian(file, 32, 2);      // bits per pixel
        putLittleEndian(file, static_cast<uint32_t>(images[i].size()), 4);
        putLittleEndian(file, offset, 4);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) throw BakeError("cannot write " + path.string());
}

void writePng(const std::filesystem::path& path, const Canvas& canvas) {
    const std::vector<uint8_t> bytes = encodePng(canvas);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw BakeError("cannot write " + path.string());
}

}  // namespace hg::bake
