// What the loading screen shows: the room at night, as the program draws it, with a "Loading" banner
// (Notification/loading.jpg, top row first as JPEG stores it), the Hearthglow logo for the
// lower right corner (Logo/4loader.tga), and the room alone at 160 x 120 for the preview
// (Notification/preview.tga).
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include <png.h>

#include "bake/error.h"
#include "bake/families.h"
#include "bake/ornaments.h"
#include "bake/overlay_look.h"
#include "bake/paint.h"
#include "bake/text.h"

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A flame tongue: round at the bottom, drawn out to a point `height` above its base, the tip
// leaning sideways by `lean` (a fraction of the height).
std::vector<Point> flameOutline(Point base, float width, float height, float lean) {
    std::vector<Point> outline;
    constexpr int kSteps = 64;
    const float radius = width * 0.5f;
    for (int i = 0; i < kSteps; ++i) {
        const float t = 2.0f * kPi * float(i) / kSteps;
        const float up = (1.0f + std::cos(t)) * 0.5f;  // 1 at the tip, 0 at the bottom
        const float x = std::sin(t) * std::pow(std::sin(t * 0.5f), 1.6f) * radius;
        const float y = -up * (height - radius) + (1.0f - up) * radius * 0.2f;
        outline.push_back({base.x + x + lean * height * up * up, base.y - radius + y});
    }
    return outline;
}

// Three tongues of fire, layered from deep orange to a pale core, in a warm halo.
void drawFire(Canvas& canvas, Point base, float size) {
    softDisc(canvas, {base.x, base.y - size * 0.45f}, size * 1.6f, rgb(0xFF8A2A, 0.55f));
    struct Layer {
        Colour colour;
        float scale;
    };
    const std::array<Layer, 3> layers = {{{rgb(0xF0561A), 1.0f}, {rgb(0xFFA534), 0.72f}, {rgb(0xFFF2B8), 0.42f}}};
    struct Tongue {
        float dx, width, height, lean;
    };
    const std::array<Tongue, 3> tongues = {{{-0.26f, 0.42f, 0.72f, -0.12f}, {0.26f, 0.40f, 0.66f, 0.14f}, {0.0f, 0.55f, 1.0f, 0.05f}}};
    for (const Layer& layer : layers) {
        Plane mask(canvas.width(), canvas.height());
        for (const Tongue& t : tongues)
            addPolygon(mask, flameOutline({base.x + t.dx * size * layer.scale, base.y}, t.width * size * layer.scale,
                                          t.height * size * layer.scale, t.lean));
        paintMask(canvas, mask, 0, 0, layer.colour);
    }
}

// --- Logo -----------------------------------------------------------------------------------

