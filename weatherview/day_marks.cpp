#include "weatherview/day_marks.h"

#include <algorithm>

#include "weather/calendar.h"
#include "weatherview/dates.h"

namespace weatherview {

DayMarks::Year* DayMarks::day(int32_t year, int32_t jday, size_t& index) {
    if (jday < 1 || jday > weather::YEARDAYS(year)) return nullptr;
    if (!cached_ || cached_year_ != year) {
        auto it = years_.find(year);
        if (it == years_.end()) {
            if (years_.size() >= kMaxYears) return nullptr;
            it = years_.try_emplace(year).first;
        }
        cached_year_ = year;
        cached_ = &it->second;
    }
    index = static_cast<size_t>(jday - 1);
    return cached_;
}

void DayMarks::mark(int32_t year, int32_t jday, DayMark m) {
    size_t i = 0;
    Year* y = day(year, jday, i);
    if (y && static_cast<uint8_t>(m) > y->mark[i]) y->mark[i] = static_cast<uint8_t>(m);
}

int64_t DayMarks::first_serial() const {
    if (!noted_) return 1;
    return last_ >= first_ ? first_ : earliest_;
}

int64_t DayMarks::last_serial() const {
    if (!noted_) return 0;
    return last_ >= first_ ? last_ : latest_;
}

int64_t DayMarks::note_record(int32_t year, int32_t jday, int64_t line) {
    size_t i = 0;
    Year* y = day(year, jday, i);
    if (!y) {
        ++unmarked_;
        return 0;
    }
    const int64_t s = serial_day(year, jday);
    earliest_ = std::min(earliest_, s);
    latest_ = std::max(latest_, s);
    if (!noted_) first_ = s;
    last_ = s;
    noted_ = true;
    const int64_t before = y->first_line[i];
    if (before == 0) y->first_line[i] = line;
    y->last_line[i] = line;
    return before;
}

}  // namespace weatherview
