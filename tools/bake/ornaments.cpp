#include "bake/ornaments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hg::bake {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

Colour scaled(Colour c, float factor) {
    return {std::min(1.0f, c.r * factor), std::min(1.0f, c.g * factor), std::min(1.0f, c.b * factor), c.a};
}

// Paints a shape with a dark rim, a shaded body lit from the upper left and a soft shadow.
void paintShaded(Canvas& canvas, const Plane& shape, Colour light, Colour deep, Point centre, float size) {
    const float rim = std::max(1.0f, size * 0.06f);
    Plane grown = dilate(shape, rim);
    blur(grown, rim * 0.5f);
    paintMask(canvas, grown, 0, 0, rgb(0x120804, 0.8f));
    paintMask(canvas, shape, 0, 0, [&](float x, float y) {
        const float t = std::clamp(((x - centre.x) + (y - centre.y)) / (2.0f * size) + 0.5f, 0.0f, 1.0f);
        return mix(light, deep, t);
    });
}

}  // namespace

void drawHollySprig(Canvas& canvas, Point centre, float size, float angle) {
    Plane leaves(canvas.width(), canvas.height());
    for (float side : {-1.0f, 1.0f}) {
        const float a = angle + (side < 0 ? kPi + 0.45f : -0.45f);
        const Point leafCentre{centre.x + std::cos(a) * size * 0.5f, centre.y + std::sin(a) * size * 0.5f};
        addPolygon(leaves, hollyLeafOutline(leafCentre, size, size * 0.42f, a));
    }
    paintShaded(canvas, leaves, rgb(0x3E9A4A), rgb(0x0E4A22), centre, size);
    // Leaf veins: a faint lighter line along each axis.
    Plane veins(canvas.width(), canvas.height());
    for (float side : {-1.0f, 1.0f}) {
        const float a = angle + (side < 0 ? kPi + 0.45f : -0.45f);
        addLine(veins, {centre.x + std::cos(a) * size * 0.1f, centre.y + std::sin(a) * size * 0.1f},
                {centre.x + std::cos(a) * size * 0.9f, centre.y + std::sin(a) * size * 0.9f}, std::max(1.0f, size * 0.03f));
    }
    paintMask(canvas, veins, 0, 0, rgb(0x8CCB7A, 0.55f));
    // Berries, each with a glint.
    const float r = size * 0.14f;
    const float c = std::cos(angle), s = std::sin(angle);
    const Point offsets[] = {{-0.9f, -0.35f}, {0.9f, -0.35f}, {0.0f, 0.55f}};
    for (const Point& o : offsets) {
        const Point p{centre.x + (o.x * c - o.y * s) * r, centre.y - r * 0.4f + (o.x * s + o.y * c) * r};
        Plane berry(canvas.width(), canvas.height());
        addDisc(berry, p, r);
        paintShaded(canvas, berry, rgb(0xF0403A), rgb(0x8A0A10), p, r);
        softDisc(canvas, {p.x - r * 0.35f, p.y - r * 0.35f}, r * 0.55f, rgb(0xFFFFFF, 0.8f));
    }
}

void drawStar(Canvas& canvas, Point centre, float radius, Colour colour) {
    softDisc(canvas, centre, radius * 2.2f, withAlpha(colour, 0.35f * colour.a));
    Plane star(canvas.width(), canvas.height());
    addPolygon(star, starOutline(centre, 5, radius, radius * 0.45f));
    paintShaded(canvas, star, scaled(colour, 1.25f), scaled(colour, 0.6f), centre, radius);
}

void drawTwinkle(Canvas& canvas, Point centre, float radius, Colour colour) {
    softDisc(canvas, centre, radius * 0.9f, withAlpha(colour, 0.5f * colour.a));
    Plane rays(canvas.width(), canvas.height());
    addPolygon(rays, starOutline(centre, 4, radius, radius * 0.16f));
    Plane halo = dilate(rays, std::max(1.0f, radius * 0.05f));
    blur(halo, std::max(1.0f, radius * 0.04f));
    paintMask(canvas, halo, 0, 0, rgb(0x1A0E06, 0.45f));
    paintMask(canvas, rays, 0, 0, colour);
    softDisc(canvas, centre, radius * 0.35f, rgb(0xFFFFFF, 0.9f));
}

void drawBurst(Canvas& canvas, Point centre, float radius, int rays, Colour colour) {
    softDisc(canvas, centre, radius * 0.8f, withAlpha(colour, 0.25f * colour.a));
    Plane trails(canvas.width(), canvas.height());
    Plane sparks(canvas.width(), canvas.height());
    const float spark = std::max(1.0f, radius * 0.045f);
    for (int i = 0; i < rays; ++i) {
        const float a = 2.0f * kPi * (float(i) + 0.25f) / float(rays);
        const Point dir{std::cos(a), std::sin(a)};
        // Dotted trails that thin out towards the tip, ending in a brighter spark.
        for (int k = 0; k < 6; ++k) {
            const float t0 = 0.28f + 0.11f * float(k);
            const float t1 = t0 + 0.06f;
            addLine(trails, {centre.x + dir.x * radius * t0, centre.y + dir.y * radius * t0},
                    {centre.x + dir.x * radius * t1, centre.y + dir.y * radius * t1}, spark * (1.1f - 0.12f * float(k)));
        }
        addDisc(sparks, {centre.x + dir.x * radius * 0.95f, centre.y + dir.y * radius * 0.95f}, spark * 1.3f);
    }
    Plane halo = dilate(trails, spark);
    blur(halo, spark);
    paintMask(canvas, halo, 0, 0, rgb(0x1A0E06, 0.5f));
    paintMask(canvas, trails, 0, 0, colour);
    Plane sparkGlow = sparks;
    blur(sparkGlow, spark * 1.5f);
    paintMask(canvas, sparkGlow, 0, 0, withAlpha(colour, 0.8f));
    paintMask(canvas, sparks, 0, 0, rgb(0xFFFFF0));
    softDisc(canvas, centre, radius * 0.2f, rgb(0xFFFFFF, 0.7f));
}

void drawRule(Canvas& canvas, Point centre, float width, float thickness, Colour colour) {
    Plane line(canvas.width(), canvas.height());
    // A lens: thickest in the middle, a point at each end.
    std::vector<Point> outline;
    constexpr int kSteps = 48;
    for (int i = 0; i <= kSteps; ++i) {
        const float t = -1.0f + 2.0f * float(i) / kSteps;
        outline.push_back({centre.x + t * width * 0.5f, centre.y - thickness * 0.5f * (1.0f - t * t)});
    }
    for (int i = kSteps; i >= 0; --i) {
        const float t = -1.0f + 2.0f * float(i) / kSteps;
        outline.push_back({centre.x + t * width * 0.5f, centre.y + thickness * 0.5f * (1.0f - t * t)});
    }
    addPolygon(line, outline);
    const float d = thickness * 2.2f;
    const Point diamond[] = {{centre.x, centre.y - d}, {centre.x + d, centre.y}, {centre.x, centre.y + d}, {centre.x - d, centre.y}};
    addPolygon(line, diamond);
    paintShaded(canvas, line, scaled(colour, 1.2f), scaled(colour, 0.7f), centre, d * 2.0f);
}

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Random::uniform(float low, float high) {
    return low + (high - low) * float(double(next() >> 11) / double(uint64_t{1} << 53));
}

}  // namespace hg::bake
