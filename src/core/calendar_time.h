#pragma once
// A local date and time to the second, as the clock hands, the overlay and --clock use it.
#include <ctime>

namespace hg {

struct CalendarTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The C library's broken-down time and back; the daylight-saving flag is left for mktime to find.
inline CalendarTime calendarTimeOf(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

inline std::tm brokenDownTimeOf(const CalendarTime& c) {
    std::tm t{};
    t.tm_year = c.year - 1900;
    t.tm_mon = c.month - 1;
    t.tm_mday = c.day;
    t.tm_hour = c.hour;
    t.tm_min = c.minute;
    t.tm_sec = c.second;
    t.tm_isdst = -1;
    return t;
}

}  // namespace hg
