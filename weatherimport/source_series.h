// What a reader hands on: every value it read, with the day it belongs to
// and the place it came from, already in the import's units (degrees C, mm,
// m/s, %, MJ/m2/day, hours); the values it did not take (missing codes,
// quality flags) as findings; and which quantities the source carries.
#pragma once

#include <array>
#include <vector>

#include "weatherimport/dates.h"
#include "weatherimport/findings.h"
#include "weatherimport/quantity.h"
#include "weatherimport/units.h"

namespace weatherimport {

struct Observation {
    Day day;
    Quantity quantity;
    double value;
    Place at;
};

// One hourly rain reading: the end of the hour it covers, its rain (mm).
struct HourlyReading {
    Minute hour_end;
    std::optional<double> rain;  // nullopt: a missing reading
    Place at;
};

struct SourceSeries {
    std::vector<Observation> observations;
    std::vector<HourlyReading> hourly_rain;
    Findings findings;
    std::array<bool, kQuantities> carried{};
    // Units the values had in the source, for the plausibility checks and
    // for writing temperatures in the unit they were measured in.
    TemperatureUnit temperature_unit = TemperatureUnit::Celsius;
    DepthUnit rain_unit = DepthUnit::Millimetre;
};

}  // namespace weatherimport
