#include "weatherview/dates.h"

#include <cstdio>

#include "weather/calendar.h"

namespace weatherview {
namespace {

// Days from 1970-01-01 to the civil date Y-M-D (proleptic Gregorian), for
// any year: eras of 400 years keep every step exact.
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

}  // namespace

int64_t serial_day(int32_t year, int32_t jday) {
    return days_from_civil(year, 1, 1) + (jday - 1);
}

void from_serial(int64_t s, int32_t& year, int32_t& jday) {
    // The year from the mean year length, then corrected by whole years.
    auto y = static_cast<int64_t>(1970 + s / 365.2425);
    while (days_from_civil(y, 1, 1) > s) --y;
    while (days_from_civil(y + 1, 1, 1) <= s) ++y;
    year = static_cast<int32_t>(y);
    jday = static_cast<int32_t>(s - days_from_civil(y, 1, 1) + 1);
}

std::string date_text(int32_t year, int32_t jday) {
    char buf[48];
    if (jday < 1 || jday > weather::YEARDAYS(year)) {
        std::snprintf(buf, sizeof buf, "%d day %d", year, jday);
        return buf;
    }
    int32_t month = 0, mday = 0;
    weather::JDAYMD(year, jday, month, mday);
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, mday);
    return buf;
}

std::string hour_text(int32_t year, int32_t jday, int32_t hour) {
    char buf[24];
    std::snprintf(buf, sizeof buf, " %02d:00-%02d:00", hour - 1, hour);
    return date_text(year, jday) + buf;
}

std::string month_name(int32_t month) {
    if (month < 1 || month > 12) return "month " + std::to_string(month);
    return kMonths[month - 1];
}

std::string month_abbreviation(int32_t month) {
    if (month < 1 || month > 12) return std::to_string(month);
    return std::string(kMonths[month - 1], 3);
}

int32_t month_start(int32_t year, int32_t month) {
    int32_t day = 1;
    for (int32_t m = 1; m < month; ++m) day += month_length(year, m);
    return day;
}

int32_t month_length(int32_t year, int32_t month) {
    return weather::MONDAYS(year, month);
}

double decimal_year(int32_t year, double day) {
    return year + (day - 1.0) / weather::YEARDAYS(year);
}

}  // namespace weatherview
