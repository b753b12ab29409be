#include "overlay/glyph_text.h"

#include <sstream>

#include "image/texture_manager.h"

namespace hg {
namespace {

constexpr float kAdvance = 0.0425f;
constexpr float kPointShift = 0.03125f;

constexpr std::array<const char*, 16> kGlyphFiles = {
    "Textures/tex_sym_0.tga", "Textures/tex_sym_1.tga", "Textures/tex_sym_2.tga",     "Textures/tex_sym_3.tga",
    "Textures/tex_sym_4.tga", "Textures/tex_sym_5.tga", "Textures/tex_sym_6.tga",     "Textures/tex_sym_7.tga",
    "Textures/tex_sym_8.tga", "Textures/tex_sym_9.tga", "Textures/tex_sym_a.tga",     "Textures/tex_sym_m.tga",
    "Textures/tex_sym_p.tga", "Textures/tex_sym_colon.tga", "Textures/tex_sym_point.tga", "Textures/tex_sym_space.tga",
};

int glyphOf(char c) {
    const size_t at = kGlyphAlphabet.find(c);
    return at == std::string_view::npos ? 0 : static_cast<int>(at);
}

}  // namespace

void drawTexturedQuad(float cx, float cy, float hw, float hh, GLuint texture) {
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_ALPHA_TEST);
    glColor4f(1, 1, 1, 1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(cx - hw, cy - hh);
    glTexCoord2f(0, 1);
    glVertex2f(cx - hw, cy + hh);
    glTexCoord2f(1, 1);
    glVertex2f(cx + hw, cy + hh);
    glTexCoord2f(1, 0);
    glVertex2f(cx + hw, cy - hh);
    glEnd();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_CULL_FACE);
}

std::vector<GlyphPlacement> layoutGlyphText(float x, std::string_view text) {
    std::vector<GlyphPlacement> placements;
    placements.reserve(text.size());
    float offset = 0.0f;
    for (char c : text) {
        const float shift = c == '.' ? kPointShift : 0.0f;
        placements.push_back({x + offset - shift, glyphOf(c)});
        offset += kAdvance - shift * 0.6f;
    }
    return placements;
}

std::string frameRateText(float framesPerSecond) {
    std::ostringstream text;
    text << framesPerSecond;
    return text.str();
}

void GlyphText::load(TextureManager& textures) {
    for (size_t i = 0; i < kGlyphFiles.size(); ++i) glyphs_[i] = textures.get(kGlyphFiles[i]);
}

void GlyphText::draw(float x, float y, std::string_view text) const {
    for (const GlyphPlacement& p : layoutGlyphText(x, text)) drawTexturedQuad(p.centreX, y, kHalfWidth, kHalfHeight, glyphs_[p.glyph]);
}

}  // namespace hg
