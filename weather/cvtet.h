// CVTET: daily potential evapotranspiration to the model's evapotranspiration
// file (".PET") in whole hundredths of an inch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"

namespace weather {

// What the evapotranspiration file holds for VALUE in units of FACTOR
// inches: the missing-value code -99 as it stands, any other value in whole
// hundredths of an inch.
int32_t evapotranspiration_cell(float value, float factor);

// Reads records YEAR JDAY ETP from IN to its end and writes one two-line
// statement per month to OUT. UNITS other than "IN", "CM" and "MM" have no
// factor and fail before anything is read. Returns 0, or -1 with MSG set.
int32_t CVTET(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, std::string& MSG);

}  // namespace weather
