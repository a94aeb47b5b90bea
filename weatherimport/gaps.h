// Gaps in a daily series: days without a value listed run by run, short
// temperature gaps filled by linear interpolation when the user asks for it
// (every filled value listed with its method), and missing rain, which the
// model's rain file cannot tell from a dry day, either refused or written as
// dry on the user's word, day by day listed.
#pragma once

#include <vector>

#include "weatherimport/daily_series.h"

namespace weatherimport {

// One finding per run of consecutive days without a value of Q.
void list_gaps(const DailySeries& s, Quantity q, Findings& findings);

// Fills each gap of Tmax and of Tmin of at most MAX_DAYS days that has a
// value on both sides, by linear interpolation between them; one finding
// per filled value. Gaps at the ends of the series stay.
void fill_temperature_gaps(DailySeries& s, int max_days, Findings& findings);

// The days without a rain value.
std::vector<Day> missing_rain_days(const DailySeries& s);

// Writes missing rain days as 0 mm, one finding per day.
void assume_dry(DailySeries& s, Findings& findings);

}  // namespace weatherimport
