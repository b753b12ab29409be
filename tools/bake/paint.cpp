#include "bake/paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hg::bake {

void fill(Canvas& canvas, Colour colour) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) canvas.blend(x, y, colour);
}

void fill(Canvas& canvas, const std::function<Colour(float x, float y)>& colourAt) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) canvas.blend(x, y, colourAt(float(x) + 0.5f, float(y) + 0.5f));
}

void linearGradient(Canvas& canvas, Point start, Colour from, Point end, Colour to) {
    const float dx = end.x - start.x;
    const float dy = end.y - start.y;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    fill(canvas, [&](float x, float y) {
        const float t = std::clamp(((x - start.x) * dx + (y - start.y) * dy) / length2, 0.0f, 1.0f);
        return mix(from, to, t);
    });
}

void paintMask(Canvas& canvas, const Plane& mask, int dx, int dy, Colour colour) {
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const float coverage = mask.at(x, y);
            if (coverage > 0.0f) canvas.blend(x + dx, y + dy, colour, coverage);
        }
}

void paintMask(Canvas& canvas, const Plane& mask, int dx, int dy,
               const std::function<Colour(float x, float y)>& colourAt) {
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const float coverage = mask.at(x, y);
            if (coverage > 0.0f)
                canvas.blend(x + dx, y + dy, colourAt(float(x + dx) + 0.5f, float(y + dy) + 0.5f), coverage);
        }
}

void softDisc(Canvas& canvas, Point centre, float radius, Colour colour) {
    if (radius <= 0.0f) return;
    const int x0 = std::max(0, int(std::floor(centre.x - radius)));
    const int x1 = std::min(canvas.width() - 1, int(std::ceil(centre.x + radius)));
    const int y0 = std::max(0, int(std::floor(centre.y - radius)));
    const int y1 = std::min(canvas.height() - 1, int(std::ceil(centre.y + radius)));
    // exp(-4) at the radius: about 2 %, and cut to exactly 0 there.
    const float k = 4.0f / (radius * radius);
    const float floor = std::exp(-4.0f);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float ddx = float(x) + 0.5f - centre.x;
            const float ddy = float(y) + 0.5f - centre.y;
            const float falloff = (std::exp(-k * (ddx * ddx + ddy * ddy)) - floor) / (1.0f - floor);
            if (falloff > 0.0f) canvas.blend(x, y, colour, falloff);
        }
}

void addEllipse(Plane& mask, Point centre, float radiusX, float radiusY) {
    if (radiusX <= 0.0f || radiusY <= 0.0f) return;
    const int x0 = std::max(0, int(std::floor(centre.x - radiusX - 1)));
    const int x1 = std::min(mask.width() - 1, int(std::ceil(centre.x + radiusX + 1)));
    const int y0 = std::max(0, int(std::floor(centre.y - radiusY - 1)));
    const int y1 = std::min(mask.height() - 1, int(std::ceil(centre.y + radiusY + 1)));
    const float scale = std::min(radiusX, radiusY);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float u = (float(x) + 0.5f - centre.x) / radiusX;
            const float v = (float(y) + 0.5f - centre.y) / radiusY;
            // Distance to the edge in pixels, near enough for anti-aliasing.
            const float distance = (std::sqrt(u * u + v * v) - 1.0f) * scale;
            const float coverage = std::clamp(0.5f - distance, 0.0f, 1.0f);
            float& value = mask.at(x, y);
            value = std::min(1.0f, value + coverage);
        }
}

void addDisc(Plane& mask, Point centre, float radius) { addEllipse(mask, centre, radius, radius); }

void addPolygon(Plane& mask, std::span<const Point> outline) {
    if (outline.size() < 3) return;
    float minX = outline[0].x, maxX = outline[0].x, minY = outline[0].y, maxY = outline[0].y;
    for (const Point& p : outline) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int x0 = std::max(0, int(std::floor(minX)));
    const int x1 = std::min(mask.width() - 1, int(std::ceil(maxX)));
    const int y0 = std::max(0, int(std::floor(minY)));
    const int y1 = std::min(mask.height() - 1, int(std::ceil(maxY)));
    constexpr int kSamples = 4;
    for (int y = y0; y <= y1; ++y) {
        // Per sub-row: the x positions where edges cross, with their winding direction.
        std::vector<float> rowCoverage(size_t(x1 - x0 + 1), 0.0f);
        for (int sy = 0; sy < kSamples; ++sy) {
            const float py = float(y) + (float(sy) + 0.5f) / kSamples;
            std::vector<std::pair<float, int>> edges;
            for (size_t i = 0; i < outline.size(); ++i) {
                const Point& a = outline[i];
                const Point& b = outline[(i + 1) % outline.size()];
                if ((a.y <= py) == (b.y <= py)) continue;
                const float t = (py - a.y) / (b.y - a.y);
                edges.push_back({a.x + t * (b.x - a.x), b.y > a.y ? 1 : -1});
            }
            std::sort(edges.begin(), edges.end());
            for (int x = x0; x <= x1; ++x)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = float(x) + (float(sx) + 0.5f) / kSamples;
                    int winding = 0;
                    for (const auto& [ex, direction] : edges) {
                        if (ex > px) break;
                        winding += direction;
                    }
                    if (winding != 0) rowCoverage[size_t(x - x0)] += 1.0f / (kSamples * kSamples);
                }
        }
        for (int x = x0; x <= x1; ++x) {
            float& value = mask.at(x, y);
            value = std::min(1.0f, value + rowCoverage[size_t(x - x0)]);
        }
    }
}

