#pragma once
// Textured, coloured quads in normalised device coordinates, queued by anyone during a frame and
// drawn (then dropped) in the frame's 2D pass; and the 2D mode they are drawn in.
#include <GL/glew.h>

#include <vector>

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
    // Draws every queued quad in queue order and empties the queue.
    void drawAndClear();
    size_t size() const { return quads_.size(); }
    const std::vector<ScreenQuad>& quads() const { return quads_; }

private:
    std::vector<ScreenQuad> quads_;
};

// Identity projection and modelview (pushed), so coordinates run from -1 to 1 with y up.
void enter2DMode();
void leave2DMode();
void drawScreenQuad(const ScreenQuad& quad);

}  // namespace hg
