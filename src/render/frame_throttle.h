#pragma once
// Keeps the program at most one frame ahead of the driver's drawing. A driver that queues frames
// without bound (a software rasteriser with no swap limit of its own) would otherwise hold every
// queued frame's work in memory and show the screen ever later behind the clock.
#include "gl/gl.h"

#include <cstdint>

namespace hg {

class FrameThrottle {
public:
    // With fences offered by the context; without them every call does nothing.
    void start(bool fencesOffered) { enabled_ = fencesOffered; }
    // After each swap: a fence behind this frame, then the wait for the frame before it.
    void afterSwap();
    // While the context is still current: the outstanding fence goes.
    void release();

    // How long one wait may last before the frame goes on regardless (a stalled driver must not
    // freeze the program).
    static constexpr uint64_t kLongestWaitNs = 1'000'000'000;

private:
    bool enabled_ = false;
    GLsync previous_ = nullptr;
};

}  // namespace hg
