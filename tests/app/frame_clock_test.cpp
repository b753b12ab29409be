#include "core/frame_clock.h"

#include <gtest/gtest.h>

#include "app/main_loop.h"

namespace hg {
namespace {

constexpr uint64_t kFrequency = 1'000'000;  // counter ticks per second

// A counter step that gives exactly `units` raw step units: units / (50 * 1.1) seconds.
uint64_t ticksFor(double units) { return static_cast<uint64_t>(units / (50.0 * 1.1) * kFrequency + 0.5); }

TEST(FrameClock, FirstStepIsZeroThenAMeanOverSixteen) {
    FrameClock clock;
    clock.reset();
    uint64_t counter = 5'000'000;
    clock.startLoop(counter, kFrequency);
    EXPECT_EQ(clock.frameStep, 0.0f);

    clock.advanceRunClock();
    EXPECT_EQ(clock.runClock, 0.0f);  // the first frame moves the run clock by the zero step
    counter += ticksFor(5.0);
    clock.measure(counter, 100'000);
    EXPECT_NEAR(clock.frameStep, (5.0f + 15.0f) / 16.0f, 1e-4f);

    clock.advanceRunClock();
    EXPECT_NEAR(clock.runClock, 0.625f, 1e-4f);
    counter += ticksFor(5.0);
    clock.measure(counter, 100'020);
    EXPECT_NEAR(clock.frameStep, (10.0f + 14.0f) / 16.0f, 1e-4f);
}

TEST(FrameClock, SixteenEqualStepsSettleOnThatStep) {
    FrameClock clock;
    clock.reset();
    uint64_t counter = 0;
    clock.startLoop(counter, kFrequency);
    for (int i = 0; i < 16; ++i) {
        counter += ticksFor(2.0);
        clock.measure(counter, 1000 + i);
    }
    EXPECT_NEAR(clock.frameStep, 2.0f, 1e-3f);
}

TEST(FrameClock, MillisecondTimerWhenTheCounterFails) {
    FrameClock clock;
    clock.reset();
    clock.startLoop(std::nullopt, 0);
    clock.measure(std::nullopt, 10'000);  // previous t was 0: a huge first raw step
    clock.measure(std::nullopt, 10'100);  // 0.1 s * 50 = 5 units, without the 1.1
    // History: 14 ones, 10 s * 50 = 500, then 5.
    EXPECT_NEAR(clock.frameStep, (14.0f + 500.0f + 5.0f) / 16.0f, 1e-2f);
}

TEST(FrameClock, RateIsOneUntilTheFirstSecondAndLowRatesNeverLowerTheMinimum) {
    FrameClock clock;
    clock.reset();
    uint64_t counter = 0;
    clock.startLoop(counter, kFrequency);
    uint32_t ms = 50'000;  // an uptime-like timer: the first frame already lies past one second
    clock.advanceRunClock();
    clock.measure(counter += 1000, ms);
    EXPECT_EQ(clock.framesPerSecond, 1.0f);
    // Eight frames a second for five seconds: never above 10, so the minimum stays.
    for (int frame = 0; frame < 40; ++frame) {
        clock.advanceRunClock();
        ms += 125;
        clock.measure(counter += 125'000, ms);
        if (frame < 7) {
            EXPECT_EQ(clock.framesPerSecond, 1.0f) << frame;
        }
    }
    EXPECT_EQ(clock.minFramesPerSecond, 10000.0f);
    EXPECT_GE(clock.maxFramesPerSecond, 7.0f);
    EXPECT_LE(clock.maxFramesPerSecond, 9.0f);
}

TEST(FrameClock, MinimumAndMaximumFollowTheRate) {
    FrameClock clock;
    clock.reset();
    uint64_t counter = 0;
    clock.startLoop(counter, kFrequency);
    uint32_t ms = 50'000;
    auto runFor = [&](int framesPerSecond, int seconds) {
        for (int i = 0; i < framesPerSecond * seconds; ++i) {
            clock.advanceRunClock();
            ms += 1000 / framesPerSecond;
            clock.measure(counter += kFrequency / framesPerSecond, ms);
        }
    };
    runFor(50, 3);
    runFor(20, 3);
    EXPECT_NEAR(clock.maxFramesPerSecond, 50.0f, 2.0f);
    EXPECT_NEAR(clock.minFramesPerSecond, 20.0f, 2.0f);
}

TEST(ExitRules, MouseMustMoveMoreThanThirtyPixelsOnOneAxis) {
    EXPECT_FALSE(mouseMovedTooFar({100, 100}, {130, 100}));
    EXPECT_TRUE(mouseMovedTooFar({100, 100}, {131, 100}));
    EXPECT_FALSE(mouseMovedTooFar({100, 100}, {70, 130}));
    EXPECT_TRUE(mouseMovedTooFar({100, 100}, {100, 69}));
    // 30 on both axes is a long diagonal move, but neither axis exceeds 30.
    EXPECT_FALSE(mouseMovedTooFar({0, 0}, {30, 30}));
}

TEST(ExitRules, KeysFullScreenWindowedAndInAHostsWindow) {
    using platform::Key;
    EXPECT_FALSE(keyEndsRun(Key::Space, RunInput::FullScreen));
    EXPECT_TRUE(keyEndsRun(Key::Other, RunInput::FullScreen));
    EXPECT_TRUE(keyEndsRun(Key::Escape, RunInput::FullScreen));
    EXPECT_FALSE(keyEndsRun(Key::Other, RunInput::Window));
    EXPECT_FALSE(keyEndsRun(Key::Space, RunInput::Window));
    EXPECT_TRUE(keyEndsRun(Key::Escape, RunInput::Window));
    EXPECT_TRUE(keyEndsRun(Key::Q, RunInput::Window));
    // The host owns the keyboard: no key ends a run in its window.
    for (Key key : {Key::Space, Key::Escape, Key::Q, Key::Other}) EXPECT_FALSE(keyEndsRun(key, RunInput::Host));
}

}  // namespace
}  // namespace hg
