#include "overlay/countdown.h"

#include <gtest/gtest.h>

namespace hg {
namespace {

CalendarTime at(int year, int month, int day, int hour = 10, int minute = 0, int second = 0) {
    return {year, month, day, hour, minute, second};
}

TEST(Countdown, LastSecondBeforeChristmasDay) {
    const auto now = at(2026, 12, 24, 23, 59, 59);
    const Countdown c = countdownFor(now);
    EXPECT_EQ(c.daysLeft, 0);
    EXPECT_EQ(c.hoursLeft, 0);
    EXPECT_EQ(c.minutesLeft, 0);
    EXPECT_EQ(c.secondsLeft, 1);
    EXPECT_EQ(countdownText(c), "00  00   00  01");
    EXPECT_EQ(bannerFor(now, c), HolidayBanner::Countdown);
}

TEST(Countdown, TenInTheMorningCountsSixtySeconds) {
    const Countdown c = countdownFor(at(2026, 12, 1, 10, 0, 0));
    EXPECT_EQ(c.daysLeft, 23);
    EXPECT_EQ(c.hoursLeft, 13);
    EXPECT_EQ(c.minutesLeft, 59);
    EXPECT_EQ(c.secondsLeft, 60);
    EXPECT_EQ(countdownText(c), "23  13   59  60");
}

TEST(Countdown, StartsOnTheSixteenthOfSeptemberInAnyYear) {
    for (int year : {2026, 2028}) {  // common and leap
        SCOPED_TRACE(year);
        const auto before = at(year, 9, 15);
        EXPECT_EQ(countdownFor(before).daysLeft, 100);
        EXPECT_EQ(bannerFor(before, countdownFor(before)), HolidayBanner::None);
        const auto first = at(year, 9, 16);
        EXPECT_EQ(countdownFor(first).daysLeft, 99);
        EXPECT_EQ(bannerFor(first, countdownFor(first)), HolidayBanner::Countdown);
    }
}

TEST(Countdown, HolidaysAndTheNewYear) {
    for (int day : {25, 26, 27}) {
        const auto now = at(2026, 12, day);
        EXPECT_EQ(countdownFor(now).daysLeft, 0);
        EXPECT_EQ(bannerFor(now, countdownFor(now)), HolidayBanner::HolidayGreeting) << day;
    }
    const auto eve = at(2026, 12, 31, 12);
    EXPECT_EQ(countdownFor(eve).daysLeft, 0);
    EXPECT_EQ(bannerFor(eve, countdownFor(eve)), HolidayBanner::NewYearCountdown);
    const auto twentyEighth = at(2026, 12, 28);
    EXPECT_EQ(countdownFor(twentyEighth).daysLeft, 3);
    EXPECT_EQ(bannerFor(twentyEighth, countdownFor(twentyEighth)), HolidayBanner::NewYearCountdown);
    for (int day : {1, 2, 3}) {
        const auto now = at(2027, 1, day);
        EXPECT_EQ(bannerFor(now, countdownFor(now)), HolidayBanner::NewYearGreeting) << day;
    }
    const auto fourth = at(2027, 1, 4);
    EXPECT_EQ(bannerFor(fourth, countdownFor(fourth)), HolidayBanner::None);
    const auto july = at(2026, 7, 14);
    EXPECT_EQ(bannerFor(july, countdownFor(july)), HolidayBanner::None);
}

TEST(Countdown, WholeDaysMatchTheCalendarFromSeptemberOn) {
    // Against a plain day count: days strictly between today and 25 December.
    for (int year : {2026, 2027, 2028, 2100}) {
        int daysFromDec25 = 0;
        for (int month = 12; month >= 9; --month) {
            static constexpr int kLength[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const int firstDay = month == 12 ? 24 : kLength[month];
            for (int day = firstDay; day >= 1; --day, ++daysFromDec25) {
                EXPECT_EQ(countdownFor(at(year, month, day)).daysLeft, daysFromDec25) << year << "-" << month << "-" << day;
            }
        }
    }
}

TEST(ClockText, TwelveAndTwentyFourHourStyles) {
    EXPECT_EQ(clockText(at(2026, 1, 1, 0, 5, 9), false), "0:05:09 a.m.");
    EXPECT_EQ(clockText(at(2026, 1, 1, 12, 0, 0), false), "12:00:00 p.m.");
    EXPECT_EQ(clockText(at(2026, 1, 1, 13, 7, 0), false), "1:07:00 p.m.");
    EXPECT_EQ(clockText(at(2026, 1, 1, 9, 5, 0), true), "09:05:00");
    EXPECT_EQ(clockText(at(2026, 1, 1, 23, 59, 59), true), "23:59:59");
}

}  // namespace
}  // namespace hg
