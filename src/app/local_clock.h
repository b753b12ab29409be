#pragma once
// The local date and time the clock hands and the overlay show. Normally the system's clock;
// started at another moment (--clock) it runs on from there at the real pace, or, in a run with a
// fixed frame step, at the pace of the frames (S/55 s each), so that a recording shows the same
// time at the same frame.
#include <cstdint>
#include <optional>

#include "app/command_line.h"

namespace hg {

class LocalClock {
public:
    explicit LocalClock(std::optional<CalendarTime> start = std::nullopt, std::optional<float> fixedStep = std::nullopt);
    CalendarTime now() const;
    // One frame has been drawn: a clock paced by the frames moves on by one step.
    void frameDrawn();

private:
    int64_t offsetSeconds_ = 0;
    // Paced by the frames: the start in seconds since the epoch, and the frames' time since.
    std::optional<int64_t> pacedStart_;
    double pacedSeconds_ = 0.0;
    double secondsPerFrame_ = 0.0;
};

}  // namespace hg
