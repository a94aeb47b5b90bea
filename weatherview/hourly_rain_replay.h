// The replay of the hourly-rain converter (CVTHLYR): consecutive readings of
// the same clock hour summed, each hour's sum written as one entry, the
// entries gathered in lines of up to twelve of one month.
//
// Fates told here: readings summed into their hour with others; a reading
// at the very time of the one before (typed twice?), whose rain then counts
// twice; a reading of another year summed into an hour because the
// converter compares day and hour but not the year; an hour that comes back
// after others and gets a second entry; the missing-value code, summed like
// rain; an hour that sums below zero, where METCONV stops; an hour's sum too
// large for its columns; and the hours held when the run stops.
#pragma once

#include <string>
#include <vector>

#include "weather/cvthlyr.h"
#include "weatherview/replay.h"

namespace weatherview {

class HourlyRainReplay final : public Replay {
  public:
    HourlyRainReplay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink);

  private:
    void take(const InputRecord& r, int64_t first_line) override;
    void flush() override;
    void lose(int64_t stop) override;

    // The first reading of an hour, for the findings about the hour.
    struct Opening {
        int64_t line = 0;
        std::string text;
        int32_t year = 0, jday = 0, hour = 0;
        RecordRef ref() const { return {line, text, year, jday, hour}; }
    };
    struct Entry {
        int32_t mday, hour, amount;
        Opening first;
    };
    void open_hour(const InputRecord& r);
    // Writes the current hour's entry. An hour below zero stops the run
    // instead (NEXT, the reading that began the next hour, or none at the
    // end): false.
    bool close_hour(const InputRecord* next);
    void write_line(int32_t year, int32_t month);

    bool open_ = false;
    weather::ClockHour cur_;
    float sum_ = 0.0f;      // rain of the current hour, input units
    Opening first_;         // the current hour's first reading
    int64_t prev_key_ = 0;  // minute of the reading before, from 1970
    int64_t prev_line_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace weatherview