void bakeLogo(Bakery& bakery) {
    constexpr int kWidth = 512, kHeight = 256, kScale = 3;
    const float unit = kScale;
    Canvas canvas = designCanvas(kWidth, kHeight, kScale);

    // The emblem: a brick hearth arch with a fire inside.
    const Point centre{300.0f, 384.0f};
    const float halfWidth = 190.0f, top = 130.0f, bottom = 650.0f;
    auto archOutline = [&](float inset, float floorY) {
        std::vector<Point> outline;
        const float w = halfWidth - inset;
        const float shoulder = top + inset + w;  // the arch is a half circle on two straight sides
        outline.push_back({centre.x - w, floorY});
        for (int i = 0; i <= 48; ++i) {
            const float a = kPi + kPi * float(i) / 48.0f;
            outline.push_back({centre.x + w * std::cos(a), shoulder + w * std::sin(a)});
        }
        outline.push_back({centre.x + w, floorY});
        return outline;
    };
    softDisc(canvas, {centre.x, 430.0f}, 420.0f, rgb(0xFF9A3C, 0.35f));
    Plane arch(canvas.width(), canvas.height());
    addPolygon(arch, archOutline(0.0f, bottom));
    Plane rim = dilate(arch, 2.5f * unit);
    blur(rim, unit);
    paintMask(canvas, rim, 0, 0, rgb(0x1A0A04, 0.95f));
    paintMask(canvas, arch, 0, 0, [&](float x, float y) {
        // Brick courses: staggered rows with darker mortar lines.
        const float row = y / 40.0f;
        const float shift = (int(row) % 2) * 35.0f;
        const bool mortar = std::fmod(y, 40.0f) < 5.0f || std::fmod(x + shift, 70.0f) < 5.0f;
        const float light = std::clamp(1.0f - (y - top) / (bottom - top) * 0.35f, 0.0f, 1.0f);
        const Colour brick = mix(rgb(0x6E2616), rgb(0xA8452A), light);
        return mortar ? rgb(0x3A160C) : brick;
    });
    Plane opening(canvas.width(), canvas.height());
    addPolygon(opening, archOutline(60.0f, bottom - 40.0f));
    paintMask(canvas, opening, 0, 0, [&](float, float y) {
        return mix(rgb(0x120604), rgb(0x5A2008), std::clamp((y - 250.0f) / 360.0f, 0.0f, 1.0f));
    });
    // Logs, then the fire standing on them.
    Plane logs(canvas.width(), canvas.height());
    addLine(logs, {centre.x - 95.0f, 585.0f}, {centre.x + 70.0f, 560.0f}, 34.0f);
    addLine(logs, {centre.x - 70.0f, 560.0f}, {centre.x + 95.0f, 585.0f}, 34.0f);
    paintMask(canvas, logs, 0, 0, rgb(0x3C1E0E));
    drawFire(canvas, {centre.x, 575.0f}, 250.0f);
    // Hearth stone.
    Plane hearth(canvas.width(), canvas.height());
    const std::array<Point, 4> slab = {{{centre.x - halfWidth - 40.0f, bottom - 10.0f}, {centre.x + halfWidth + 40.0f, bottom - 10.0f},
                                        {centre.x + halfWidth + 40.0f, bottom + 40.0f}, {centre.x - halfWidth - 40.0f, bottom + 40.0f}}};
    addPolygon(hearth, slab);
    Plane hearthRim = dilate(hearth, 2.5f * unit);
    paintMask(canvas, hearthRim, 0, 0, rgb(0x1A0A04, 0.95f));
    paintMask(canvas, hearth, 0, 0, [&](float, float y) { return mix(rgb(0xC9A27A), rgb(0x7A5A3E), (y - bottom + 10.0f) / 50.0f); });

    // The name, and a line beneath it.
    LetteringStyle style = goldLettering(unit);
    style.fillTop = rgb(0xFFF6DA);
    style.fillBottom = rgb(0xF0A040);
    style.glowRadius = 8.0f * unit;
    style.outlineWidth = 2.4f * unit;
    const std::array<std::string_view, 1> name = {"Hearthglow"};
    const Font& serif = bakery.font("DejaVuSerif-Bold.ttf");
    const float textLeft = 560.0f, textRight = 1990.0f, baseline = 440.0f;
    const float size = fitSize(serif, name, textRight - textLeft, 250.0f, 80.0f);
    const TextInk ink = serif.render(name[0], size, 1.0f, letteringPad(style));
    const float inkLeft = textLeft + (textRight - textLeft - float(ink.inkWidth())) / 2.0f;
    drawLettering(canvas, ink, int(std::lround(inkLeft)) - ink.inkLeft, int(std::lround(baseline)) - ink.baseline, style);
    const float mid = inkLeft + float(ink.inkWidth()) / 2.0f;
    drawRule(canvas, {mid, 505.0f}, float(ink.inkWidth()) * 0.9f, 4.0f * unit, rgb(0xE9B850));

    LetteringStyle small = brightLettering(unit);
    small.fillTop = rgb(0xFFF1D8);
    small.fillBottom = rgb(0xF5D2A0);
    const std::array<std::string_view, 1> tagline = {"a winter night by the fire"};
    const Font& italic = bakery.font("DejaVuSerif-Italic.ttf");
    const float taglineSize = fitSize(italic, tagline, float(ink.inkWidth()) * 0.85f, 60.0f, 20.0f);
    const TextInk tag = italic.render(tagline[0], taglineSize, 1.0f, letteringPad(small));
    drawLettering(canvas, tag, int(std::lround(mid - float(tag.inkWidth()) / 2.0f)) - tag.inkLeft, 600 - tag.baseline, small);

    bakery.writeTga(Tree::Overlay, "Logo/4loader.tga", resample(canvas, kWidth, kHeight), true);
}

// --- Loading picture ------------------------------------------------------------------------

// The room as the program itself draws it, committed beside the sources
// (scripts/render-loading-picture makes it; rendering it during the build would need the build).
Canvas readRoomPicture(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) throw BakeError("cannot read the room picture " + path);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        throw BakeError("damaged room picture " + path);
    }
    Canvas room(static_cast<int>(image.width), static_cast<int>(image.height));
    for (size_t i = 0; i < room.pixels().size(); ++i)
        room.pixels()[i] = {rgb[i * 3] / 255.0f, rgb[i * 3 + 1] / 255.0f, rgb[i * 3 + 2] / 255.0f, 1.0f};
    return room;
}

