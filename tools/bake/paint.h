#pragma once
// Drawing kit shared by every picture the builder makes: fills, gradients, soft and hard discs,
// polygons, blur and dilation of masks, compositing and resampling.
//
// Coordinates are in pixels with y downwards; a pixel's centre is at (x + 0.5, y + 0.5).
#include <functional>
#include <span>
#include <vector>

#include "bake/canvas.h"

namespace hg::bake {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// Lays one colour over the whole canvas.
void fill(Canvas& canvas, Colour colour);

// Lays a colour computed per pixel over the whole canvas (gradients, procedural patterns).
void fill(Canvas& canvas, const std::function<Colour(float x, float y)>& colourAt);

// A linear gradient from `from` at `start` to `to` at `end`, clamped beyond both, laid over the canvas.
void linearGradient(Canvas& canvas, Point start, Colour from, Point end, Colour to);

// Lays `colour` over the canvas through `mask`, whose top-left corner sits at (dx, dy).
void paintMask(Canvas& canvas, const Plane& mask, int dx, int dy, Colour colour);
void paintMask(Canvas& canvas, const Plane& mask, int dx, int dy,
               const std::function<Colour(float x, float y)>& colourAt);

// A glow: `colour` at the centre fading smoothly (Gaussian) to nothing; `radius` is where it is
// down to about 2 % of its strength.
void softDisc(Canvas& canvas, Point centre, float radius, Colour colour);

// Anti-aliased shapes added to a coverage mask (coverage adds up and is clamped to 1).
void addDisc(Plane& mask, Point centre, float radius);
void addEllipse(Plane& mask, Point centre, float radiusX, float radiusY);
// Non-zero winding fill, sampled 4 x 4 times per pixel.
void addPolygon(Plane& mask, std::span<const Point> outline);
// A line of the given width with round ends.
void addLine(Plane& mask, Point from, Point to, float width);

// Gaussian blur with standard deviation `sigma` in pixels; the edges fade to transparent.
void blur(Plane& plane, float sigma);
void blur(Canvas& canvas, float sigma);

// Grey-scale dilation by a disc of `radius` pixels: the mask grown outwards (outlines, glows).
Plane dilate(const Plane& mask, float radius);

// Lays `top` over `bottom` with its top-left corner at (dx, dy), scaled by `opacity`.
void composite(Canvas& bottom, const Canvas& top, int dx, int dy, float opacity = 1.0f);

// The canvas resized by area averaging (for drawing at a finer scale or a wider aspect and
// reducing to the texture's size).
Canvas resample(const Canvas& canvas, int width, int height);

// Outlines of ornament shapes, centred at `centre`.
// A star of `points` points, the outer radius `outer` and the inner `inner`, one point upwards
// turned by `turn` radians.
std::vector<Point> starOutline(Point centre, int points, float outer, float inner, float turn = 0.0f);
// A holly leaf `length` long and `width` wide with spiky scalloped edges, its axis pointing at
// `angle` radians (0 = to the right, y down).
std::vector<Point> hollyLeafOutline(Point centre, float length, float width, float angle);

}  // namespace hg::bake
