#include "render/screen_quads.h"

namespace hg {

void ScreenQuadQueue::drawAndClear() {
    for (const ScreenQuad& quad : quads_) drawScreenQuad(quad);
    quads_.clear();
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
