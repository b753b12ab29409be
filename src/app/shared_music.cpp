#include "app/shared_music.h"

namespace hg {

void SharedMusic::begin(uint32_t nowMilliseconds) {
    begun_ = true;
    attempt(nowMilliseconds);
}

void SharedMusic::poll(uint32_t nowMilliseconds) {
    // Unsigned difference: the millisecond timer wraps.
    if (begun_ && !playing_ && nowMilliseconds - lastAttempt_ >= kRetryMilliseconds) attempt(nowMilliseconds);
}

void SharedMusic::attempt(uint32_t nowMilliseconds) {
    lastAttempt_ = nowMilliseconds;
    if (!tryLock_ || !tryLock_()) return;
    playing_ = true;
    if (start_) start_();
}

}  // namespace hg
