// The builder's drawing and lettering kit.
#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "bake/canvas.h"
#include "bake/paint.h"
#include "bake/text.h"

namespace hg::bake {
namespace {

const std::string kFonts = HG_DEJAVU_DIR;

TEST(Canvas, BytesAreStraightAlphaAndTransparentPixelsTakeTheInkColour) {
    Canvas canvas(16, 1);
    canvas.blend(0, 0, rgb(0xFF0000), 0.5f);
    canvas.blend(1, 0, rgb(0x00FF00));
    canvas.blend(1, 0, rgb(0x0000FF, 0.5f));  // half blue over green
    const Image image = toImage(canvas, 4);
    ASSERT_EQ(image.pixels.size(), 16u * 4u);
    EXPECT_EQ((std::array<int, 4>{image.pixels[0], image.pixels[1], image.pixels[2], image.pixels[3]}),
              (std::array<int, 4>{255, 0, 0, 128}));
    EXPECT_EQ((std::array<int, 4>{image.pixels[4], image.pixels[5], image.pixels[6], image.pixels[7]}),
              (std::array<int, 4>{0, 128, 128, 255}));
    // Next to the ink: invisible, but coloured like it rather than black.
    EXPECT_EQ(image.pixels[2 * 4 + 3], 0);
    EXPECT_GT(image.pixels[2 * 4 + 1] + image.pixels[2 * 4 + 2], 100);
    // Without alpha the picture is taken as laid over black.
    const Image opaque = toImage(canvas, 3);
    EXPECT_EQ((std::array<int, 3>{opaque.pixels[0], opaque.pixels[1], opaque.pixels[2]}), (std::array<int, 3>{128, 0, 0}));
}

TEST(Paint, ResampleAveragesAreasAndBlurKeepsTheTotal) {
    Canvas canvas(4, 2);
    canvas.blend(0, 0, rgb(0xFFFFFF));
    canvas.blend(1, 1, rgb(0xFFFFFF));
    const Canvas half = resample(canvas, 2, 1);
    EXPECT_FLOAT_EQ(half.at(0, 0).a, 0.5f);
    EXPECT_FLOAT_EQ(half.at(1, 0).a, 0.0f);

    Plane plane(41, 41);
    plane.at(20, 20) = 1.0f;
    blur(plane, 3.0f);
    float total = 0.0f;
    for (float v : plane.values()) total += v;
    EXPECT_NEAR(total, 1.0f, 1e-4f);
    EXPECT_NEAR(plane.at(17, 20), plane.at(20, 23), 1e-6f);  // round
    EXPECT_LT(plane.at(20, 20), 0.05f);

    const Plane grown = dilate(plane, 4.0f);
    EXPECT_FLOAT_EQ(grown.at(23, 20), plane.at(20, 20));  // within the disc: the peak itself
    EXPECT_GT(grown.at(30, 20), plane.at(30, 20));
    EXPECT_EQ(grown.at(0, 0), 0.0f);
}

TEST(Paint, PolygonCoverageFollowsTheOutline) {
    Plane plane(20, 20);
    const std::array<Point, 4> square = {{{4, 4}, {12, 4}, {12, 10.5f}, {4, 10.5f}}};
    addPolygon(plane, square);
    EXPECT_FLOAT_EQ(plane.at(5, 5), 1.0f);
    EXPECT_FLOAT_EQ(plane.at(3, 5), 0.0f);
    EXPECT_FLOAT_EQ(plane.at(12, 5), 0.0f);
    EXPECT_FLOAT_EQ(plane.at(5, 10), 0.5f);  // the row cut in half
    float area = 0.0f;
    for (float v : plane.values()) area += v;
    EXPECT_FLOAT_EQ(area, 8.0f * 6.5f);
}

TEST(Text, FittedInkStaysInsideItsBoxAndFillsIt) {
    const Font font(kFonts + "/DejaVuSans-Bold.ttf");
    const std::array<std::string_view, 2> words = {"days", "hours"};
    const float size = fitSize(font, words, 120.0f, 40.0f, 12.0f);
    bool touches = false;
    for (std::string_view word : words) {
        const TextInk ink = font.render(word, size, 1.0f, 5);
        EXPECT_LE(ink.inkWidth(), 120);
        EXPECT_LE(ink.ascent(), 40);
        EXPECT_LE(ink.descent(), 12);
        touches |= ink.inkWidth() >= 114 || ink.ascent() >= 38 || ink.descent() >= 11;
        // Coverage lies within the ink box only; the padding stays clear.
        for (int y = 0; y < ink.coverage.height(); ++y)
            for (int x = 0; x < ink.coverage.width(); ++x)
                if (ink.coverage.at(x, y) > 0.0f) {
                    EXPECT_TRUE(x >= ink.inkLeft && x < ink.inkRight && y >= ink.inkTop && y < ink.inkBottom)
                        << word << " at " << x << "," << y;
                }
    }
    EXPECT_TRUE(touches) << "the fitted size leaves room in every direction";
    // "hours" is the wider word, so it sets the size.
    EXPECT_GE(font.render("hours", size).inkWidth(), 114);
}

TEST(Text, SqueezeNarrowsWithoutChangingHeightAndBlankTextHasNoInk) {
    const Font font(kFonts + "/DejaVuSerif-Bold.ttf");
    const TextInk wide = font.render("Hearth", 60.0f);
    const TextInk narrow = font.render("Hearth", 60.0f, 0.75f);
    EXPECT_NEAR(float(narrow.inkWidth()), 0.75f * float(wide.inkWidth()), 2.0f);
    EXPECT_EQ(narrow.inkHeight(), wide.inkHeight());
    const TextInk blank = font.render(" ", 60.0f, 1.0f, 3);
    EXPECT_EQ(blank.inkWidth(), 0);
    for (float v : blank.coverage.values()) EXPECT_EQ(v, 0.0f);
}

TEST(Text, LetteringEffectsStayWithinThePad) {
    const Font font(kFonts + "/DejaVuSans-Bold.ttf");
    LetteringStyle style;
    style.fillTop = style.fillBottom = rgb(0xFFFFFF);
    style.outline = rgb(0x000000);
    style.outlineWidth = 3.0f;
    style.outlineSoftness = 1.0f;
    style.glow = rgb(0xFF8000, 0.5f);
    style.glowRadius = 4.0f;
    const TextInk ink = font.render("8", 40.0f, 1.0f, letteringPad(style));
    Canvas canvas(ink.coverage.width() + 20, ink.coverage.height() + 20);
    drawLettering(canvas, ink, 10, 10, style);
    // Nothing spills past the ink's plane.
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (x < 10 || y < 10 || x >= 10 + ink.coverage.width() || y >= 10 + ink.coverage.height()) {
                EXPECT_EQ(canvas.at(x, y).a, 0.0f) << x << "," << y;
            }
    // Just outside the ink is the dark outline; inside the stroke the white fill.
    const int row = 10 + (ink.inkTop + ink.inkBottom) / 2;
    int first = 0;
    while (ink.coverage.at(first, row - 10) < 1.0f) ++first;
    const Pixel& fill = canvas.at(10 + first + 1, row);
    const Pixel& edge = canvas.at(10 + first - 2, row);
    EXPECT_GT(fill.r, 0.9f);
    EXPECT_GT(edge.a, 0.8f);
    EXPECT_LT(edge.r, 0.3f);
}

}  // namespace
}  // namespace hg::bake
