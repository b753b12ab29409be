#include "render/window_view.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace hg {
namespace {

struct ClipPoint {
    float x, y, z, w;
};

ClipPoint toClip(const float m[16], const Vec3& p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14], m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15]};
}

// Ahead of GL's near plane: z >= -w.
float nearSide(const ClipPoint& p) { return p.z + p.w; }

ClipPoint between(const ClipPoint& a, const ClipPoint& b, float t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, a.w + (b.w - a.w) * t};
}

// The triangle's part ahead of the near plane: up to four corners.
int cutAtNearPlane(const std::array<ClipPoint, 3>& triangle, std::array<ClipPoint, 4>& out) {
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const ClipPoint& a = triangle[i];
        const ClipPoint& b = triangle[(i + 1) % 3];
        const float da = nearSide(a), db = nearSide(b);
        if (da >= 0.0f) out[count++] = a;
        if ((da >= 0.0f) != (db >= 0.0f)) out[count++] = between(a, b, da / (da - db));
    }
    return count;
}

struct Bounds {
    float low[2] = {1.0f, 1.0f};
    float high[2] = {-1.0f, -1.0f};
    bool empty() const { return low[0] > high[0] || low[1] > high[1]; }
};

// The corners' box in normalised device coordinates, cut to the view's square.
Bounds boundsInView(const std::array<ClipPoint, 4>& corners, int count) {
    Bounds box;
    float low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
    for (int i = 0; i < count; ++i) {
        // Ahead of the near plane w is at least the near distance, never zero.
        const float w = std::max(corners[i].w, 1e-6f);
        const float ndc[2] = {corners[i].x / w, corners[i].y / w};
        for (int axis = 0; axis < 2; ++axis) {
            low[axis] = std::min(low[axis], ndc[axis]);
            high[axis] = std::max(high[axis], ndc[axis]);
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        box.low[axis] = std::max(low[axis], -1.0f);
        box.high[axis] = std::min(high[axis], 1.0f);
    }
    return box;
}

}  // namespace

ScreenRect paneRectOnScreen(const std::vector<Vec3>& paneCorners, const float projection[16], const float modelview[16],
                            const int viewport[4]) {
    const std::array<float, 16> clip = clipMatrix(projection, modelview);
    Bounds all;
    for (size_t i = 0; i + 2 < paneCorners.size(); i += 3) {
        const std::array<ClipPoint, 3> triangle{toClip(clip.data(), paneCorners[i]), toClip(clip.data(), paneCorners[i + 1]),
                                                toClip(clip.data(), paneCorners[i + 2])};
        std::array<ClipPoint, 4> ahead{};
        const int count = cutAtNearPlane(triangle, ahead);
        if (count < 3) continue;
        const Bounds box = boundsInView(ahead, count);
        if (box.empty()) continue;
        for (int axis = 0; axis < 2; ++axis) {
            all.low[axis] = std::min(all.low[axis], box.low[axis]);
            all.high[axis] = std::max(all.high[axis], box.high[axis]);
        }
    }
    if (all.empty()) return {};
    const auto toPixel = [&](float ndc, int axis) { return viewport[axis] + (ndc + 1.0f) * 0.5f * viewport[axis + 2]; };
    const int left = std::max(viewport[0], static_cast<int>(std::floor(toPixel(all.low[0], 0))) - 1);
    const int bottom = std::max(viewport[1], static_cast<int>(std::floor(toPixel(all.low[1], 1))) - 1);
    const int right = std::min(viewport[0] + viewport[2], static_cast<int>(std::ceil(toPixel(all.high[0], 0))) + 1);
    const int top = std::min(viewport[1] + viewport[3], static_cast<int>(std::ceil(toPixel(all.high[1], 1))) + 1);
    return {left, bottom, right - left, top - bottom};
}

}  // namespace hg
