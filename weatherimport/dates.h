// Dates of the sources: ISO 8601 calendar dates and hourly date-times read
// strictly, year with day of year, year-month-day, and the day of the year
// that the model's series records carry. Calendar arithmetic is Howard
// Hinnant's date library (proleptic Gregorian).
#pragma once

#include <date/date.h>

#include <optional>
#include <string>
#include <string_view>

namespace weatherimport {

using Day = date::sys_days;
using Minute = date::sys_time<std::chrono::minutes>;

// YYYY-MM-DD exactly (four-digit year, two-digit month and day), a day that
// exists. On failure nullopt, with OFFSET the 0-based position of the fault.
std::optional<Day> read_iso_date(std::string_view text, size_t& offset);
// YYYY-MM-DDTHH:MM or "YYYY-MM-DD HH:MM", with optional ":SS" of 00; hour
// 00 to 23, or 24:00 for the end of the day.
std::optional<Minute> read_iso_date_time(std::string_view text, size_t& offset);
// Day of the year of YEAR, 1 to 365 or 366; nullopt outside the year.
std::optional<Day> day_of_year_date(int year, int doy);
// The day YEAR-MONTH-DAY if it exists.
std::optional<Day> calendar_date(int year, int month, int day);

int year_of(Day d);
int month_of(Day d);
int day_of_year(Day d);
int days_in_month(int year, int month);
// "YYYY-MM-DD".
std::string iso(Day d);
// "YYYY-MM-DDTHH:MM".
std::string iso(Minute m);

}  // namespace weatherimport
