#pragma once
// Procedural texture kit: tileable value and gradient noise, fractal sums, and the material
// pictures of the room's models (wood, brass and gold, wax, knitted and woven cloth, plaid,
// painted patterns). Every picture tiles: the noise lattices wrap at the picture's edges.
//
// Pictures are square Canvases (opaque), sampled at pixel centres with u across and v down, both
// from 0 to 1. The same seed always gives the same picture.
#include <cstdint>
#include <functional>
#include <span>

#include "bake/canvas.h"

namespace hg::bake {

// Noise over a lattice that wraps after `periodX` cells across and `periodY` down; x and y are in
// lattice cells. Value noise is smooth random values (0 to 1); gradient noise is smooth random
// slopes (about -0.7 to 0.7, 0 on the lattice points).
float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed);
float gradientNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// A fractal sum of gradient noise over (u, v) in the unit square: `octaves` layers, the first
// with periodX × periodY cells, each next with twice as many each way at `gain` times the
// amplitude. Roughly -1 to 1; tiles across the unit square.
float fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed, float gain = 0.5f);

// A square picture of `size` pixels filled from a function of (u, v).
Canvas makeTexture(int size, const std::function<Colour(float u, float v)>& colourAt);

// Wood of `rings` growth rings across, the grain running down the picture (along v), ring
// colour from `early` (light) to `late` (dark).
Canvas woodGrain(int size, Colour early, Colour late, int rings, uint32_t seed);
// Brushed metal (brass, gold, steel): fine streaks along u, soft tarnish blotches, a little
// sparkle.
Canvas brushedMetal(int size, Colour base, Colour highlight, Colour tarnish, uint32_t seed);
// Candle wax: soft mottling and faint drips running down.
Canvas wax(int size, Colour colour, uint32_t seed);
// Stockinette knitting: rows of V-shaped stitches, `stitches` across. `colourAt(column, row)`
// picks each stitch's colour, so stripes and motifs are a function of the grid.
Canvas knitted(int size, int stitches, const std::function<Colour(int column, int row)>& colourAt, uint32_t seed);
// Plain weave: `threads` across, warp and weft crossing over and under.
Canvas woven(int size, int threads, Colour warp, Colour weft, uint32_t seed);
// Tartan: the `sett` of coloured stripes (colour index per thread band) repeated across and
// down, woven as a twill so the crossings mix.
struct Stripe {
    Colour colour;
    int threads;
};
Canvas plaid(int size, std::span<const Stripe> sett, int repeats, uint32_t seed);
// A painted ground: a colour with soft brush streaks along u.
Colour paintedAt(Colour colour, float u, float v, uint32_t seed, float strength = 0.06f);
Canvas painted(int size, Colour colour, uint32_t seed);
// Painted stripes: `count` pairs across, sloping `slant` pairs per height (0 = vertical bands;
// whole numbers keep the picture tileable).
Canvas paintedStripes(int size, Colour a, Colour b, int count, int slant, uint32_t seed);
// Painted dots of `dotColour` on `ground`, `count` per row in a staggered grid.
Canvas paintedDots(int size, Colour ground, Colour dotColour, int count, float radius, uint32_t seed);
// Fir needles: short dark and light green strokes over a deep green ground.
Canvas firNeedles(int size, uint32_t seed);

// Copies `tile` into the rectangle of `atlas` at (x, y), scaled to w × h pixels.
void placeInAtlas(Canvas& atlas, const Canvas& tile, int x, int y, int w, int h);

// Multiplies a colour's red, green and blue by `f`.
Colour shade(Colour c, float f);

}  // namespace hg::bake
