#include "overlay/glyph_text.h"

#include <gtest/gtest.h>

namespace hg {
namespace {

TEST(GlyphLayout, EvenSlotsForPlainText) {
    const auto glyphs = layoutGlyphText(0.5f, "12:30");
    ASSERT_EQ(glyphs.size(), 5u);
    for (size_t i = 0; i < glyphs.size(); ++i) EXPECT_FLOAT_EQ(glyphs[i].centreX, 0.5f + 0.0425f * i);
    EXPECT_EQ(glyphs[0].glyph, 1);
    EXPECT_EQ(glyphs[2].glyph, 13);  // colon
}

TEST(GlyphLayout, DigitsCloseUpAroundAFullStop) {
    const float x = -0.95f;
    const auto glyphs = layoutGlyphText(x, "59.5");
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_FLOAT_EQ(glyphs[0].centreX, x);
    EXPECT_FLOAT_EQ(glyphs[1].centreX, x + 0.0425f);
    EXPECT_FLOAT_EQ(glyphs[2].centreX, x + 0.085f - 0.03125f);
    EXPECT_FLOAT_EQ(glyphs[3].centreX, x + 0.10875f);
    EXPECT_EQ(glyphs[2].glyph, 14);
}

TEST(GlyphLayout, UnknownCharactersShowAsZero) {
    const auto glyphs = layoutGlyphText(0, "aZm p");
    ASSERT_EQ(glyphs.size(), 5u);
    EXPECT_EQ(glyphs[0].glyph, 10);
    EXPECT_EQ(glyphs[1].glyph, 0);
    EXPECT_EQ(glyphs[2].glyph, 11);
    EXPECT_EQ(glyphs[3].glyph, 15);
    EXPECT_EQ(glyphs[4].glyph, 12);
}

TEST(GlyphLayout, FrameRateUsesDefaultFloatFormatting) {
    EXPECT_EQ(frameRateText(60.0f), "60");
    EXPECT_EQ(frameRateText(120.0f), "120");
    EXPECT_EQ(frameRateText(59.5f), "59.5");
}

}  // namespace
}  // namespace hg
