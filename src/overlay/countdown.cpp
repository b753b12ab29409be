#include "overlay/countdown.h"

#include <algorithm>

namespace hg {
namespace {

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::string twoDigits(int value) {
    std::string text = std::to_string(value);
    if (value < 10) text.insert(text.begin(), '0');
    return text;
}

}  // namespace

int dayOfYear(int year, int month, int day) {
    static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int clampedMonth = std::clamp(month, 1, 12);
    return kDaysBefore[clampedMonth - 1] + day + (clampedMonth > 2 && isLeap(year) ? 1 : 0);
}

Countdown countdownFor(const CalendarTime& now) {
    Countdown c;
    // Whole days strictly between today and 25 December.
    c.daysLeft = std::max(0, dayOfYear(now.year, 12, 25) - dayOfYear(now.year, now.month, now.day) - 1);
    c.hoursLeft = std::max(0, 23 - now.hour);
    c.minutesLeft = std::max(0, 59 - now.minute);
    c.secondsLeft = std::max(0, 60 - now.second);
    if (now.month == 12 && now.day > 27) c.daysLeft = 31 - now.day;
    return c;
}

HolidayBanner bannerFor(const CalendarTime& now, const Countdown& countdown) {
    if (now.month == 1 && now.day <= 3) return HolidayBanner::NewYearGreeting;
    if (countdown.daysLeft > 99) return HolidayBanner::None;
    if (now.month == 12 && now.day >= 25 && now.day <= 27) return HolidayBanner::HolidayGreeting;
    if (now.month == 12 && now.day > 27) return HolidayBanner::NewYearCountdown;
    return HolidayBanner::Countdown;
}

std::string clockText(const CalendarTime& now, bool style24h) {
    int hour = now.hour;
    std::string suffix;
    if (!style24h) {
        suffix = " a.m.";
        if (hour >= 12) {
            suffix = " p.m.";
            if (hour > 12) hour -= 12;
        }
    }
    const std::string hourText = style24h ? twoDigits(hour) : std::to_string(hour);
    std::string text = hourText;
    for (const std::string& part : {std::string(":"), twoDigits(now.minute), std::string(":"), twoDigits(now.second), suffix})
        text.append(part);
    return text;
}

std::string countdownText(const Countdown& c) {
    std::string text = twoDigits(c.daysLeft);
    text.append("  ").append(twoDigits(c.hoursLeft)).append("   ").append(twoDigits(c.minutesLeft)).append("  ");
    text.append(twoDigits(c.secondsLeft));
    return text;
}

}  // namespace hg
