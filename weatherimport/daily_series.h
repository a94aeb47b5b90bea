// The source's values laid out day by day, from the first to the last day
// that holds any value, in time order. The source's own order is checked on
// the way: days that come back earlier than a day before them, and days
// given twice, are listed (the first value of a repeated day is kept).
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "weatherimport/source_series.h"

namespace weatherimport {

struct DailySeries {
    Day first{};
    // days[i] is day first + i; one optional value per quantity.
    std::vector<std::array<std::optional<double>, kQuantities>> days;
    std::array<bool, kQuantities> carried{};

    Day day(size_t i) const { return first + date::days{static_cast<int>(i)}; }
    const std::optional<double>& at(size_t i, Quantity q) const { return days[i][index(q)]; }
    std::optional<double>& at(size_t i, Quantity q) { return days[i][index(q)]; }
};

// Lays out SOURCE's observations; the order checks go to FINDINGS.
DailySeries lay_out_days(const SourceSeries& source, Findings& findings);

}  // namespace weatherimport
