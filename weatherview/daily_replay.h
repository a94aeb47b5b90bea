// The replay of the daily converters, temperatures (CVTTMP) and potential
// evapotranspiration (CVTET): year blocks of 12 months by 31 days, written
// by the converters' own rule (weather::BlockMonths) from the earliest to
// the latest month with a record, each value converted by the converters'
// own cell functions.
//
// Fates told here: a later record for the same day replaces the earlier one;
// a day given again in a later block of the same year is written twice; the
// missing-value code and values too large for their columns; and the
// records of the block held when the run stops.
#pragma once

#include <array>
#include <string>

#include "weather/year_block.h"
#include "weatherview/replay.h"

namespace weatherview {

class DailyReplay final : public Replay {
  public:
    DailyReplay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink);

  private:
    void take(const InputRecord& r, int64_t first_line) override;
    void flush() override;
    void lose(int64_t stop) override;

    struct Cell {
        int64_t line = 0;  // 0: no record
        std::string text;
        int32_t jday = 0;
        int32_t value[2] = {};
    };
    RecordRef cell_ref(const Cell& c) const { return {c.line, c.text, year_, c.jday, 0}; }
    void start(const InputRecord& r);
    void write_block();
    void clear();
    // The block's lines, for the reasons.
    std::string block_words() const;

    int per_day_;
    bool fahrenheit_;
    bool open_ = false;
    int32_t year_ = 0;
    weather::BlockMonths months_;
    int64_t first_line_ = 0, last_line_ = 0;
    std::array<std::array<Cell, 31>, 12> cells_{};
};

}  // namespace weatherview
