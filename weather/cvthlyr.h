// CVTHLYR: rain readings stamped with day of the year and time of day,
// summed by clock hour and written as the model's rain file (".RAI") in
// whole hundredths of an inch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"

namespace weather {

// The clock hour of a reading: hour h (1-24) is the hour that ends at h
// o'clock, so a reading belongs to the hour in which it was taken and a
// reading at the full hour to the hour that ends then.
struct ClockHour {
    int32_t jday = 0;   // day of the year
    int32_t hour = 0;   // 1 to 24
    int32_t mday = 0;   // day of the month
    int32_t month = 0;  // 1 to 12
    int32_t year = 0;
};

// Places a reading of YEAR at DAYTIME (day of the year plus the time of day
// as a fraction of a day) in its clock hour. The minute of the day is rounded
// to the nearest minute; minute 0 is minute 1440 of the day before, which may
// lie in the year before. False when the day falls outside its year; H is
// then unchanged. H may hold the previous reading's hour: its month and day
// of the month are kept when the day is the same.
bool place_reading(int32_t year, float daytime, ClockHour& h);

// An hour's rain in whole hundredths of an inch is an amount the rain file
// may hold: zero or more. A reading may correct an earlier one of its hour
// (a negative reading), but an hour that sums below zero, the
// missing-value code -99 among them, is no rain the model can take.
inline bool hour_amount_valid(int32_t amount) {
    return amount >= 0;
}

// Reads records YEAR DAYTIME RAIN from IN to its end and writes lines of up
// to twelve hourly sums of one month to OUT. An hour whose sum is not a
// valid amount is an invalid record: the run stops there, before the hour
// is written. Returns 0, or -1 with MSG set.
int32_t CVTHLYR(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, std::string& MSG);

}  // namespace weather