void drawBanner(Bakery& bakery, Canvas& room) {
    const float cx = 320, cy = 390, half = 150, h = 26;
    Plane ribbon(room.width(), room.height());
    // The band, with swallow-tail ends folded behind it.
    const std::array<Point, 6> leftTail = {{{cx - half - 60, cy - h + 10}, {cx - half + 10, cy - h + 10}, {cx - half + 10, cy + h + 10},
                                            {cx - half - 60, cy + h + 10}, {cx - half - 40, cy + 10}, {cx - half - 60, cy - h + 10}}};
    const std::array<Point, 6> rightTail = {{{cx + half + 60, cy - h + 10}, {cx + half - 10, cy - h + 10}, {cx + half - 10, cy + h + 10},
                                             {cx + half + 60, cy + h + 10}, {cx + half + 40, cy + 10}, {cx + half + 60, cy - h + 10}}};
    Plane tails(room.width(), room.height());
    addPolygon(tails, leftTail);
    addPolygon(tails, rightTail);
    Plane tailShadow = dilate(tails, 2.0f);
    blur(tailShadow, 3.0f);
    paintMask(room, tailShadow, 2, 3, rgb(0x000000, 0.6f));
    paintMask(room, tails, 0, 0, [&](float, float y) { return mix(rgb(0x6A1012), rgb(0x3A0608), (y - cy + h - 10) / (2 * h)); });
    const std::array<Point, 4> band = {{{cx - half, cy - h}, {cx + half, cy - h}, {cx + half, cy + h}, {cx - half, cy + h}}};
    addPolygon(ribbon, band);
    Plane shadow = dilate(ribbon, 2.0f);
    blur(shadow, 4.0f);
    paintMask(room, shadow, 2, 4, rgb(0x000000, 0.6f));
    paintMask(room, ribbon, 0, 0, [&](float, float y) {
        const float t = (y - (cy - h)) / (2 * h);
        return mix(rgb(0xB82A26), rgb(0x6A0E10), t);
    });
    Plane edges(room.width(), room.height());
    addLine(edges, {cx - half, cy - h + 4}, {cx + half, cy - h + 4}, 1.6f);
    addLine(edges, {cx - half, cy + h - 4}, {cx + half, cy + h - 4}, 1.6f);
    paintMask(room, edges, 0, 0, rgb(0xF0C860));

    LetteringStyle style;
    style.fillTop = rgb(0xFFF8E4);
    style.fillBottom = rgb(0xFFD68A);
    style.outline = rgb(0x2A0604, 0.9f);
    style.outlineWidth = 1.6f;
    style.outlineSoftness = 0.6f;
    style.glow = rgb(0xFFB050, 0.35f);
    style.glowRadius = 5.0f;
    const std::array<std::string_view, 1> text = {"Loading\xE2\x80\xA6"};
    const Font& font = bakery.font("DejaVuSerif-BoldItalic.ttf");
    const float size = fitSize(font, text, 2 * half - 70, 30.0f, 8.0f);
    const TextInk ink = font.render(text[0], size, 1.0f, letteringPad(style));
    drawLettering(room, ink, int(std::lround(cx - float(ink.inkWidth()) / 2.0f)) - ink.inkLeft, int(cy + 11) - ink.baseline, style);
    drawHollySprig(room, {cx - half + 6, cy - h + 2}, 26.0f, -0.35f);
    drawHollySprig(room, {cx + half - 6, cy - h + 2}, 26.0f, 0.35f);
}

void bakeLoadingPicture(Bakery& bakery) {
    constexpr int kWidth = 640, kHeight = 480;
    Canvas room = readRoomPicture(HG_LOADING_ROOM_PICTURE);
    if (room.width() != kWidth || room.height() != kHeight) room = resample(room, kWidth, kHeight);
    // The same room without the banner, small, for the preview area of the screensaver settings.
    bakery.writeTga(Tree::Overlay, "Notification/preview.tga", resample(room, 160, 120), false);
    drawBanner(bakery, room);
    bakery.writeJpeg(Tree::Overlay, "Notification/loading.jpg", room, 90);
}

}  // namespace

void bakeLoadingPictures(Bakery& bakery) {
    bakeLoadingPicture(bakery);
    bakeLogo(bakery);
}

}  // namespace hg::bake
