#include "core/frame_clock.h"

namespace hg {

void FrameClock::reset() {
    history_.fill(1.0f);
    minFramesPerSecond = 10000.0f;
    maxFramesPerSecond = 0.0f;
    runClock = 0.0f;
}

void FrameClock::startLoop(std::optional<uint64_t> counter, uint64_t frequency) {
    frameStep = 0.0f;
    frequency_ = frequency;
    previousCounter_ = counter.value_or(0);
}

void FrameClock::measure(std::optional<uint64_t> counter, uint32_t milliseconds) {
    float raw = 0.0f;
    const bool counterWorks = counter.has_value() && frequency_ != 0;
    if (counterWorks) {
        raw = static_cast<float>(static_cast<double>(*counter - previousCounter_) * timeScale * 1.1 /
                                 static_cast<double>(frequency_));
    }
    if (counter) previousCounter_ = *counter;

    const float seconds = static_cast<float>(milliseconds) * 0.001f;
    if (!counterWorks) raw = (seconds - previousSeconds_) * timeScale;
    previousSeconds_ = seconds;

    framesCounted_ += 1.0f;
    if (seconds - lastRateUpdate_ > 1.0f) {
        lastRateUpdate_ = seconds;
        framesPerSecond = framesCounted_;
        framesCounted_ = 0.0f;
    }
    if (runClock != 0.0f) {
        if (framesPerSecond < minFramesPerSecond && framesPerSecond > 10.0f) minFramesPerSecond = framesPerSecond;
        if (framesPerSecond > maxFramesPerSecond) maxFramesPerSecond = framesPerSecond;
    }

    float sum = raw;
    for (float step : history_) sum += step;
    frameStep = sum / 16.0f;
    for (int i = 0; i + 1 < kHistory; ++i) history_[i] = history_[i + 1];
    history_[kHistory - 1] = raw;
}

}  // namespace hg
