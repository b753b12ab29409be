#pragma once
// Holiday ornaments painted in one call each: holly sprigs, stars, twinkles, a gold rule.
// Sizes are in canvas pixels; every ornament brings its own soft shading and dark rim so it
// reads over light and dark grounds alike.
#include <cstdint>

#include "bake/canvas.h"
#include "bake/paint.h"

namespace hg::bake {

// Two holly leaves fanned around `centre` with three red berries where they meet; `size` is
// the length of one leaf, `angle` turns the whole sprig (radians, 0 = leaves spread sideways).
void drawHollySprig(Canvas& canvas, Point centre, float size, float angle = 0.0f);

// A five-pointed star of outer radius `radius`, filled with a light-to-deep gradient of `colour`,
// with a thin dark rim and a soft halo.
void drawStar(Canvas& canvas, Point centre, float radius, Colour colour);

// A four-pointed twinkle: thin bright rays and a glowing core.
void drawTwinkle(Canvas& canvas, Point centre, float radius, Colour colour);

// A firework: `rays` bright trails of sparks bursting from `centre` out to `radius`.
void drawBurst(Canvas& canvas, Point centre, float radius, int rays, Colour colour);

// A thin gold line `width` long tapering to its ends, with a small diamond at its middle.
void drawRule(Canvas& canvas, Point centre, float width, float thickness, Colour colour);

// Reproducible pseudo-random numbers (SplitMix64) for scattering ornaments and lights: the same
// seed gives the same picture on every build and every machine.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // Uniform in [low, high).
    float uniform(float low, float high);

private:
    uint64_t state_;
};

}  // namespace hg::bake
