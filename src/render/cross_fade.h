#pragma once
// The run's two fades. The first picture comes in from black: a black quad over everything whose
// opacity starts at 1 and, once the run clock passes 1, falls by 0.015 a step. At a camera change
// the old view, drawn into a corner of the screen and kept in a snapshot texture, lies over the
// new one at opacity 1.2 and falls by 0.01 a step. Each view (monitor) has its own snapshot.
#include "gl/gl.h"

#include <vector>

#include "render/screen_quads.h"
#include "render/view_layout.h"

namespace hg {

class CrossFade {
public:
    // One snapshot texture per view, square, of the given sides (256, 512 or 1024).
    void create(const std::vector<int>& snapshotSides);
    void destroy();

    // Once a frame, with the frame's step and the run clock.
    void advance(float step, float runClock);
    // The viewers show their subject at once.
    void skipFadeIn() { fadeAlpha_ = 0.0f; }
    void queueFadeQuad(ScreenQuadQueue& quads) const;

    // Drawing the old view for a snapshot: between begin and end, draw into the view's corner.
    void beginSnapshot(size_t view, const Viewport& area) const;
    void endSnapshot(size_t view, const Viewport& area);
    // The snapshot over the view, while it still shows.
    void queueSnapshotQuad(size_t view, ScreenQuadQueue& quads) const;

    float fadeAlpha() const { return fadeAlpha_; }
    float snapshotAlpha(size_t view) const { return view < snapshots_.size() ? snapshots_[view].alpha : 0.0f; }

private:
    struct Snapshot {
        GLuint texture = 0;
        int side = 256;
        float alpha = 0.0f;
    };
    const Snapshot* snapshot(size_t view) const { return view < snapshots_.size() ? &snapshots_[view] : nullptr; }

    std::vector<Snapshot> snapshots_;
    float fadeAlpha_ = 1.0f;
};

}  // namespace hg
