// CVTTMP: daily temperatures (two per day) to the model's temperature file
// (".TEM") in whole degrees Fahrenheit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"

namespace weather {

// Converts one temperature in UNITS to whole degrees F: "DF" is rounded as
// it stands; every other unit is taken as degrees C, T x 1.8 + 32.
int32_t convert_temperature(float t, bool fahrenheit);
// What the temperature file holds for T: the missing-value code -99 as it
// stands, any other value converted.
int32_t temperature_cell(float t, bool fahrenheit);

// Reads records YEAR JDAY T1 T2 from IN to its end and writes one two-line
// statement per month to OUT. Returns 0, or -1 with MSG set.
int32_t CVTTMP(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, std::string& MSG);

}  // namespace weather
