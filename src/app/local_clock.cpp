#include "app/local_clock.h"

#include "platform/platform.h"

namespace hg {

LocalClock::LocalClock(std::optional<CalendarTime> start) {
    if (start) offsetSeconds_ = platform::epochSecondsOf(*start) - platform::epochSecondsNow();
}

CalendarTime LocalClock::now() const { return platform::localTime(platform::epochSecondsNow() + offsetSeconds_); }

}  // namespace hg
