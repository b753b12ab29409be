#include "render/frame_throttle.h"

namespace hg {

void FrameThrottle::afterSwap() {
    if (!enabled_) return;
    GLsync current = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (previous_) {
        glClientWaitSync(previous_, GL_SYNC_FLUSH_COMMANDS_BIT, kLongestWaitNs);
        glDeleteSync(previous_);
    }
    previous_ = current;
}

void FrameThrottle::release() {
    if (previous_) glDeleteSync(previous_);
    previous_ = nullptr;
    enabled_ = false;
}

}  // namespace hg
