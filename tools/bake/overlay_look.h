#pragma once
// The look the overlay pictures share (clock glyphs, countdown labels, greetings, logo), and the
// design canvas they are drawn on.
#include "bake/canvas.h"
#include "bake/text.h"

namespace hg::bake {

// The overlay's quads are shown 4/3 wider than their textures' own aspect on a 4:3 screen.
// Pictures are therefore drawn on a canvas `scale` times the texture's height and 4/3 x `scale`
// times its width, with square pixels as they will appear, and reduced to the texture's size.
inline Canvas designCanvas(int textureWidth, int textureHeight, int scale) {
    return Canvas(textureWidth * scale * 4 / 3, textureHeight * scale);
}

// Bright warm-white lettering with a soft dark outline, for glyphs and unit labels; `unit` is
// the size of one texture pixel on the design canvas.
inline LetteringStyle brightLettering(float unit) {
    LetteringStyle style;
    style.fillTop = rgb(0xFFFCF2);
    style.fillBottom = rgb(0xFFE0A8);
    style.outline = rgb(0x1C0F06, 0.9f);
    style.outlineWidth = 2.2f * unit;
    style.outlineSoftness = 0.8f * unit;
    style.shadow = rgb(0x000000, 0.35f);
    style.shadowOffset = {0.8f * unit, 1.2f * unit};
    style.shadowSoftness = 1.6f * unit;
    return style;
}

// Gold lettering with a dark outline and a warm glow, for titles and greetings.
inline LetteringStyle goldLettering(float unit) {
    LetteringStyle style;
    style.fillTop = rgb(0xFFF1C2);
    style.fillBottom = rgb(0xE9A23B);
    style.outline = rgb(0x2A1206, 0.92f);
    style.outlineWidth = 2.0f * unit;
    style.outlineSoftness = 0.7f * unit;
    style.glow = rgb(0xFFB040, 0.45f);
    style.glowRadius = 5.0f * unit;
    return style;
}

}  // namespace hg::bake
