#pragma once
// Text without a font: each character of "0123456789amp:. " is a small square picture, and a
// string is a row of textured quads. Also the textured-quad routine every overlay picture uses.
#include "gl/gl.h"

#include <array>
#include <map>
#include <string_view>
#include <vector>

namespace hg {

class TextureManager;

inline constexpr std::string_view kGlyphAlphabet = "0123456789amp:. ";

// One opaque-white, alpha-blended, alpha-tested quad; a negative half-height flips it upside down.
void drawTexturedQuad(float centreX, float centreY, float halfWidth, float halfHeight, GLuint texture);

struct GlyphPlacement {
    float centreX;
    int glyph;
};

// Where each character of `text` goes when the row starts at x: glyphs 0.0425 apart, a full stop
// pulled 0.03125 to the left with the following advance shortened by 0.01875. Characters outside
// the alphabet become glyph 0.
std::vector<GlyphPlacement> layoutGlyphText(float x, std::string_view text);

// The frame-rate figure as the log writes floats: 60, 57, 59.5.
std::string frameRateText(float framesPerSecond);

class GlyphText {
public:
    // Fetches the sixteen glyph textures in alphabet order.
    void load(TextureManager& textures);
    void draw(float x, float y, std::string_view text) const;

    static constexpr float kHalfWidth = 0.04f;
    static constexpr float kHalfHeight = 0.053f;

private:
    std::array<GLuint, 16> glyphs_{};
};

}  // namespace hg
