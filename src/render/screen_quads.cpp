#include "render/screen_quads.h"

#include <algorithm>

namespace hg {

namespace {
// A quad blended by its own alpha at alpha 0 or below adds nothing: the snapshot and the fade stay
// queued every frame once they have faded out, and a full-screen blend is not free.
bool leavesImageUnchanged(const ScreenQuad& quad) {
    return quad.sourceFactor == GL_SRC_ALPHA && quad.destinationFactor == GL_ONE_MINUS_SRC_ALPHA && quad.a <= 0.0f;
}
}  // namespace

void ScreenQuadQueue::draw() const {
    for (const ScreenQuad& quad : quads_) {
        if (!leavesImageUnchanged(quad)) drawScreenQuad(quad);
    }
}

void ScreenQuadQueue::drawAndClear() {
    draw();
    quads_.clear();
}

OverlayPlacement overlayPlacement(Anchor anchor, float aspect) {
    if (!(aspect > 0.0f)) aspect = kOverlayAspect;
    // Wider than 4:3 shrinks x, taller shrinks y; at 4:3 nothing changes.
    const float shrinkX = std::min(1.0f, kOverlayAspect / aspect);
    const float shrinkY = std::min(1.0f, aspect / kOverlayAspect);
    float sideX = 0.0f, sideY = 0.0f;  // the edge the picture hugs: -1 left/bottom, 1 right/top
    switch (anchor) {
        case Anchor::Centre: break;
        case Anchor::TopLeft: sideX = -1, sideY = 1; break;
        case Anchor::TopRight: sideX = 1, sideY = 1; break;
        case Anchor::BottomLeft: sideX = -1, sideY = -1; break;
        case Anchor::BottomRight: sideX = 1, sideY = -1; break;
    }
    return {shrinkX, sideX * (1.0f - shrinkX), shrinkY, sideY * (1.0f - shrinkY)};
}

void placeOverlay(Anchor anchor, float aspect) {
    const OverlayPlacement p = overlayPlacement(anchor, aspect);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(p.offsetX, p.offsetY, 0.0f);
    glScalef(p.scaleX, p.scaleY, 1.0f);
}

void enter2DMode() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void leave2DMode() {
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void drawScreenQuad(const ScreenQuad& q) {
    const GLfloat colour[4] = {q.r, q.g, q.b, q.a};
    glColor4fv(colour);
    glBlendFunc(q.sourceFactor, q.destinationFactor);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, q.texture);
    const float left = q.centreX - q.halfWidth, right = q.centreX + q.halfWidth;
    const float bottom = q.centreY - q.halfHeight, top = q.centreY + q.halfHeight;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, bottom);
    glTexCoord2f(0, 1);
    glVertex2f(left, top);
    glTexCoord2f(1, 1);
    glVertex2f(right, top);
    glTexCoord2f(1, 0);
    glVertex2f(right, bottom);
    glEnd();
}

}  // namespace hg
