// The overlay archive's clock and countdown pictures: the sixteen glyphs the clock text is
// spelled with, the countdown's title, unit and "remaining" labels, and the two greetings.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "bake/families.h"
#include "bake/ornaments.h"
#include "bake/overlay_look.h"
#include "bake/paint.h"
#include "bake/text.h"

namespace hg::bake {

namespace {

// --- Glyphs ---------------------------------------------------------------------------------

// The glyph alphabet in texture order, and each glyph's file name.
constexpr std::string_view kAlphabet = "0123456789amp:. ";
constexpr std::array<std::string_view, 16> kGlyphNames = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                                                          "a", "m", "p", "colon", "point", "space"};

// Glyph text layout on screen: a glyph quad is kCellWidth across, glyphs step by kAdvance, and a
// full stop is drawn kPointShift to the left of its slot, shortening the next step by 0.6 of it.
constexpr float kCellWidth = 0.08f;
constexpr float kAdvance = 0.0425f;
constexpr float kPointShift = 0.03125f;

constexpr int kGlyphSize = 64;
constexpr int kGlyphScale = 4;       // drawn at 256 x 256, reduced to 64 x 64
constexpr float kDigitHeight = 40;   // texture pixels
constexpr float kGlyphBaseline = 50; // texture row
constexpr float kMaxInkWidth = 26;   // a slot is kAdvance / kCellWidth * 64 = 34 pixels wide
constexpr float kLetterScale = 0.8f; // a, m and p sit a little smaller than the digits

// Where a glyph's ink is centred across its texture. Neighbours overlap (a slot is about half a
// cell), so ink must stay near the middle. The full stop is drawn shifted left into the gap after
// the previous glyph; its ink sits halfway between that glyph and the next one.
float glyphInkCentre(char c) {
    const float pixelsPerUnit = kGlyphSize / kCellWidth;
    if (c != '.') return kGlyphSize / 2.0f;
    const float previous = -(kAdvance - kPointShift);             // previous glyph's centre
    const float next = kAdvance - kPointShift * 0.6f + kPointShift; // next glyph's centre
    return kGlyphSize / 2.0f + (previous + next) / 2.0f * pixelsPerUnit;
}

void bakeGlyphs(Bakery& bakery) {
    const Font& font = bakery.font("DejaVuSansCondensed-Bold.ttf");
    const float unit = kGlyphScale;
    const LetteringStyle style = brightLettering(unit);
    const int pad = letteringPad(style);

    // One size and one squeeze for all digits, so every string lines up on one baseline.
    const std::array<std::string_view, 1> digits = {"0123456789"};
    const float digitSize = fitSize(font, digits, 1e9f, kDigitHeight * unit, 1e9f);
    int widest = 0;
    for (char d = '0'; d <= '9'; ++d) widest = std::max(widest, font.render(std::string(1, d), digitSize).inkWidth());
    const float digitSqueeze = std::min(1.0f, kMaxInkWidth * unit / float(widest));

    for (size_t i = 0; i < kAlphabet.size(); ++i) {
        const char c = kAlphabet[i];
        Canvas canvas(kGlyphSize * kGlyphScale, kGlyphSize * kGlyphScale);
        if (c != ' ') {
            const bool letter = c >= 'a' && c <= 'z';
            const float size = letter ? digitSize * kLetterScale : digitSize;
            float squeeze = digitSqueeze;
            const float width = float(font.render(std::string(1, c), size, squeeze).inkWidth());
            if (width > kMaxInkWidth * unit) squeeze *= kMaxInkWidth * unit / width;  // the wide m
            const TextInk ink = font.render(std::string(1, c), size, squeeze, pad);
            const float centre = glyphInkCentre(c) * unit;
            const int x = int(std::lround(centre - float(ink.inkLeft) - float(ink.inkWidth()) / 2.0f));
            const int y = int(std::lround(kGlyphBaseline * unit)) - ink.baseline;
            drawLettering(canvas, ink, x, y, style);
        }
        bakery.writeTga(Tree::Overlay, "Textures/tex_sym_" + std::string(kGlyphNames[i]) + ".tga",
                        resample(canvas, kGlyphSize, kGlyphSize), true);
    }
}

// --- Labels ---------------------------------------------------------------------------------

constexpr int kLabelScale = 3;

// Unit labels sit right of their numbers, whose glyphs reach into both ends of the label's quad:
// the words start a little in from the left and leave the right sixth free.
void bakeUnitLabels(Bakery& bakery) {
    constexpr int kWidth = 128, kHeight = 64;
    constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kLabels = {{
        {"tex_days", "days"}, {"tex_day", "day"}, {"tex_hours", "hours"}, {"tex_hour", "hour"},
        {"tex_mins", "mins"}, {"tex_min", "min"}, {"tex_secs", "secs"}, {"tex_sec", "sec"},
    }};
    const Font& font = bakery.font("DejaVuSans-Bold.ttf");
    const float unit = kLabelScale;
    const LetteringStyle style = brightLettering(unit);
    const int pad = letteringPad(style);
    const Canvas probe = designCanvas(kWidth, kHeight, kLabelScale);
    const float left = 0.10f * float(probe.width());
    const float right = 0.84f * float(probe.width());
    const float baseline = 50.0f * unit;

    std::array<std::string_view, kLabels.size()> words{};
    for (size_t i = 0; i < kLabels.size(); ++i) words[i] = kLabels[i].second;
    const float size = fitSize(font, words, right - left, 44.0f * unit, 11.0f * unit);

    for (const auto& [name, word] : kLabels) {
        Canvas canvas = designCanvas(kWidth, kHeight, kLabelScale);
        const TextInk ink = font.render(word, size, 1.0f, pad);
        drawLettering(canvas, ink, int(std::lround(left)) - ink.inkLeft, int(std::lround(baseline)) - ink.baseline, style);
        bakery.writeTga(Tree::Overlay, "Textures/" + std::string(name) + ".tga", resample(canvas, kWidth, kHeight), true);
    }
}

// Places `text` centred across the canvas with its baseline on `baseline`, fitted to
// `maxWidth` x (`maxAscent` above, `maxDescent` below); returns the ink's left and right edges.
std::pair<float, float> letterCentred(Canvas& canvas, const Font& font, std::string_view text, float maxWidth,
                                      float maxAscent, float maxDescent, float baseline, const LetteringStyle& style) {
    const std::array<std::string_view, 1> texts = {text};
    const float size = fitSize(font, texts, maxWidth, maxAscent, maxDescent);
    const TextInk ink = font.render(text, size, 1.0f, letteringPad(style));
    const float inkLeft = (float(canvas.width()) - float(ink.inkWidth())) / 2.0f;
    drawLettering(canvas, ink, int(std::lround(inkLeft)) - ink.inkLeft, int(std::lround(baseline)) - ink.baseline, style);
    return {inkLeft, inkLeft + float(ink.inkWidth())};
}

void bakeRemaining(Bakery& bakery) {
    constexpr int kWidth = 256, kHeight = 64;
    const float unit = kLabelScale;
    Canvas canvas = designCanvas(kWidth, kHeight, kLabelScale);
    LetteringStyle style = brightLettering(unit);
    const auto [left, right] = letterCentred(canvas, bakery.font("DejaVuSerif-BoldItalic.ttf"), "remaining",
                                             0.70f * float(canvas.width()), 38.0f * unit, 14.0f * unit, 44.0f * unit, style);
    const float y = 34.0f * unit;
    drawTwinkle(canvas, {left - 14.0f * unit, y}, 9.0f * unit, rgb(0xFFE7A0));
    drawTwinkle(canvas, {right + 14.0f * unit, y}, 9.0f * unit, rgb(0xFFE7A0));
    bakery.writeTga(Tree::Overlay, "Textures/tex_remaining.tga", resample(canvas, kWidth, kHeight), true);
}

// The countdown titles: gold lettering between two ornaments.
void bakeTitle(Bakery& bakery, std::string_view path, std::string_view text, bool newYear) {
    constexpr int kWidth = 512, kHeight = 64;
    const float unit = kLabelScale;
    Canvas canvas = designCanvas(kWidth, kHeight, kLabelScale);
    const auto [left, right] = letterCentred(canvas, bakery.font("DejaVuSerif-Bold.ttf"), text,
                                             0.78f * float(canvas.width()), 40.0f * unit, 12.0f * unit, 46.0f * unit,
                                             goldLettering(unit));
    const float y = 30.0f * unit;
    const float gap = 26.0f * unit;
    if (newYear) {
        drawTwinkle(canvas, {left - gap, y}, 17.0f * unit, rgb(0xFFF0C0));
        drawTwinkle(canvas, {right + gap, y}, 17.0f * unit, rgb(0xFFF0C0));
    } else {
        drawHollySprig(canvas, {left - gap, y + 2.0f * unit}, 22.0f * unit, -0.25f);
        drawHollySprig(canvas, {right + gap, y + 2.0f * unit}, 22.0f * unit, 0.25f);
    }
    bakery.writeTga(Tree::Overlay, std::string(path), resample(canvas, kWidth, kHeight), true);
}

// --- Greetings ------------------------------------------------------------------------------

// A greeting card: large gold lettering with a gold rule beneath, ornaments above.
Canvas greetingCanvas(Bakery& bakery, std::string_view text, float& unit) {
    constexpr int kWidth = 512, kHeight = 256;
    unit = kLabelScale;
    Canvas canvas = designCanvas(kWidth, kHeight, kLabelScale);
    LetteringStyle style = goldLettering(unit);
    style.outlineWidth = 2.6f * unit;
    style.glowRadius = 9.0f * unit;
    style.glow = rgb(0xFFA838, 0.5f);
    letterCentred(canvas, bakery.font("DejaVuSerif-BoldItalic.ttf"), text, 0.86f * float(canvas.width()),
                  78.0f * unit, 26.0f * unit, 176.0f * unit, style);
    drawRule(canvas, {float(canvas.width()) / 2.0f, 218.0f * unit}, 0.5f * float(canvas.width()), 4.0f * unit,
             rgb(0xE9B850));
    return canvas;
}

void bakeHolidayGreeting(Bakery& bakery) {
    float unit = 0;
    Canvas canvas = greetingCanvas(bakery, "Merry Christmas", unit);
    const float mid = float(canvas.width()) / 2.0f;
    drawHollySprig(canvas, {mid, 58.0f * unit}, 62.0f * unit);
    drawStar(canvas, {mid - 190.0f * unit, 60.0f * unit}, 20.0f * unit, rgb(0xF2C040));
    drawStar(canvas, {mid + 190.0f * unit, 60.0f * unit}, 20.0f * unit, rgb(0xF2C040));
    drawTwinkle(canvas, {mid - 110.0f * unit, 40.0f * unit}, 14.0f * unit, rgb(0xFFF4D0));
    drawTwinkle(canvas, {mid + 110.0f * unit, 40.0f * unit}, 14.0f * unit, rgb(0xFFF4D0));
    drawTwinkle(canvas, {mid - 260.0f * unit, 92.0f * unit}, 10.0f * unit, rgb(0xFFF4D0));
    drawTwinkle(canvas, {mid + 260.0f * unit, 92.0f * unit}, 10.0f * unit, rgb(0xFFF4D0));
    bakery.writeTga(Tree::Overlay, "Textures/tex_dg.tga", resample(canvas, 512, 256), true);
}

void bakeNewYearGreeting(Bakery& bakery) {
    float unit = 0;
    Canvas canvas = greetingCanvas(bakery, "Happy New Year", unit);
    const float mid = float(canvas.width()) / 2.0f;
    drawBurst(canvas, {mid - 170.0f * unit, 58.0f * unit}, 50.0f * unit, 14, rgb(0xFFD060));
    drawBurst(canvas, {mid + 170.0f * unit, 58.0f * unit}, 50.0f * unit, 14, rgb(0xF06A5A));
    drawBurst(canvas, {mid, 46.0f * unit}, 38.0f * unit, 12, rgb(0xC8E0FF));
    drawTwinkle(canvas, {mid - 85.0f * unit, 84.0f * unit}, 11.0f * unit, rgb(0xFFF4D0));
    drawTwinkle(canvas, {mid + 85.0f * unit, 84.0f * unit}, 11.0f * unit, rgb(0xFFF4D0));
    drawTwinkle(canvas, {mid - 265.0f * unit, 100.0f * unit}, 10.0f * unit, rgb(0xFFF4D0));
    drawTwinkle(canvas, {mid + 265.0f * unit, 100.0f * unit}, 10.0f * unit, rgb(0xFFF4D0));
    bakery.writeTga(Tree::Overlay, "Textures/tex_hny.tga", resample(canvas, 512, 256), true);
}

}  // namespace

void bakeOverlayPictures(Bakery& bakery) {
    bakeGlyphs(bakery);
    bakeTitle(bakery, "Textures/tex_countdown.tga", "Countdown to Christmas", false);
    bakeTitle(bakery, "Textures/tex_countdown2.tga", "Countdown to the New Year", true);
    bakeRemaining(bakery);
    bakeUnitLabels(bakery);
    bakeHolidayGreeting(bakery);
    bakeNewYearGreeting(bakery);
}

}  // namespace hg::bake
