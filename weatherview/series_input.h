// The input series read record by record exactly as METCONV reads it: in
// free form, with the same targets kept from record to record (a null value
// keeps what the record before gave), the same end-of-file rules and the
// same test of the date, so that a record METCONV refuses is refused here
// too. Unlike METCONV, reading goes on after a refused record, so that every
// refused record can be listed.
//
// Each record comes with the line it starts on and that line's text, and
// with its place in time: the day, and for hourly rain the clock hour that
// METCONV puts the reading in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"
#include "common/values.h"
#include "weather/cvthlyr.h"
#include "weatherview/input_lines.h"
#include "weatherview/line_reading.h"

namespace weatherview {

enum class DataType : uint8_t { Temperature, Evapotranspiration, HourlyRain, DailyRain };

// The data type of TYPE ("TP", "ET", "HR", "DR"); false for any other.
bool data_type_of(std::string_view TYPE, DataType& type);
// "temperature", "potential evapotranspiration", ...
std::string_view type_words(DataType type);
// Values per record after the date: 2 for temperatures, else 1.
int values_per_record(DataType type);

// Why a record was refused.
enum class Refusal : uint8_t {
    None,
    Unreadable,   // a value does not read
    CutOff,       // the file ends inside the record
    TooLong,      // a line longer than the reader takes; nothing after it is read
    OutsideYear,  // the day does not lie in its year
};

struct InputRecord {
    int64_t line = 0;     // line of the input the record starts on, from 1
    std::string text;     // that line, control characters escaped, cut to 100 characters
    LineReading reading;  // how the free-form reading takes the record's values from that line
    Refusal refusal = Refusal::None;
    int32_t year = 0;      // as read
    int32_t jday = 0;      // day of the year as read (hourly rain: its whole part)
    float daytime = 0.0f;  // hourly rain: day of the year and time of day, as read
    float value[2] = {};   // as read, in the input units
    // Where the record falls, for a record that is not refused: the day of
    // the year in its year (hourly rain: of the clock hour) with its month
    // and day of the month, and for hourly rain the hour (1-24, the hour
    // that ends then) and the minute of that day (1-1440).
    weather::ClockHour at;
    int32_t minute = 0;
    // Minutes from 1970-01-01 00:00 to the record's day, or for hourly rain
    // to the end of its clock hour: the order in time.
    int64_t time_key = 0;

    bool refused() const { return refusal != Refusal::None; }
};

class SeriesInput {
  public:
    SeriesInput(common::Connection& in, LineTracker& lines, DataType type);

    // The next record, refused or not. False at the end of the input, or
    // once nothing more can be read after a line too long.
    bool next(InputRecord& r);

  private:
    common::ReadStatus read(InputRecord& r);

    common::Connection* in_;
    LineTracker* lines_;
    DataType type_;
    bool first_ = true;
    bool over_ = false;
    // The targets of the reads, kept from record to record as METCONV keeps
    // its variables.
    int32_t year_ = 0, jday_ = 0;
    float daytime_ = 0.0f, v1_ = 0.0f, v2_ = 0.0f;
    weather::ClockHour hour_;
};

}  // namespace weatherview
