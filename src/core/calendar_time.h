#pragma once
// A local date and time to the second, as the clock hands, the overlay and --clock use it.
namespace hg {

struct CalendarTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

}  // namespace hg
