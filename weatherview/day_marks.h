// The days of the series, one mark each, for the calendar strips and the
// list of gaps: whether the day has a value, the missing-value code, a
// record changed by the conversion, or records METCONV never converted.
// Beside the mark each day keeps the line of its first record, and for
// hourly rain the clock hours that already have an entry, so that a day or
// an hour given again can be told.
//
// Days are kept by year, about 8 KB a year, for at most kMaxYears years;
// records of further years are counted but not marked.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>

namespace weatherview {

// Stronger marks win over weaker ones on the same day.
enum class DayMark : uint8_t { None = 0, Value = 1, MissingCode = 2, Changed = 3, NotConverted = 4 };

class DayMarks {
  public:
    static constexpr size_t kMaxYears = 1000;

    struct Year {
        std::array<uint8_t, 366> mark{};        // DayMark
        std::array<int64_t, 366> first_line{};  // line of the day's first record; 0: none
        std::array<int64_t, 366> last_line{};   // line of the day's latest record
        std::array<uint32_t, 366> hours{};      // hourly rain: bit h-1 for clock hour h
        std::array<uint8_t, 366> rainy{};       // daily rain: a record with rain came
    };

    // The day's entry, made when missing; nullptr past kMaxYears years or
    // outside the year.
    Year* day(int32_t year, int32_t jday, size_t& index);

    // Marks the day with M unless it holds a stronger mark.
    void mark(int32_t year, int32_t jday, DayMark m);
    // Notes a record of the day at LINE. Returns the line of the day's first
    // record before this one, or 0.
    int64_t note_record(int32_t year, int32_t jday, int64_t line);

    const std::map<int32_t, Year>& years() const { return years_; }
    // Records whose year found no room.
    int64_t unmarked() const { return unmarked_; }
    // The days the series covers, as serial days: from the day of its first
    // record to the day of its last, in the order they are read (a record
    // out of place elsewhere in the year does not stretch the series); from
    // the earliest to the latest record when the last comes before the
    // first. first > last when no record was noted.
    int64_t first_serial() const;
    int64_t last_serial() const;

  private:
    std::map<int32_t, Year> years_;
    int32_t cached_year_ = 0;
    Year* cached_ = nullptr;
    int64_t unmarked_ = 0;
    int64_t earliest_ = INT64_MAX, latest_ = INT64_MIN;  // of all records noted
    int64_t first_ = 0, last_ = 0;                       // of the first and the latest record read
    bool noted_ = false;
};

}  // namespace weatherview
