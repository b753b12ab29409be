#pragma once
// Lettering with FreeType: text set in a TrueType face as a coverage mask, sizes fitted to a box,
// and the lettering look of the overlay (gradient fill, soft dark outline, warm glow).
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "bake/canvas.h"
#include "bake/paint.h"

namespace hg::bake {

// A line of text as coverage. The plane holds the ink plus `pad` pixels on every side; `baseline`
// is the row of the baseline and `penX` the column where the pen started, both in the plane.
// The ink box (without the padding) is inkLeft..inkRight x inkTop..inkBottom, exclusive ends;
// an empty text or one without ink has an empty ink box.
struct TextInk {
    Plane coverage;
    int pad = 0;
    int baseline = 0;
    int penX = 0;
    int inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
    int inkWidth() const { return inkRight - inkLeft; }
    int inkHeight() const { return inkBottom - inkTop; }
    // Ink above and below the baseline, in pixels.
    int ascent() const { return baseline - inkTop; }
    int descent() const { return inkBottom - baseline; }
};

class Font {
public:
    // The face in a font file; throws BakeError when it cannot be read.
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // `text` (UTF-8) set with an em of `pixelSize` pixels, its letters scaled across by `xScale`
    // (below 1 squeezes them), kerned, unhinted so every size keeps the face's true shapes.
    TextInk render(std::string_view text, float pixelSize, float xScale = 1.0f, int pad = 0) const;

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

// The largest em size at which every text of `texts` fits `maxWidth` across and, with its
// baseline on one common row, stays within `maxAscent` above and `maxDescent` below it.
float fitSize(const Font& font, std::span<const std::string_view> texts, float maxWidth, float maxAscent,
              float maxDescent, float xScale = 1.0f);

struct LetteringStyle {
    Colour fillTop = rgb(0xFFFFFF);     // the fill's colour at the top of the ink ...
    Colour fillBottom = rgb(0xFFFFFF);  // ... and at its bottom
    Colour outline = rgb(0x000000, 0.0f);
    float outlineWidth = 0.0f;     // how far the outline reaches past the ink, pixels
    float outlineSoftness = 0.0f;  // blur of the outline's edge, pixels
    Colour glow = rgb(0x000000, 0.0f);
    float glowRadius = 0.0f;  // spread of the glow, pixels
    Colour shadow = rgb(0x000000, 0.0f);
    Point shadowOffset{};
    float shadowSoftness = 0.0f;
};

// The padding an ink needs so the effects of `style` do not run off its plane.
int letteringPad(const LetteringStyle& style);

// Paints `ink` onto the canvas with its plane's top-left corner at (x, y): glow, shadow, outline,
// then the fill.
void drawLettering(Canvas& canvas, const TextInk& ink, int x, int y, const LetteringStyle& style);

}  // namespace hg::bake
