// Calendar arithmetic of the weather converter: leap years, month lengths,
// day of the year to month and day of the month, and the upper-casing of the
// command-line letters.
//
// Years are used exactly as read (a year 95 is the year 95). Remainders are
// those of truncating division, so zero and negative years follow the same
// Gregorian rule; year 0 is a leap year.
#pragma once

#include <cstdint>

namespace weather {

// 1 if YEAR is a leap year, else 0.
int32_t LEAPYR(int32_t year);
// Days in February of YEAR: 29 or 28.
int32_t FEBDAYS(int32_t year);
// Days in YEAR: 366 or 365.
int32_t YEARDAYS(int32_t year);
// Days in MONTH (1 to 12) of YEAR.
int32_t MONDAYS(int32_t year, int32_t month);

// Month (1 to 12) and day of the month of day JDAY of YEAR. A day outside the
// year (zero, negative or past its last day) gives month 1 with JDAY as the
// day of the month, so callers check the range themselves.
void JDAYMD(int32_t year, int32_t jday, int32_t& month, int32_t& mday);

// The character upper-cased if it is a letter from a to z.
char UPCASE(char c);

}  // namespace weather
