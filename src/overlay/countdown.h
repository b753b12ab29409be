#pragma once
// The holiday calendar of the overlay: the countdown to 25 December (and, after Christmas, to the
// New Year), worked out from the local date and time alone.
#include <string>

#include "core/calendar_time.h"

namespace hg {

struct Countdown {
    int daysLeft = 0;
    int hoursLeft = 0;
    int minutesLeft = 0;
    int secondsLeft = 0;  // 60 down to 1
};

Countdown countdownFor(const CalendarTime& now);

enum class HolidayBanner {
    None,              // only the clock
    Countdown,         // counting down to 25 December
    NewYearCountdown,  // 28-31 December, counting down to 1 January
    HolidayGreeting,   // 25-27 December
    NewYearGreeting,   // 1-3 January
};
HolidayBanner bannerFor(const CalendarTime& now, const Countdown& countdown);

// "h:mm:ss a.m." in 12-hour style (noon 12, midnight 0), "hh:mm:ss" in 24-hour style.
std::string clockText(const CalendarTime& now, bool style24h);
// Days, hours, minutes and seconds, two digits each, spaced to sit over their labels.
std::string countdownText(const Countdown& countdown);

int dayOfYear(int year, int month, int day);

}  // namespace hg
