// What the loading screen shows: a warm picture of the room at night with a "Loading" banner
// (Notification/loading.jpg, top row first as JPEG stores it), the Hearthglow logo for the
// lower right corner (Logo/4loader.tga), and the room alone at 160 x 120 for the preview
// (Notification/preview.tga).
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

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

void drawWindow(Canvas& room, Random& random) {
    const int left = 56, top = 64, width = 170, height = 232;
    Canvas night(width, height);
    linearGradient(night, {0, 0}, rgb(0x07112A), {0, float(height)}, rgb(0x2A5288));
    softDisc(night, {130.0f, 48.0f}, 70.0f, rgb(0xC8DCFF, 0.35f));
    Plane moon(width, height);
    addDisc(moon, {130.0f, 48.0f}, 14.0f);
    paintMask(night, moon, 0, 0, rgb(0xF4F6FF));
    // Snowy hills and a dark line of firs on them.
    Plane hills(width, height);
    std::vector<Point> ridge = {{0, float(height)}};
    for (int x = 0; x <= width; x += 4)
        ridge.push_back({float(x), 176.0f + 14.0f * std::sin(float(x) * 0.035f) + 6.0f * std::sin(float(x) * 0.11f)});
    ridge.push_back({float(width), float(height)});
    Plane trees(width, height);
    for (int i = 0; i < 9; ++i) {
        const float x = random.uniform(0.0f, float(width));
        const float base = 178.0f + 14.0f * std::sin(x * 0.035f);
        const float h = random.uniform(18.0f, 34.0f);
        const std::array<Point, 3> fir = {{{x, base - h}, {x + h * 0.32f, base + 2.0f}, {x - h * 0.32f, base + 2.0f}}};
        addPolygon(trees, fir);
    }
    paintMask(night, trees, 0, 0, rgb(0x0A1A22));
    addPolygon(hills, ridge);
    paintMask(night, hills, 0, 0, [&](float, float y) { return mix(rgb(0xDDE8FF), rgb(0x9DB4DE), (y - 165.0f) / 60.0f); });
    // Falling snow: a few large soft flakes near the glass, many small ones behind.
    for (int i = 0; i < 140; ++i) {
        const Point p{random.uniform(0.0f, float(width)), random.uniform(0.0f, float(height))};
        const float r = i < 20 ? random.uniform(2.5f, 4.0f) : random.uniform(0.8f, 1.9f);
        softDisc(night, p, r * 1.8f, rgb(0xFFFFFF, i < 20 ? 0.75f : 0.9f));
    }
    composite(room, night, left, top);
    // Frame and glazing bars in dark wood; snow on the sill.
    Plane frame(room.width(), room.height());
    auto bar = [&](float x0, float y0, float x1, float y1) {
        const std::array<Point, 4> r = {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}};
        addPolygon(frame, r);
    };
    const float l = float(left), t = float(top), w = float(width), h = float(height);
    bar(l - 10, t - 10, l + w + 10, t);
    bar(l - 10, t + h, l + w + 10, t + h + 12);
    bar(l - 10, t, l, t + h);
    bar(l + w, t, l + w + 10, t + h);
    bar(l + w / 2 - 4, t, l + w / 2 + 4, t + h);
    bar(l, t + h * 0.45f - 4, l + w, t + h * 0.45f + 4);
    paintMask(room, frame, 0, 0, rgb(0x2A160C));
    Plane sill(room.width(), room.height());
    addEllipse(sill, {l + w / 2, t + h + 1}, w / 2 + 4, 5);
    paintMask(room, sill, 0, 0, rgb(0xE8EEFF, 0.9f));
    // Curtains: red velvet with soft folds, lit warmly from the right.
    for (int side = 0; side < 2; ++side) {
        const float x0 = side == 0 ? l - 44 : l + w - 2;
        Canvas curtain(56, 330);
        Plane drape(56, 330);
        std::vector<Point> outline = {{0, 0}, {56, 0}};
        for (int y = 0; y <= 330; y += 6) {
            const float tie = std::exp(-std::pow((float(y) - 200.0f) / 40.0f, 2.0f)) * 14.0f;
            outline.push_back({56 - (side == 0 ? tie : 0), float(y)});
        }
        for (int y = 330; y >= 0; y -= 6) {
            const float tie = std::exp(-std::pow((float(y) - 200.0f) / 40.0f, 2.0f)) * 14.0f;
            outline.push_back({side == 1 ? tie : 0.0f, float(y)});
        }
        addPolygon(drape, outline);
        paintMask(curtain, drape, 0, 0, [&](float x, float) {
            const float fold = 0.5f + 0.5f * std::sin(x * 0.42f + float(side));
            return mix(rgb(0x3A0608), rgb(0x9A1E1E), 0.25f + 0.6f * fold);
        });
        composite(room, curtain, int(x0), 40);
    }
}

