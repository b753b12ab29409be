#include "app/local_clock.h"

#include <gtest/gtest.h>

namespace hg {
namespace {

TEST(LocalClock, AFixedStepRunsTheStartedClockAtThePaceOfItsFrames) {
    const CalendarTime start{2026, 12, 31, 23, 59, 58};
    LocalClock clock(start, 1.0f);  // 55 frames make a second
    EXPECT_EQ(clock.now().second, 58);
    for (int frame = 0; frame < 54; ++frame) clock.frameDrawn();
    EXPECT_EQ(clock.now().second, 58);
    clock.frameDrawn();
    EXPECT_EQ(clock.now().second, 59);
    // Two seconds on (step 4: 13.75 frames a second) the year turns.
    LocalClock faster(start, 4.0f);
    for (int frame = 0; frame < 28; ++frame) faster.frameDrawn();
    const CalendarTime now = faster.now();
    EXPECT_EQ(now.year, 2027);
    EXPECT_EQ(now.month, 1);
    EXPECT_EQ(now.day, 1);
    EXPECT_EQ(now.hour, 0);
    EXPECT_EQ(now.second, 0);
}

TEST(LocalClock, WithoutAFixedStepTheStartedClockRunsInRealTime) {
    const CalendarTime start{2026, 12, 24, 18, 0, 0};
    LocalClock clock(start);
    for (int frame = 0; frame < 1000; ++frame) clock.frameDrawn();  // frames do not move it
    const CalendarTime now = clock.now();
    EXPECT_EQ(now.hour, 18);
    EXPECT_EQ(now.minute, 0);
    EXPECT_LE(now.second, 2);
}

}  // namespace
}  // namespace hg
