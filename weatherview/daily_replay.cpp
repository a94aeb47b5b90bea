#include "weatherview/daily_replay.h"

#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/cvtet.h"
#include "weather/cvttmp.h"
#include "weatherview/dates.h"

namespace weatherview {
namespace {

constexpr int kValueColumns = 3;  // I3 in both files

}  // namespace

DailyReplay::DailyReplay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink)
    : Replay(setup, findings, marks, sink), per_day_(values_per_record(setup.type)), fahrenheit_(setup.UNITS == "DF") {}

void DailyReplay::start(const InputRecord& r) {
    open_ = true;
    year_ = r.at.year;
    months_.reset();
    first_line_ = r.line;
}

void DailyReplay::clear() {
    for (auto& month : cells_)
        for (Cell& c : month) c.line = 0;
}

std::string DailyReplay::block_words() const {
    return "the " + std::to_string(year_) + " records of lines " + std::to_string(first_line_) + " to " +
           std::to_string(last_line_);
}

void DailyReplay::take(const InputRecord& r, int64_t first_line) {
    if (!open_) {
        start(r);
    } else if (r.at.year != year_) {
        write_block();
        clear();
        start(r);
    }
    const int32_t month = r.at.month;
    Cell& c = cells_[month - 1][r.at.mday - 1];
    if (c.line != 0) {
        note(cell_ref(c), Fate::Replaced, [&] {
            return "replaced by line " + std::to_string(r.line) +
                   ", a later record for the same day: METCONV keeps the last";
        });
    } else if (first_line != 0) {
        note(ref(r), Fate::Twice, [&] {
            return "the day was given before, at line " + std::to_string(first_line) + ", in an earlier run of " +
                   std::to_string(year_) + " records: the file gets a second statement for " + month_name(month) + " " +
                   std::to_string(year_);
        });
    }
    c.line = r.line;
    c.text = r.text;
    c.jday = r.at.jday;
    for (int k = 0; k < per_day_; ++k) {
        c.value[k] = setup_.type == DataType::Temperature ? weather::temperature_cell(r.value[k], fahrenheit_)
                                                          : weather::evapotranspiration_cell(r.value[k], factor_);
    }
    months_.add(month);
    last_line_ = r.line;

    // What the file shows of the record's values: one finding of each kind
    // per record, naming the value when only one of two is concerned.
    const bool temperature = setup_.type == DataType::Temperature;
    const char* unit = temperature ? " \xC2\xB0"
                                     "F"
                                   : " hundredths of an inch";
    auto missing_words = [&](int) {
        return std::string("the missing-value code -99 is written as -99, which the model reads as a missing day");
    };
    auto large_words = [&](int k) {
        return value_text(r.value[k]) + " " + units_words() + " converts to " + std::to_string(c.value[k]) + unit +
               ", too large for the 3 columns: written as ***";
    };
    auto which = [&](int k) {
        return per_day_ == 1 ? std::string() : k == 0 ? "first temperature: " : "second temperature: ";
    };
    bool missing[2] = {}, large[2] = {};
    for (int k = 0; k < per_day_; ++k) {
        missing[k] = r.value[k] == static_cast<float>(weather::kMissingCode);
        large[k] = !missing[k] && !fits(c.value[k], kValueColumns);
    }
    if (missing[0] || missing[1]) {
        note(ref(r), Fate::MissingCode, [&] {
            if (missing[0] && missing[1]) return "both temperatures: " + missing_words(0);
            const int k = missing[0] ? 0 : 1;
            return which(k) + missing_words(k);
        });
    }
    if (large[0] || large[1]) {
        note(ref(r), Fate::TooLarge, [&] {
            std::string why;
            for (int k = 0; k < per_day_; ++k) {
                if (large[k]) why += (why.empty() ? "" : "; ") + which(k) + large_words(k);
            }
            return why;
        });
    }
}

void DailyReplay::write_block() {
    for (int32_t m = months_.first(); !months_.empty() && m <= months_.last(); ++m) {
        FileUnit u;
        u.sta = setup_.STA;
        u.year = year_;
        u.month = m;
        const int32_t days = weather::MONDAYS(year_, m);
        u.n = days * per_day_;
        for (int32_t d = 0; d < days; ++d) {
            const Cell& c = cells_[m - 1][d];
            for (int k = 0; k < per_day_; ++k) {
                u.value[d * per_day_ + k] = c.line != 0 ? c.value[k] : weather::kMissingCode;
                u.width[d * per_day_ + k] = kValueColumns;
            }
        }
        sink_->unit(u);
    }
}

void DailyReplay::flush() {
    write_block();
}

void DailyReplay::lose(int64_t stop) {
    for (const auto& month : cells_) {
        for (const Cell& c : month) {
            if (c.line == 0) continue;
            note(cell_ref(c), Fate::Lost, [&] {
                return "METCONV stopped at line " + std::to_string(stop) + " before it wrote " + block_words();
            });
        }
    }
}

}  // namespace weatherview
