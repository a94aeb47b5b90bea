#include "weather/calendar.h"

namespace metconv {
namespace {

// Cumulative day number at the end of each month of a common year.
constexpr int32_t MONEND[12] = {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

}  // namespace

int32_t LEAPYR(int32_t year) {
    return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0;
}

int32_t FEBDAYS(int32_t year) { return 28 + LEAPYR(year); }

int32_t YEARDAYS(int32_t year) { return 365 + LEAPYR(year); }

void JDAYMD(int32_t year, int32_t jday, int32_t& month, int32_t& mday) {
    int32_t ends[12];
    const int32_t leap = LEAPYR(year);
    ends[0] = MONEND[0];
    for (int m = 1; m < 12; ++m) ends[m] = MONEND[m] + leap;
    for (int m = 1; m < 12; ++m) {
        if (ends[m - 1] < jday && ends[m] >= jday) {
            month = m + 1;
            mday = jday - ends[m - 1];
            return;
        }
    }
    month = 1;
    mday = jday;
}

char UPCASE(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace metconv
