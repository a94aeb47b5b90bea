// Dates of the weather series as the report shows and draws them: a day is a
// year and a day of the year (1 for 1 January), as in the series itself.
//
// Days are counted on one line (serial days) so that gaps and order can be
// told across the turn of a year; the count works for any 32-bit year, with
// the same Gregorian rule as the converters' calendar. Texts are ISO dates
// ("1996-02-01"); positions along a time axis are decimal years.
#pragma once

#include <cstdint>
#include <string>

namespace weatherview {

// Days from 1 January 1970 to day JDAY of YEAR (JDAY 1 is 1 January).
int64_t serial_day(int32_t year, int32_t jday);
// The year and day of the year of serial day S.
void from_serial(int64_t s, int32_t& year, int32_t& jday);

// "1996-02-01" for day 32 of 1996. A day outside its year is written as the
// year and the day number ("1995 day 366").
std::string date_text(int32_t year, int32_t jday);
// "1995-06-21 13:00-14:00" for hour 14 (the hour that ends at 14:00).
std::string hour_text(int32_t year, int32_t jday, int32_t hour);
// "January" ... "December"; "month M" outside 1 to 12.
std::string month_name(int32_t month);
// "Jan" ... "Dec".
std::string month_abbreviation(int32_t month);

// Day of the year of the first day of MONTH (1-12) in YEAR.
int32_t month_start(int32_t year, int32_t month);
// Days in MONTH (1-12) of YEAR.
int32_t month_length(int32_t year, int32_t month);

// YEAR plus the share of the year gone at day-of-year position DAY (a real
// day of the year, 1.0 at the start of 1 January): 1996.5 is mid-1996.
double decimal_year(int32_t year, double day);

}  // namespace weatherview
