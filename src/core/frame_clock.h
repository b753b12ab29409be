#pragma once
// Frame timing: a smoothed frame step (about 1/55 s per unit) that drives every animation,
// the run clock, and the frames-per-second statistics of the log.
#include <array>
#include <cstdint>
#include <optional>

#include "core/calendar_time.h"

namespace hg {

// What the animated parts of one frame read: the smoothed step (about 1/55 s a unit), the run
// clock, the frame rate of the last second and the local time.
struct FrameTime {
    float step = 0.0f;
    float runClock = 0.0f;
    float framesPerSecond = 0.0f;
    CalendarTime now{};
};

class FrameClock {
public:
    static constexpr int kHistory = 15;

    // Start values before the first frame: history of 1.0 steps, minimum 10000, maximum 0.
    void reset();
    // The main loop begins: the first frame's raw step covers only the time from here on.
    void startLoop(std::optional<uint64_t> counter, uint64_t frequency);
    // run clock += half the previous frame's step.
    void advanceRunClock() { runClock += frameStep * 0.5f; }
    // One frame's measurement from the counter (nothing when it failed) and the millisecond timer.
    void measure(std::optional<uint64_t> counter, uint32_t milliseconds);

    float runClock = 0.0f;
    float frameStep = 0.0f;
    float timeScale = 50.0f;
    float framesPerSecond = 0.0f;
    float minFramesPerSecond = 10000.0f;
    float maxFramesPerSecond = 0.0f;

private:
    std::array<float, kHistory> history_{};
    uint64_t frequency_ = 0;
    uint64_t previousCounter_ = 0;
    float previousSeconds_ = 0.0f;
    float lastRateUpdate_ = 0.0f;
    float framesCounted_ = 0.0f;
};

}  // namespace hg
