// The values of a weather file, gathered statement by statement for the
// figures: per day the value(s) in the file's units, per year which months
// the file holds, and for hourly rain the hours themselves while they are
// few, and always the ten largest.
//
// Days are kept by year (about 3 KB a year, at most kMaxYears years), so
// the memory follows the length of the series in years, not its records.
// What a day holds:
//   temperatures  a = the higher, b = the lower of the day's two values (°F)
//   evapotranspiration  a = the day's value (hundredths of an inch)
//   rain          a = the day's total, b = its largest hour (hundredths of an inch)
// A day of -99 (what METCONV writes for a day without a record) is missing;
// a day with a field of asterisks is too large to read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "weatherview/series_input.h"
#include "weatherview/weather_file_reader.h"

namespace weatherview {

class SeriesValues {
  public:
    static constexpr size_t kMaxYears = 1000;
    static constexpr size_t kMaxHours = 5000;  // hours kept to draw one by one
    static constexpr size_t kLargest = 10;

    enum DayState : uint8_t { kNone = 0, kValue = 1, kMissing = 2, kTooLarge = 3 };
    struct Year {
        std::array<int32_t, 366> a{};
        std::array<int32_t, 366> b{};
        std::array<uint8_t, 366> state{};
        uint16_t months = 0;  // bit m-1: the file holds something for month m
    };
    struct Hour {
        int32_t year, jday, hour, amount;
    };

    explicit SeriesValues(DataType type) : type_(type) {}

    // One statement (a month of a daily file, a line of a rain file).
    void add(const FileUnit& u);

    DataType type() const { return type_; }
    const std::map<int32_t, Year>& years() const { return years_; }
    // Rain: the hours while there are at most kMaxHours of them.
    const std::vector<Hour>& hours() const { return hours_; }
    bool all_hours() const { return all_hours_; }
    // Rain: the kLargest largest hourly amounts, largest first.
    const std::vector<Hour>& largest_hours() const { return largest_; }

    int64_t statements() const { return statements_; }
    int64_t damaged() const { return damaged_; }
    int64_t asterisks() const { return asterisks_; }
    // Statements for a month the file already held (a year that came back).
    int64_t repeated_months() const { return repeated_; }
    // Values for days past their month's end, or of years without room.
    int64_t unplaced() const { return unplaced_; }

  private:
    Year* year_of(int32_t year);
    void add_daily(const FileUnit& u, Year& y);
    void add_rain(const FileUnit& u, Year& y);

    DataType type_;
    std::map<int32_t, Year> years_;
    std::vector<Hour> hours_;
    bool all_hours_ = true;
    std::vector<Hour> largest_;
    int64_t statements_ = 0, damaged_ = 0, asterisks_ = 0, repeated_ = 0, unplaced_ = 0;
};

}  // namespace weatherview
