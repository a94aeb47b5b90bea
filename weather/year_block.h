// The year block of the daily converters (temperature and potential ET):
// day tables of one year, 12 months by 31 days, with one or two values per
// day, and the month statements that write them.
//
// A block holds the records of one run of consecutive records with the same
// year. Every cell starts at the missing-value code -99. The block is written
// as one statement per month from the earliest to the latest month that
// holds a record, each month with its days in the block's year, so that a
// record that comes after a later month of its year is still written.
#pragma once

#include <cstdint>
#include <string>

#include "common/connection.h"
#include "common/layout.h"
#include "common/values.h"
#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/messages.h"

namespace weather {

// The months a year block writes: every month from the earliest to the
// latest that holds a record.
class BlockMonths {
  public:
    void reset() { first_ = last_ = 0; }
    void add(int32_t month) {
        if (first_ == 0 || month < first_) first_ = month;
        if (month > last_) last_ = month;
    }
    bool empty() const { return first_ == 0; }
    int32_t first() const { return first_; }
    int32_t last() const { return last_; }

  private:
    int32_t first_ = 0, last_ = 0;  // 0: no record yet
};

class YearBlock {
  public:
    static constexpr int32_t kMissing = kMissingCode;
    static constexpr int kMaxValues = 2;

    explicit YearBlock(int values_per_day);

    // Starts an empty block for YEAR: every cell at the missing-value code.
    void start(int32_t year);
    // Stores the values of one day (month 1-12, day of the month 1-31); a
    // later record for the same day replaces the earlier one.
    void store(int32_t month, int32_t mday, const int32_t* values) {
        int32_t* cell = cells_[month - 1][mday - 1];
        for (int k = 0; k < nvalues_; ++k) cell[k] = values[k];
        months_.add(month);
    }
    int32_t year() const { return year_; }
    // One statement per month from the earliest to the latest month with a
    // record, through LAYOUT: STA, the block year, the month, then the cells
    // of each day.
    void write(common::Connection& out, const common::Layout& layout, int32_t sta) const;

  private:
    int nvalues_;
    int32_t year_ = 0;
    BlockMonths months_;
    int32_t cells_[12][31][kMaxValues];
};

// Reads the daily records of IN to its end and writes their year blocks to
// OUT through LAYOUT. READ_DAY(year, jday, values) reads one record, converts
// its values into `values` and returns the read status. A block is written
// whenever the year changes between two records and once at the end. A day
// outside its year is an invalid record. Returns 0, or -1 with MSG set.
template <class ReadDay>
int32_t convert_daily(common::Connection& in, common::Connection& out, const common::Layout& layout, int32_t sta,
                      int values_per_day, std::string& MSG, ReadDay read_day) {
    YearBlock block(values_per_day);
    int32_t year = 0, jday = 0, month = 0, mday = 0;
    int32_t values[YearBlock::kMaxValues] = {};

    if (read_day(year, jday, values) != common::ReadStatus::Done || !day_in_year(year, jday)) {
        MSG = msg::kFirstRecord;
        return -1;
    }
    JDAYMD(year, jday, month, mday);
    block.start(year);
    block.store(month, mday, values);

    while (!in.at_end()) {
        const common::ReadStatus st = read_day(year, jday, values);
        if (st == common::ReadStatus::EndOfFile) break;  // trailing blank lines
        if (st != common::ReadStatus::Done || !day_in_year(year, jday)) {
            MSG = msg::kLaterRecord;
            return -1;
        }
        JDAYMD(year, jday, month, mday);
        if (year != block.year()) {
            block.write(out, layout, sta);
            block.start(year);
        }
        block.store(month, mday, values);
    }
    block.write(out, layout, sta);
    return 0;
}

}  // namespace weather
