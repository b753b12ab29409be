#include "render/cross_fade.h"

namespace hg {

void CrossFade::create(const std::vector<int>& snapshotSides) {
    for (int side : snapshotSides) {
        Snapshot snapshot;
        snapshot.side = side;
        glGenTextures(1, &snapshot.texture);
        glBindTexture(GL_TEXTURE_2D, snapshot.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, side, side, 0);
        snapshots_.push_back(snapshot);
    }
}

void CrossFade::destroy() {
    for (Snapshot& snapshot : snapshots_) glDeleteTextures(1, &snapshot.texture);
    snapshots_.clear();
}

void CrossFade::advance(float step, float runClock) {
    for (Snapshot& snapshot : snapshots_) snapshot.alpha -= step * 0.01f;
    if (runClock > 1.0f) fadeAlpha_ -= step * 0.015f;
}

void CrossFade::queueFadeQuad(ScreenQuadQueue& quads) const {
    if (fadeAlpha_ <= 0.0f) return;
    ScreenQuad fade;
    fade.r = fade.g = fade.b = 0.0f;
    fade.a = fadeAlpha_;
    fade.texture = 1;  // whatever texture has the name 1; black times anything is black
    quads.queue(fade);
}

void CrossFade::beginSnapshot(size_t view, const Viewport& area) const {
    if (const Snapshot* s = snapshot(view)) glViewport(area.x, area.y, s->side, s->side);
}

void CrossFade::endSnapshot(size_t view, const Viewport& area) {
    if (view >= snapshots_.size()) return;
    Snapshot& s = snapshots_[view];
    s.alpha = 1.2f;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, area.x, area.y, s.side, s.side);
    glViewport(area.x, area.y, area.width, area.height);
    glClear(GL_DEPTH_BUFFER_BIT);
}

// Once the cross-fade is over the snapshot quad would change no pixel (zero alpha, blended and
// alpha-tested away) yet still cost a full-screen textured pass in a software rasteriser.
void CrossFade::queueSnapshotQuad(size_t view, ScreenQuadQueue& quads) const {
    const Snapshot* s = snapshot(view);
    if (!s || s->alpha <= 0.0f) return;
    ScreenQuad quad;
    quad.a = s->alpha;
    quad.texture = s->texture;
    quads.queue(quad);
}

}  // namespace hg