void addLine(Plane& mask, Point from, Point to, float width) {
    const float r = width * 0.5f;
    const int x0 = std::max(0, int(std::floor(std::min(from.x, to.x) - r - 1)));
    const int x1 = std::min(mask.width() - 1, int(std::ceil(std::max(from.x, to.x) + r + 1)));
    const int y0 = std::max(0, int(std::floor(std::min(from.y, to.y) - r - 1)));
    const int y1 = std::min(mask.height() - 1, int(std::ceil(std::max(from.y, to.y) + r + 1)));
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = float(x) + 0.5f - from.x;
            const float py = float(y) + 0.5f - from.y;
            const float t = std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f);
            const float ex = px - t * dx;
            const float ey = py - t * dy;
            const float coverage = std::clamp(r + 0.5f - std::sqrt(ex * ex + ey * ey), 0.0f, 1.0f);
            float& value = mask.at(x, y);
            value = std::max(value, coverage);
        }
}

namespace {

// The rows and columns that hold anything, grown by `margin` and clipped to the plane;
// false when the plane is empty.
bool inkBounds(const Plane& plane, int margin, int& x0, int& y0, int& x1, int& y1) {
    x0 = plane.width(), y0 = plane.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < plane.height(); ++y)
        for (int x = 0; x < plane.width(); ++x)
            if (plane.at(x, y) != 0.0f) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    if (x1 < 0) return false;
    x0 = std::max(0, x0 - margin), y0 = std::max(0, y0 - margin);
    x1 = std::min(plane.width() - 1, x1 + margin), y1 = std::min(plane.height() - 1, y1 + margin);
    return true;
}

std::vector<float> gaussianKernel(float sigma) {
    const int radius = std::max(1, int(std::ceil(sigma * 3.0f)));
    std::vector<float> kernel(size_t(2 * radius + 1));
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i) {
        kernel[size_t(i + radius)] = std::exp(-float(i * i) / (2.0f * sigma * sigma));
        sum += kernel[size_t(i + radius)];
    }
    for (float& k : kernel) k /= sum;
    return kernel;
}

// Blurs `count` interleaved channels of a width x height grid along both axes.
void blurChannels(float* data, int width, int height, int channels, float sigma) {
    if (sigma <= 0.0f || width == 0 || height == 0) return;
    const std::vector<float> kernel = gaussianKernel(sigma);
    const int radius = int(kernel.size() / 2);
    std::vector<float> line;
    auto pass = [&](int lines, int length, int stepAlong, int stepAcross) {
        line.assign(size_t(length) * size_t(channels), 0.0f);
        for (int l = 0; l < lines; ++l) {
            float* base = data + size_t(l) * size_t(stepAcross) * size_t(channels);
            for (int i = 0; i < length; ++i)
                for (int c = 0; c < channels; ++c)
                    line[size_t(i) * size_t(channels) + size_t(c)] = base[size_t(i) * size_t(stepAlong) * size_t(channels) + size_t(c)];
            for (int i = 0; i < length; ++i) {
                const int k0 = std::max(-radius, -i);
                const int k1 = std::min(radius, length - 1 - i);
                for (int c = 0; c < channels; ++c) {
                    float sum = 0.0f;
                    for (int k = k0; k <= k1; ++k)
                        sum += kernel[size_t(k + radius)] * line[size_t(i + k) * size_t(channels) + size_t(c)];
                    base[size_t(i) * size_t(stepAlong) * size_t(channels) + size_t(c)] = sum;
                }
            }
        }
    };
    pass(height, width, 1, width);  // rows
    pass(width, height, width, 1);  // columns
}

}  // namespace

void blur(Plane& plane, float sigma) {
    // Only the part that holds anything, and as far as the blur spreads it, needs the work.
    int x0, y0, x1, y1;
    if (sigma <= 0.0f || !inkBounds(plane, int(std::ceil(sigma * 3.0f)) + 1, x0, y0, x1, y1)) return;
    Plane part(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) part.at(x - x0, y - y0) = plane.at(x, y);
    blurChannels(part.values().data(), part.width(), part.height(), 1, sigma);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) plane.at(x, y) = part.at(x - x0, y - y0);
}