void drawTree(Canvas& room, Random& random) {
    const Point tip{318.0f, 92.0f};
    const float bottom = 372.0f;
    Plane tree(room.width(), room.height());
    // Tiers of boughs, each a wide triangle with a ragged hem.
    for (int tier = 0; tier < 4; ++tier) {
        const float t0 = tip.y + float(tier) * 62.0f;
        const float t1 = std::min(bottom, t0 + 110.0f);
        const float half = 38.0f + float(tier) * 30.0f;
        std::vector<Point> outline = {{tip.x, t0}};
        for (int k = 0; k <= 10; ++k) {
            const float x = tip.x + half - 2.0f * half * float(k) / 10.0f;
            outline.push_back({x, t1 - (k % 2 == 0 ? 0.0f : 10.0f)});
        }
        addPolygon(tree, outline);
    }
    paintMask(room, tree, 0, 0, [&](float x, float y) {
        const float warm = std::clamp((x - 250.0f) / 200.0f, 0.0f, 1.0f);  // the fire is to the right
        return mix(mix(rgb(0x06180C), rgb(0x1E4020), warm), rgb(0x04100A), std::clamp((y - 100.0f) / 400.0f, 0.0f, 0.6f));
    });
    // Lights on the boughs, each a bright core in a coloured haze.
    const std::array<Colour, 5> colours = {rgb(0xFF4A3A), rgb(0xFFC94A), rgb(0x52E07A), rgb(0x5AA8FF), rgb(0xFFF0D0)};
    for (int i = 0; i < 70; ++i) {
        const float y = random.uniform(tip.y + 20.0f, bottom - 8.0f);
        const float half = (y - tip.y) / (bottom - tip.y) * 128.0f;
        const float x = tip.x + random.uniform(-half, half) * 0.92f;
        const Colour c = colours[size_t(i) % colours.size()];
        softDisc(room, {x, y}, random.uniform(9.0f, 15.0f), withAlpha(c, 0.55f));
        softDisc(room, {x, y}, 3.2f, rgb(0xFFFFFF, 0.9f));
    }
    drawStar(room, {tip.x, tip.y - 4.0f}, 17.0f, rgb(0xF6C445));
}

