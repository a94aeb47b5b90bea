// The figures and tables of the values, in the weather file's units (whole
// degrees F, hundredths of an inch): monthly means of the daily maximum and
// minimum (temperatures) or monthly totals against time, the daily (or
// hourly) series, annual means or totals, and the ten largest values with
// their dates — where a unit slip shows first.
//
// Time runs along the x axis as days of the year when the series lies in
// one year, as decimal years otherwise. A daily series longer than
// kColumns days is drawn reduced: one point per group of days, the group's
// largest value (and for temperatures also its smallest minimum), so a long
// series costs no more than a short one.
#pragma once

#include <string>
#include <vector>

#include "figure/plot.h"
#include "figure/table.h"
#include "weatherview/series_values.h"

namespace weatherview {

inline constexpr int kColumns = 700;

struct ValueFigure {
    figure::Plot plot;
    figure::Table data;       // shown collapsed under the figure; empty: none
    std::string note;         // a line before the figure; empty: none
    bool table_only = false;  // nothing worth drawing: show the table alone
};

// The figures in page order; none when the values hold no day.
std::vector<ValueFigure> value_figures(const SeriesValues& v);

// The ten largest values (and for temperatures the ten lowest minima).
std::vector<figure::Table> largest_tables(const SeriesValues& v);

// A warning when the largest value lies beyond what the quantity reaches,
// which a unit slip such as millimetres given as centimetres causes; empty
// when every value is plausible. UNITS: the input's units.
std::string plausibility_warning(const SeriesValues& v, std::string_view units);

// The unit of the values: "°F", "hundredths of an inch".
std::string_view value_unit(DataType type);

}  // namespace weatherview
