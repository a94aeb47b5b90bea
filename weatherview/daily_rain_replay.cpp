#include "weatherview/daily_rain_replay.h"

#include "weather/cvtdlyr.h"
#include "weatherview/dates.h"

namespace weatherview {
DailyRainReplay::DailyRainReplay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink)
    : Replay(setup, findings, marks, sink) {
    entries_.reserve(kRainLineEntries);
}

void DailyRainReplay::write_line() {
    write_rain_line(label_year_, label_month_, entries_);
    entries_.clear();
}

void DailyRainReplay::take(const InputRecord& r, int64_t first_line) {
    // The first record labels the line, rainy or not.
    if (!labelled_) {
        labelled_ = true;
        label_year_ = r.at.year;
        label_month_ = r.at.month;
    }
    const float rain = r.value[0];
    size_t i = 0;
    DayMarks::Year* y = marks_->day(r.at.year, r.at.jday, i);
    if (!(rain > 0.0f)) {
        if (rain == -99.0f) {
            note(ref(r), Fate::MissingCode, [] {
                return std::string(
                    "the missing-value code: METCONV skips days without rain above zero, so the model "
                    "reads the day as dry");
            });
        }
        return;
    }
    if (first_line != 0 && y && y->rainy[i]) {
        note(ref(r), Fate::Twice, [&] {
            return "the day was given before, at line " + std::to_string(first_line) +
                   ": METCONV spreads both, so the day's rain counts twice";
        });
    }
    if (y) y->rainy[i] = 1;
    const weather::DaySpread s = weather::spread_day(rain, factor_, setup_.NHR);
    if (!fits(s.per_hour, kRainAmountColumns) || !fits(s.last, kRainAmountColumns)) {
        note(ref(r), Fate::TooLarge, [&] {
            return value_text(rain) + " " + units_words() + " is " + std::to_string(s.total) +
                   " hundredths of an inch; an hour's share does not fit the 4 columns and is written as ****";
        });
    }
    if (r.at.month != label_month_ || r.at.year != label_year_) {
        if (!entries_.empty()) write_line();
        label_year_ = r.at.year;
        label_month_ = r.at.month;
    }
    for (int32_t k = 1; k <= setup_.NHR; ++k) {
        entries_.push_back({r.at.mday, setup_.BEGHR + k - 1, k == setup_.NHR ? s.last : s.per_hour, r.line, r.text,
                            r.at.year, r.at.jday});
        if (entries_.size() == kRainLineEntries) write_line();
    }
}

void DailyRainReplay::flush() {
    if (!entries_.empty()) write_line();
}

void DailyRainReplay::lose(int64_t stop) {
    int64_t last = 0;
    for (const Entry& e : entries_) {
        if (e.line == last) continue;
        last = e.line;
        note(RecordRef{e.line, e.text, e.year, e.jday, 0}, Fate::Lost, [&] {
            return "its rain was spread into hours that METCONV had not yet written when it stopped at line " +
                   std::to_string(stop);
        });
    }
}

}  // namespace weatherview
