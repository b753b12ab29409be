#pragma once
// Textured, coloured quads in normalised device coordinates, queued by anyone during a frame and
// drawn (then dropped) in the frame's 2D pass; and the 2D mode they are drawn in.
#include <cstddef>
#include <vector>

#include "gl/gl.h"

namespace hg {

struct ScreenQuad {
    float centreX = 0, centreY = 0;
    float halfWidth = 1, halfHeight = 1;
    float r = 1, g = 1, b = 1, a = 1;
    GLenum sourceFactor = GL_SRC_ALPHA;
    GLenum destinationFactor = GL_ONE_MINUS_SRC_ALPHA;
    GLuint texture = 0;
};

class ScreenQuadQueue {
public:
    void queue(const ScreenQuad& quad) { quads_.push_back(quad); }
    // Draws every queued quad in queue order.
    void draw() const;
    // Draws every queued quad in queue order and empties the queue.
    void drawAndClear();
    // Drops every quad queued after the first `count`.
    void keepFirst(size_t count) {
        if (quads_.size() > count) quads_.resize(count);
    }
    void clear() { quads_.clear(); }
    size_t size() const { return quads_.size(); }
    const std::vector<ScreenQuad>& quads() const { return quads_; }

private:
    std::vector<ScreenQuad> quads_;
};

// Identity projection and modelview (pushed), so coordinates run from -1 to 1 with y up.
void enter2DMode();
void leave2DMode();
void drawScreenQuad(const ScreenQuad& quad);

// The 2D pictures (clock, banners, logo, loading picture) were laid out for a 4:3 screen. On any
// other shape each keeps its proportions: it shrinks along the longer axis towards the edge or
// corner it hugs, so a corner's clock stays in its corner and a circle stays a circle.
enum class Anchor { Centre, TopLeft, TopRight, BottomLeft, BottomRight };
inline constexpr float kOverlayAspect = 4.0f / 3.0f;

// x' = scaleX * x + offsetX, and the same for y, in normalised device coordinates.
struct OverlayPlacement {
    float scaleX = 1, offsetX = 0, scaleY = 1, offsetY = 0;
};
OverlayPlacement overlayPlacement(Anchor anchor, float aspect);
// Loads the placement as the modelview matrix (in 2D mode); identity at 4:3.
void placeOverlay(Anchor anchor, float aspect);

}  // namespace hg
