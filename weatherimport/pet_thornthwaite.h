// Potential evapotranspiration by Thornthwaite's method (Thornthwaite, 1948,
// "An approach toward a rational classification of climate", Geographical
// Review 38: 55-94): a monthly value from the month's mean air temperature
// and an annual heat index, corrected for day length and the month's
// number of days, then spread evenly over the month's days.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "weatherimport/daily_series.h"

namespace weatherimport {

// Unadjusted PET (mm per 30-day month of 12-hour days) for a monthly mean
// temperature T (degrees C) and heat index I: 0 at or below 0 C,
// 16 (10 T / I)^a below 26.5 C, and above it Willmott, Rowe and Mintz's
// (1985) table form -415.85 + 32.24 T - 0.43 T^2.
double thornthwaite_unadjusted(double t, double heat_index);
// The heat index of twelve monthly mean temperatures: the sum of (T/5)^1.514
// over the months above 0 C.
double thornthwaite_heat_index(const double (&monthly_means)[12]);

// Daily PET (mm/day) for every day of S at LATITUDE (degrees): the day's
// share of its month's PET, nullopt on a day without both temperatures or
// in a month without a mean. A month has a mean when it misses at most 10
// days and at most 4 consecutive days (the WMO rule for monthly means,
// WMO-No. 1203, 2017). The heat index is that of the series' mean
// temperature of each calendar month; a series without a mean for all
// twelve calendar months gives no heat index: false with WHY set.
bool thornthwaite_series(const DailySeries& s, double latitude_deg, std::vector<std::optional<double>>& pet,
                         std::string& why);

}  // namespace weatherimport
