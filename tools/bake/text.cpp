#include "bake/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "bake/error.h"

namespace hg::bake {

struct Font::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Handles() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

Font::Font(const std::string& path) : handles_(std::make_unique<Handles>()) {
    if (FT_Init_FreeType(&handles_->library) != 0) throw BakeError("FreeType does not start");
    if (FT_New_Face(handles_->library, path.c_str(), 0, &handles_->face) != 0)
        throw BakeError("cannot read the font " + path);
}

Font::~Font() = default;

namespace {

// Code points of UTF-8 text; a malformed byte stands for itself.
std::vector<char32_t> decodeUtf8(std::string_view text) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        if (extra > 0 && i + size_t(extra) >= text.size()) extra = 0;
        char32_t cp = extra == 0 ? lead : char32_t(lead & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | char32_t(static_cast<unsigned char>(text[i + size_t(k)]) & 0x3F);
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

// One rendered letter, placed relative to the pen start on the baseline (y downwards).
struct PlacedBitmap {
    int left = 0, top = 0, width = 0, rows = 0;
    std::vector<uint8_t> values;
};

}  // namespace

TextInk Font::render(std::string_view text, float pixelSize, float xScale, int pad) const {
    FT_Face face = handles_->face;
    if (FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixelSize * 64.0f)), 72, 72) != 0)
        throw BakeError("font size " + std::to_string(pixelSize) + " refused");
    FT_Matrix matrix{FT_Fixed(std::lround(xScale * 65536.0f)), 0, 0, 0x10000};

    std::vector<PlacedBitmap> letters;
    double pen = 0.0;
    FT_UInt previous = 0;
    for (char32_t cp : decodeUtf8(text)) {
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (previous != 0 && index != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern{};
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
                pen += double(kern.x) / 64.0 * xScale;
        }
        const double whole = std::floor(pen);
        FT_Vector delta{FT_Pos(std::lround((pen - whole) * 64.0)), 0};
        FT_Set_Transform(face, &matrix, &delta);
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0)
            throw BakeError("letter U+" + std::to_string(unsigned(cp)) + " does not render");
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.rows > 0 && (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < 0))
            throw BakeError("unexpected bitmap from FreeType");
        PlacedBitmap placed;
        placed.left = int(whole) + slot->bitmap_left;
        placed.top = -slot->bitmap_top;
        placed.width = int(bitmap.width);
        placed.rows = int(bitmap.rows);
        for (int row = 0; row < placed.rows; ++row)
            placed.values.insert(placed.values.end(), bitmap.buffer + row * bitmap.pitch,
                                 bitmap.buffer + row * bitmap.pitch + placed.width);
        letters.push_back(std::move(placed));
        pen += double(slot->linearHoriAdvance) / 65536.0 * xScale;
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);

    // The ink box in pen coordinates.
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const PlacedBitmap& l : letters)
        for (int row = 0; row < l.rows; ++row)
            for (int column = 0; column < l.width; ++column)
                if (l.values[size_t(row * l.width + column)] != 0) {
                    left = std::min(left, l.left + column);
                    right = std::max(right, l.left + column + 1);
                    top = std::min(top, l.top + row);
                    bottom = std::max(bottom, l.top + row + 1);
                }
    TextInk ink;
    ink.pad = pad;
    if (left == INT_MAX) {  // nothing to see
        ink.coverage = Plane(std::max(1, 2 * pad), std::max(1, 2 * pad));
        ink.baseline = ink.penX = ink.inkLeft = ink.inkRight = ink.inkTop = ink.inkBottom = pad;
        return ink;
    }
    ink.coverage = Plane(right - left + 2 * pad, bottom - top + 2 * pad);
    ink.penX = pad - left;
    ink.baseline = pad - top;
    ink.inkLeft = ink.inkTop = pad;
    ink.inkRight = pad + right - left;
    ink.inkBottom = pad + bottom - top;
    for (const PlacedBitmap& l : letters)
        for (int row = 0; row < l.rows; ++row)
            for (int column = 0; column < l.width; ++column) {
                const float value = float(l.values[size_t(row * l.width + column)]) / 255.0f;
                if (value == 0.0f) continue;
                float& cell = ink.coverage.at(ink.penX + l.left + column, ink.baseline + l.top + row);
                cell = 1.0f - (1.0f - cell) * (1.0f - value);  // overlapping letters
            }
    return ink;
}

float fitSize(const Font& font, std::span<const std::string_view> texts, float maxWidth, float maxAscent,
              float maxDescent, float xScale) {
    auto fits = [&](float size) {
        for (std::string_view text : texts) {
            const TextInk ink = font.render(text, size, xScale);
            if (float(ink.inkWidth()) > maxWidth || float(ink.ascent()) > maxAscent ||
                float(ink.descent()) > maxDescent)
                return false;
        }
        return true;
    };
    // Ink grows in proportion to the size: estimate from a large sample, then step down until
    // rounding at the real size agrees.
    constexpr float kProbe = 200.0f;
    float size = 1000.0f;
    for (std::string_view text : texts) {
        const TextInk ink = font.render(text, kProbe, xScale);
        if (ink.inkWidth() > 0) size = std::min(size, kProbe * maxWidth / float(ink.inkWidth()));
        if (ink.ascent() > 0) size = std::min(size, kProbe * maxAscent / float(ink.ascent()));
        if (ink.descent() > 0) size = std::min(size, kProbe * maxDescent / float(ink.descent()));
    }
    size = std::floor(size * 4.0f) / 4.0f;
    while (size > 1.0f && !fits(size)) size -= 0.25f;
    return size;
}

int letteringPad(const LetteringStyle& style) {
    const float shadowReach = std::max(std::abs(style.shadowOffset.x), std::abs(style.shadowOffset.y)) +
                              3.0f * style.shadowSoftness;
    const float reach = style.outlineWidth + std::max({3.0f * style.outlineSoftness, 2.0f * style.glowRadius, shadowReach});
    return int(std::ceil(reach)) + 2;
}

void drawLettering(Canvas& canvas, const TextInk& ink, int x, int y, const LetteringStyle& style) {
    const Plane grown = style.outlineWidth > 0.0f ? dilate(ink.coverage, style.outlineWidth) : ink.coverage;
    if (style.glow.a > 0.0f && style.glowRadius > 0.0f) {
        Plane glow = grown;
        blur(glow, style.glowRadius * 0.5f);
        paintMask(canvas, glow, x, y, style.glow);
    }
    if (style.shadow.a > 0.0f) {
        Plane shadow = grown;
        blur(shadow, style.shadowSoftness);
        paintMask(canvas, shadow, x + int(std::lround(style.shadowOffset.x)), y + int(std::lround(style.shadowOffset.y)),
                  style.shadow);
    }
    if (style.outline.a > 0.0f && style.outlineWidth > 0.0f) {
        Plane outline = grown;
        blur(outline, style.outlineSoftness);
        paintMask(canvas, outline, x, y, style.outline);
    }
    const float top = float(y + ink.inkTop);
    const float height = std::max(1.0f, float(ink.inkHeight()));
    paintMask(canvas, ink.coverage, x, y, [&](float, float py) {
        return mix(style.fillTop, style.fillBottom, std::clamp((py - top) / height, 0.0f, 1.0f));
    });
}

}  // namespace hg::bake
