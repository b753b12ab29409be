#pragma once
// The local date and time the clock hands and the overlay show. Normally the system's clock;
// started at another moment (--clock) it runs on from there at the real pace.
#include <cstdint>
#include <optional>

#include "app/command_line.h"

namespace hg {

class LocalClock {
public:
    explicit LocalClock(std::optional<CalendarTime> start = std::nullopt);
    CalendarTime now() const;

private:
    int64_t offsetSeconds_ = 0;
};

}  // namespace hg
