#include "weatherview/hourly_rain_replay.h"

#include "weather/conversion.h"
#include "weatherview/dates.h"

namespace weatherview {
namespace {

// The reading's minute, counted from 1970-01-01 00:00.
int64_t minute_key(const InputRecord& r) {
    return serial_day(r.at.year, r.at.jday) * 1440 + r.minute;
}

}  // namespace

HourlyRainReplay::HourlyRainReplay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink)
    : Replay(setup, findings, marks, sink) {
    entries_.reserve(kRainLineEntries);
}

void HourlyRainReplay::write_line(int32_t year, int32_t month) {
    write_rain_line(year, month, entries_);
    entries_.clear();
}

void HourlyRainReplay::open_hour(const InputRecord& r) {
    cur_ = r.at;
    sum_ = r.value[0];
    first_.line = r.line;
    first_.text = r.text;
    first_.year = r.at.year;
    first_.jday = r.at.jday;
    first_.hour = r.at.hour;
    size_t i = 0;
    DayMarks::Year* y = marks_->day(r.at.year, r.at.jday, i);
    if (!y) return;
    const uint32_t bit = uint32_t{1} << (r.at.hour - 1);
    if (y->hours[i] & bit) {
        note(ref(r), Fate::Twice, [&] {
            return "hour " + std::to_string(r.at.hour) + " of " + date_text(r.at.year, r.at.jday) +
                   " already has an entry from readings before: METCONV writes a second entry for it";
        });
    }
    y->hours[i] |= bit;
}

bool HourlyRainReplay::close_hour(const InputRecord* next) {
    const int32_t amount = weather::hundredths(sum_, factor_);
    if (!weather::hour_amount_valid(amount)) {
        open_ = false;
        stop_after_reading(first_.ref(),
                           "the readings of hour " + std::to_string(first_.hour) + " of " +
                               date_text(first_.year, first_.jday) + " sum to " + std::to_string(amount) +
                               " hundredths of an inch, below zero",
                           next);
        lose(first_.line);
        return false;
    }
    if (!fits(amount, kRainAmountColumns)) {
        note(first_.ref(), Fate::TooLarge, [&] {
            return "the readings of hour " + std::to_string(first_.hour) + " sum to " + std::to_string(amount) +
                   " hundredths of an inch, too large for the 4 columns: written as ****";
        });
    }
    entries_.push_back({cur_.mday, cur_.hour, amount, first_});
    return true;
}

void HourlyRainReplay::take(const InputRecord& r, int64_t) {
    if (r.value[0] == -99.0f) {
        note(ref(r), Fate::MissingCode, [&] {
            return "the missing-value code is summed like rain (-99 " + units_words() + " is " +
                   std::to_string(weather::hundredths(-99.0f, factor_)) +
                   " hundredths of an inch), and an hour below zero stops METCONV; leave missing readings out of the "
                   "input";
        });
    }
    if (!open_) {
        open_ = true;
        open_hour(r);
    } else if (r.at.hour == cur_.hour && r.at.jday == cur_.jday) {
        // Same hour of the same day of the year: the converter adds the
        // reading. It does not compare the year.
        sum_ += r.value[0];
        if (minute_key(r) == prev_key_) {
            note(ref(r), Fate::SameTime, [&] {
                return "the same time as line " + std::to_string(prev_line_) + ": METCONV adds both to hour " +
                       std::to_string(r.at.hour) + ", so this rain counts twice";
            });
        } else if (r.at.year != cur_.year) {
            note(ref(r), Fate::Summed, [&] {
                return "summed with the " + std::to_string(cur_.year) + " reading of line " +
                       std::to_string(first_.line) + " into one hour, written as hour " + std::to_string(r.at.hour) +
                       " of " + date_text(r.at.year, r.at.jday) +
                       ": METCONV compares the day and the hour of consecutive readings, not the year";
            });
            marks_->mark(r.at.year, r.at.jday, DayMark::Changed);
            marks_->mark(cur_.year, cur_.jday, DayMark::Changed);
        } else {
            note(ref(r), Fate::Summed, [&] {
                return "summed into hour " + std::to_string(cur_.hour) + " with the reading of line " +
                       std::to_string(first_.line);
            });
        }
    } else {
        if (!close_hour(&r)) return;
        if (entries_.size() == kRainLineEntries || r.at.month != cur_.month || r.at.year != cur_.year) {
            write_line(cur_.year, cur_.month);
        }
        open_hour(r);
    }
    // The reading's hour, day, month and year become the current hour's,
    // summed or not: a sum is written with its latest reading's date.
    cur_ = r.at;
    prev_key_ = minute_key(r);
    prev_line_ = r.line;
}

void HourlyRainReplay::flush() {
    if (close_hour(nullptr)) write_line(cur_.year, cur_.month);
}

void HourlyRainReplay::lose(int64_t stop) {
    auto lost = [&](const Opening& o) {
        note(o.ref(), Fate::Lost,
             [&] { return "its hour was not yet written when METCONV stopped at line " + std::to_string(stop); });
    };
    for (const Entry& e : entries_) lost(e.first);
    if (open_) lost(first_);
}

}  // namespace weatherview
