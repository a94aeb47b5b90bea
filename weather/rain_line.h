// The line buffer of the rain converters: up to twelve hourly entries (day
// of the month, hour 1-24, rain in hundredths of an inch) of one month, and
// the line that writes them after the station number, year and month.
#pragma once

#include <cstdint>

#include "common/connection.h"
#include "common/layout.h"

namespace weather {

class RainLine {
  public:
    static constexpr int kCapacity = 12;

    // LAYOUT takes STA, year, month and then day, hour and amount of each entry.
    RainLine(common::Connection& out, const common::Layout& layout, int32_t sta)
        : out_(&out), layout_(&layout), sta_(sta) {}

    void append(int32_t mday, int32_t hour, int32_t amount) { entries_[n_++] = Entry{mday, hour, amount}; }
    int size() const { return n_; }
    bool full() const { return n_ == kCapacity; }
    // Writes one line labelled YEAR and MONTH with the entries, and empties
    // the buffer.
    void write(int32_t year, int32_t month);

  private:
    struct Entry {
        int32_t mday, hour, amount;
    };
    common::Connection* out_;
    const common::Layout* layout_;
    int32_t sta_;
    Entry entries_[kCapacity] = {};
    int n_ = 0;
};

}  // namespace weather