void blur(Canvas& canvas, float sigma) {
    static_assert(sizeof(Pixel) == 4 * sizeof(float));
    blurChannels(&canvas.pixels().data()->r, canvas.width(), canvas.height(), 4, sigma);
}

Plane dilate(const Plane& mask, float radius) {
    Plane out(mask.width(), mask.height());
    const int r = int(std::ceil(radius));
    // Offsets within the disc, with a soft rim so the grown edge stays anti-aliased.
    struct Offset {
        int dx, dy;
        float weight;
    };
    std::vector<Offset> offsets;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const float weight = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
            if (weight > 0.0f) offsets.push_back({dx, dy, weight});
        }
    int x0, y0, x1, y1;
    if (!inkBounds(mask, r, x0, y0, x1, y1)) return out;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float best = 0.0f;
            for (const Offset& o : offsets) best = std::max(best, mask.sample(x + o.dx, y + o.dy) * o.weight);
            out.at(x, y) = best;
        }
    return out;
}

void composite(Canvas& bottom, const Canvas& top, int dx, int dy, float opacity) {
    for (int y = 0; y < top.height(); ++y)
        for (int x = 0; x < top.width(); ++x) {
            if (!bottom.contains(x + dx, y + dy)) continue;
            const Pixel& s = top.at(x, y);
            Pixel& d = bottom.at(x + dx, y + dy);
            const float keep = 1.0f - s.a * opacity;
            d.r = s.r * opacity + d.r * keep;
            d.g = s.g * opacity + d.g * keep;
            d.b = s.b * opacity + d.b * keep;
            d.a = s.a * opacity + d.a * keep;
        }
}

Canvas resample(const Canvas& canvas, int width, int height) {
    Canvas out(width, height);
    const float sx = float(canvas.width()) / float(width);
    const float sy = float(canvas.height()) / float(height);
    for (int y = 0; y < height; ++y) {
        const float fy0 = float(y) * sy, fy1 = float(y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const float fx0 = float(x) * sx, fx1 = float(x + 1) * sx;
            Pixel sum;
            float area = 0.0f;
            for (int iy = int(fy0); iy < canvas.height() && float(iy) < fy1; ++iy) {
                const float wy = std::min(fy1, float(iy + 1)) - std::max(fy0, float(iy));
                for (int ix = int(fx0); ix < canvas.width() && float(ix) < fx1; ++ix) {
                    const float w = wy * (std::min(fx1, float(ix + 1)) - std::max(fx0, float(ix)));
                    if (w <= 0.0f) continue;
                    const Pixel& p = canvas.at(ix, iy);
                    sum.r += p.r * w;
                    sum.g += p.g * w;
                    sum.b += p.b * w;
                    sum.a += p.a * w;
                    area += w;
                }
            }
            if (area > 0.0f) out.at(x, y) = {sum.r / area, sum.g / area, sum.b / area, sum.a / area};
        }
    }
    return out;
}

std::vector<Point> starOutline(Point centre, int points, float outer, float inner, float turn) {
    std::vector<Point> outline;
    for (int i = 0; i < points * 2; ++i) {
        const float angle = turn - std::numbers::pi_v<float> / 2 + float(i) * std::numbers::pi_v<float> / float(points);
        const float r = i % 2 == 0 ? outer : inner;
        outline.push_back({centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)});
    }
    return outline;
}

std::vector<Point> hollyLeafOutline(Point centre, float length, float width, float angle) {
    // Along the axis t runs from -1 (stem) to 1 (tip); the half-width follows a lens shape and
    // dips between the spikes, which stand out a little past it.
    constexpr int kSpikes = 4;
    constexpr int kStepsPerSpike = 6;
    const float c = std::cos(angle), s = std::sin(angle);
    auto place = [&](float along, float across) {
        return Point{centre.x + along * c - across * s, centre.y + along * s + across * c};
    };
    std::vector<Point> outline;
    const int steps = kSpikes * kStepsPerSpike;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i <= steps; ++i) {
            const int k = side == 0 ? i : steps - i;
            const float t = -1.0f + 2.0f * float(k) / float(steps);
            const float lens = std::sqrt(std::max(0.0f, 1.0f - t * t));
            const float phase = float(k % kStepsPerSpike) / kStepsPerSpike;
            const float scallop = 0.72f + 0.28f * std::pow(std::abs(std::cos(phase * std::numbers::pi_v<float>)), 3.0f);
            float half = 0.5f * width * lens * scallop;
            if (k % kStepsPerSpike == 0 && k != 0 && k != steps) half += width * 0.08f;
            outline.push_back(place(t * length * 0.5f, side == 0 ? half : -half));
        }
    }
    return outline;
}

}  // namespace hg::bake