void drawFireplace(Canvas& room) {
    const float l = 430, r = 620, t = 190, b = 392;
    Plane stone(room.width(), room.height());
    const std::array<Point, 4> surround = {{{l, t}, {r, t}, {r, b}, {l, b}}};
    addPolygon(stone, surround);
    paintMask(room, stone, 0, 0, [&](float x, float y) {
        const float shift = (int(y / 16.0f) % 2) * 14.0f;
        const bool mortar = std::fmod(y, 16.0f) < 2.0f || std::fmod(x + shift, 28.0f) < 2.0f;
        const float lit = std::clamp(1.0f - std::abs(x - 525.0f) / 140.0f, 0.3f, 1.0f);
        return mortar ? rgb(0x24100A) : mix(rgb(0x3E1A10), rgb(0x8A3A22), lit);
    });
    Plane mantel(room.width(), room.height());
    const std::array<Point, 4> shelf = {{{l - 16, t - 16}, {r + 16, t - 16}, {r + 16, t}, {l - 16, t}}};
    addPolygon(mantel, shelf);
    paintMask(room, mantel, 0, 0, rgb(0x3A1E10));
    // Candles on the mantel.
    for (float x : {452.0f, 598.0f}) {
        Plane candle(room.width(), room.height());
        const std::array<Point, 4> stick = {{{x - 5, t - 52}, {x + 5, t - 52}, {x + 5, t - 16}, {x - 5, t - 16}}};
        addPolygon(candle, stick);
        paintMask(room, candle, 0, 0, rgb(0xE8D8B8));
        softDisc(room, {x, t - 62}, 26.0f, rgb(0xFFB050, 0.45f));
        drawFire(room, {x, t - 52}, 16.0f);
    }
    Plane opening(room.width(), room.height());
    std::vector<Point> arch = {{465, b}};
    for (int i = 0; i <= 32; ++i) {
        const float a = kPi + kPi * float(i) / 32.0f;
        arch.push_back({525.0f + 60.0f * std::cos(a), 280.0f + 50.0f * std::sin(a)});
    }
    arch.push_back({585, b});
    addPolygon(opening, arch);
    paintMask(room, opening, 0, 0, [&](float, float y) { return mix(rgb(0x0C0503), rgb(0x4A1806), (y - 230.0f) / 160.0f); });
    Plane logs(room.width(), room.height());
    addLine(logs, {490, 382}, {556, 372}, 12);
    addLine(logs, {498, 372}, {562, 384}, 12);
    paintMask(room, logs, 0, 0, rgb(0x2C140A));
    drawFire(room, {525.0f, 380.0f}, 92.0f);
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
        return mix(rgb(0xB82A26), rgb(0x6A0E10), t) ;
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
    Canvas room(kWidth, kHeight);
    Random random(0x4EA27461); // any fixed seed: the same picture on every build
    // Walls: dark cream with a faint damask stripe; a wooden floor below.
    fill(room, [](float x, float y) {
        const float stripe = 0.5f + 0.5f * std::sin(x * 0.25f) * std::sin(y * 0.08f + std::sin(x * 0.05f));
        return mix(rgb(0x24150D), rgb(0x2E1C12), stripe);
    });
    Plane dado(kWidth, kHeight);
    const std::array<Point, 4> rail = {{{0, 318}, {float(kWidth), 318}, {float(kWidth), 324}, {0, 324}}};
    addPolygon(dado, rail);
    paintMask(room, dado, 0, 0, rgb(0x3A2214));
    Plane floor(kWidth, kHeight);
    const std::array<Point, 4> boards = {{{0, 380}, {float(kWidth), 380}, {float(kWidth), float(kHeight)}, {0, float(kHeight)}}};
    addPolygon(floor, boards);
    paintMask(room, floor, 0, 0, [](float x, float y) {
        const bool seam = std::fmod(y - 380.0f, 18.0f + (y - 380.0f) * 0.12f) < 1.2f;
        const float grain = 0.5f + 0.5f * std::sin(x * 0.05f + y * 0.7f);
        return seam ? rgb(0x120804) : mix(rgb(0x2A140A), rgb(0x3A1E10), grain);
    });
    // A rug in deep red and green before the hearth.
    Plane rug(kWidth, kHeight);
    addEllipse(rug, {420, 440}, 190, 28);
    paintMask(room, rug, 0, 0, [](float x, float y) {
        const float band = std::fmod(std::sqrt(std::pow((x - 420.0f) / 190.0f, 2.0f) + std::pow((y - 440.0f) / 28.0f, 2.0f)) * 5.0f, 1.0f);
        return band < 0.25f ? rgb(0x7A5A1A) : band < 0.6f ? rgb(0x5A0E10) : rgb(0x143018);
    });
    drawWindow(room, random);
    drawFireplace(room);
    drawTree(room, random);
    // Firelight spreading into the room, then the darkness at the edges.
    softDisc(room, {525, 330}, 560.0f, rgb(0xFF8A30, 0.22f));
    softDisc(room, {525, 380}, 230.0f, rgb(0xFFA040, 0.18f));
    // Out-of-focus lights close to the lens.
    const std::array<Colour, 4> bokeh = {rgb(0xFF6040), rgb(0xFFC850), rgb(0x60E080), rgb(0x70B0FF)};
    for (int i = 0; i < 16; ++i) {
        const Point p{random.uniform(0.0f, float(kWidth)), random.uniform(0.0f, 200.0f)};
        const float r = random.uniform(18.0f, 34.0f);
        Plane disc(kWidth, kHeight);
        addDisc(disc, p, r);
        blur(disc, 1.5f);
        paintMask(room, disc, 0, 0, withAlpha(bokeh[size_t(i) % bokeh.size()], random.uniform(0.08f, 0.16f)));
    }
    fill(room, [](float x, float y) {
        const float dx = (x - 380.0f) / 420.0f, dy = (y - 260.0f) / 330.0f;
        return rgb(0x000000, std::clamp((dx * dx + dy * dy) - 0.35f, 0.0f, 0.75f));
    });
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
