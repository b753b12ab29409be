#include "app/local_clock.h"

#include <cmath>

#include "platform/platform.h"

namespace hg {

LocalClock::LocalClock(std::optional<CalendarTime> start, std::optional<float> fixedStep) {
    if (!start) return;
    if (fixedStep) {
        pacedStart_ = platform::epochSecondsOf(*start);
        secondsPerFrame_ = static_cast<double>(*fixedStep) / 55.0;
        return;
    }
    offsetSeconds_ = platform::epochSecondsOf(*start) - platform::epochSecondsNow();
}

CalendarTime LocalClock::now() const {
    if (pacedStart_) return platform::localTime(*pacedStart_ + static_cast<int64_t>(std::floor(pacedSeconds_)));
    return platform::localTime(platform::epochSecondsNow() + offsetSeconds_);
}

void LocalClock::frameDrawn() { pacedSeconds_ += secondsPerFrame_; }

}  // namespace hg
