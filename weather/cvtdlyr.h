// CVTDLYR: daily rain spread evenly over NHR hours from hour BEGHR, written
// as the model's rain file (".RAI") in whole hundredths of an inch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"

namespace weather {

// One day's total T in hundredths of an inch spread over NHR hours: every
// hour gets PER_HOUR = T / NHR and the last one LAST = T - (NHR-1) x PER_HOUR.
struct DaySpread {
    int32_t total, per_hour, last;
};
DaySpread spread_day(float rain, float factor, int32_t nhr);

// Checks NHR and BEGHR, then reads records YEAR JDAY RAIN from IN to its end
// and writes lines of up to twelve hourly entries of one month to OUT. Days
// with RAIN zero or below are skipped. Returns 0, or -1 with MSG set.
int32_t CVTDLYR(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, int32_t NHR,
                int32_t BEGHR, std::string& MSG);

}  // namespace weather
