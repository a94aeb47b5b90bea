#include "weather/calendar.h"

namespace weather {
namespace {

// Days in each month of a common year.
constexpr int32_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

int32_t LEAPYR(int32_t year) {
    return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0;
}

int32_t FEBDAYS(int32_t year) {
    return 28 + LEAPYR(year);
}

int32_t YEARDAYS(int32_t year) {
    return 365 + LEAPYR(year);
}

int32_t MONDAYS(int32_t year, int32_t month) {
    return month == 2 ? FEBDAYS(year) : kMonthDays[month - 1];
}

void JDAYMD(int32_t year, int32_t jday, int32_t& month, int32_t& mday) {
    int32_t before = 0;  // days of the year before month m
    for (int32_t m = 1; m <= 12; ++m) {
        const int32_t days = MONDAYS(year, m);
        if (jday > before && jday <= before + days) {
            month = m;
            mday = jday - before;
            return;
        }
        before += days;
    }
    month = 1;
    mday = jday;
}

char UPCASE(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

}  // namespace weather
