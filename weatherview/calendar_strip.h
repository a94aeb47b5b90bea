// The days of the series at a glance: one strip per year that has records,
// one narrow column per day from 1 January to 31 December, coloured by what
// the day holds — a value, the missing-value code, no record, a record
// changed by the conversion, or records METCONV never converted — and a
// legend. Days before the first record and after the last are left plain.
//
// Runs of days with the same mark are drawn as one shape. Runs other than
// plain values are <rect class="day MARK"> elements with data-from and
// data-to dates and a tooltip naming the day's first line in the input, as
// long as a year has at most kMaxRects of them; beyond that they are drawn
// as one path per mark and year, so the strip stays small however broken
// the series.
#pragma once

#include <string>

#include "weatherview/day_marks.h"

namespace weatherview {

inline constexpr int kMaxRects = 60;

// The strips as an <svg class="strip"> element. HOURLY words the marks for
// readings ("no reading") rather than days ("no record").
std::string calendar_strip(const DayMarks& marks, bool hourly);

}  // namespace weatherview
