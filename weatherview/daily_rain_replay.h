// The replay of the daily-rain converter (CVTDLYR): each day with rain above
// zero spread evenly over NHR hours from hour BEGHR, the entries gathered in
// lines of up to twelve of one month.
//
// Fates told here: a rainy day given again is spread again, so its rain
// counts twice; the missing-value code, which METCONV skips like a dry day;
// an hour's share too large for its columns; and the entries held in the
// line when the run stops.
#pragma once

#include <string>
#include <vector>

#include "weatherview/replay.h"

namespace weatherview {

class DailyRainReplay final : public Replay {
  public:
    DailyRainReplay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink);

  private:
    void take(const InputRecord& r, int64_t first_line) override;
    void flush() override;
    void lose(int64_t stop) override;

    struct Entry {
        int32_t mday, hour, amount;
        int64_t line;  // the record spread into it
        std::string text;
        int32_t year, jday;
    };
    void write_line();

    bool labelled_ = false;
    int32_t label_year_ = 0, label_month_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace weatherview
