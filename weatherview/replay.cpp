#include "weatherview/replay.h"

#include <algorithm>
#include <cstdio>

#include "common/field_edit.h"
#include "common/fixed_text.h"

#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/messages.h"
#include "weatherview/daily_rain_replay.h"
#include "weatherview/daily_replay.h"
#include "weatherview/hourly_rain_replay.h"

namespace weatherview {

bool fits(int32_t v, int w) {
    // The writer's own edit decides: a value that does not fit is written
    // as asterisks, and no digit or sign is one.
    char field[16];
    if (w < 1 || w > static_cast<int>(sizeof field)) return w > static_cast<int>(sizeof field);
    std::fill(field, field + w, ' ');
    common::edit_int_field(field, v, w);
    return field[0] != '*';
}

std::string value_text(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v));
    return buf;
}

Replay::Replay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink)
    : setup_(setup), findings_(&findings), marks_(&marks), sink_(&sink) {
    // What the run refuses before a record is read: units without a factor
    // (the driver's check), then for daily rain the spread, in the
    // converter's order.
    if (setup_.type != DataType::Temperature && !weather::rain_factor(setup_.UNITS, factor_)) {
        refusal_ = weather::units_rejection(setup_.UNITS, setup_.type == DataType::Evapotranspiration ? "ET"
                                                          : setup_.type == DataType::HourlyRain       ? "HR"
                                                                                                      : "DR");
    } else if (setup_.type == DataType::DailyRain) {
        if (static_cast<int64_t>(setup_.BEGHR) + setup_.NHR > 25)
            refusal_ = weather::msg::kTotalHours;
        else if (setup_.BEGHR < 1 || setup_.BEGHR > 24)
            refusal_ = weather::msg::kBeginHour;
        else if (setup_.NHR < 1 || setup_.NHR > 24)
            refusal_ = weather::msg::kSpreadHours;
    }
    expected_log_ = refusal_.empty() ? std::string(weather::msg::kNormal) : refusal_;
}

std::string Replay::units_words() const {
    const std::string_view u = setup_.UNITS;
    if (setup_.type == DataType::Temperature) return u == "DF" ? "degrees F" : "degrees C";
    if (u == "IN") return "inches";
    if (u == "CM") return "centimetres";
    if (u == "MM") return "millimetres";
    return std::string(u);
}

std::string refusal_words(const InputRecord& r, DataType type) {
    switch (r.refusal) {
        case Refusal::Unreadable:
            return "a value does not read as a number";
        case Refusal::CutOff:
            return "the file ends inside the record";
        case Refusal::TooLong:
            return "the line is longer than 1048576 characters; nothing after it is read";
        case Refusal::OutsideYear:
            if (type == DataType::HourlyRain) {
                return "its time, day " + std::to_string(r.jday) + " of " + std::to_string(r.year) +
                       ", does not lie in the year";
            }
            return "day " + std::to_string(r.jday) + " does not lie in " + std::to_string(r.year) + " (1 to " +
                   std::to_string(weather::YEARDAYS(r.year)) + ")";
        case Refusal::None:
            break;
    }
    return {};
}

void Replay::record(const InputRecord& r) {
    ++records_;
    const bool first = first_;
    first_ = false;
    if (r.refused()) {
        ++refused_;
        const RecordRef at{r.line, r.text, 0, 0, 0};
        if (!refusal_.empty() || stopped_at_ != 0) {
            note(at, Fate::Refused, [&] { return refusal_words(r, setup_.type) + "; METCONV never reads it"; });
            return;
        }
        stopped_at_ = r.line;
        expected_log_ = first ? weather::msg::kFirstRecord : weather::msg::kLaterRecord;
        note(at, Fate::Refused, [&] {
            return refusal_words(r, setup_.type) + ". METCONV stops here with \"" + expected_log_ + "\"" +
                   (first ? "; it writes nothing" : "; nothing from here on is converted");
        });
        if (!first) lose(r.line);
        return;
    }
    const bool missing = r.value[0] == -99.0f || (setup_.type == DataType::Temperature && r.value[1] == -99.0f);
    if (!refusal_.empty() || stopped_at_ != 0) {
        ++not_converted_;
        marks_->note_record(r.at.year, r.at.jday, r.line);
        marks_->mark(r.at.year, r.at.jday, DayMark::NotConverted);
        return;
    }
    const int64_t first_line = marks_->note_record(r.at.year, r.at.jday, r.line);
    marks_->mark(r.at.year, r.at.jday, missing ? DayMark::MissingCode : DayMark::Value);
    note_reading(r);
    order_.add(r, [&](const RecordRef& at, const std::string& reason) { note(at, Fate::OutOfOrder, reason); });
    take(r, first_line);
}

void Replay::stop_after_reading(const RecordRef& at, const std::string& why, const InputRecord* next) {
    ++refused_;
    stopped_at_ = at.line;
    expected_log_ = weather::msg::kLaterRecord;
    note(at, Fate::Refused, [&] {
        return why + ". METCONV stops here with \"" + expected_log_ + "\"; nothing from here on is converted";
    });
    if (next) {
        ++not_converted_;
        marks_->mark(next->at.year, next->at.jday, DayMark::NotConverted);
    }
}

namespace {

// The values of a record of TYPE, in order, by name.
const char* value_name(DataType type, int k) {
    static const char* const kDaily[] = {"year", "day", "value"};
    static const char* const kTemperature[] = {"year", "day", "first temperature", "second temperature"};
    static const char* const kRain[] = {"year", "time", "rain"};
    static const char* const kDailyRain[] = {"year", "day", "rain"};
    switch (type) {
        case DataType::Temperature:
            return kTemperature[k];
        case DataType::Evapotranspiration:
            return kDaily[k];
        case DataType::HourlyRain:
            return kRain[k];
        case DataType::DailyRain:
            break;
    }
    return kDailyRain[k];
}

// Value K of record R as read.
std::string value_read(const InputRecord& r, DataType type, int k) {
    if (k == 0) return std::to_string(r.year);
    if (k == 1) return type == DataType::HourlyRain ? value_text(r.daytime) : std::to_string(r.jday);
    return value_text(r.value[k - 2]);
}

// "the rain (0.5)" or "the year (1997) and the day (5)".
std::string values_words(const InputRecord& r, DataType type, const std::vector<int>& which) {
    std::string w;
    for (size_t i = 0; i < which.size(); ++i) {
        if (i > 0) w += i + 1 == which.size() ? " and " : ", ";
        w += std::string("the ") + value_name(type, which[i]) + " (" + value_read(r, type, which[i]) + ")";
    }
    return w;
}

}  // namespace

void Replay::note_reading(const InputRecord& r) {
    const LineReading& l = r.reading;
    const int wanted = 2 + values_per_record(setup_.type);
    if (!l.nulls.empty()) {
        note(ref(r), Fate::NullValue, [&] {
            return std::string(l.slash ? "a slash ends the record" : "an empty value (two commas in a row, or r*)") +
                   ": " + values_words(r, setup_.type, l.nulls) + (l.nulls.size() == 1 ? " is" : " are") +
                   " kept from the record before, not read from this line";
        });
    }
    if (l.short_line) {
        note(ref(r), Fate::NextLine, [&] {
            std::vector<int> rest;
            for (int k = l.taken; k < wanted; ++k) rest.push_back(k);
            return "the line ends after " + std::to_string(l.taken) + " of the record's " + std::to_string(wanted) +
                   " values (an empty cell at the end of a row?): " + values_words(r, setup_.type, rest) +
                   " taken from the next line, and the rest of that line is not read";
        });
    }
    if (!l.ignored.empty()) {
        note(ref(r), Fate::Ignored, [&] {
            return "the line holds more than the record's " + std::to_string(wanted) + " values: \"" +
                   common::printable(std::string_view(l.ignored).substr(0, 40)) +
                   "\" is ignored (a decimal comma, or a file of more columns?); the record reads " +
                   values_words(r, setup_.type, [&] {
                       std::vector<int> all;
                       for (int k = 2; k < wanted; ++k) all.push_back(k);
                       return all;
                   }());
        });
    }
}

void Replay::end() {
    if (!refusal_.empty() || stopped_at_ != 0) return;
    if (first_) {
        // No record at all: METCONV's first read meets the end of the file.
        expected_log_ = weather::msg::kFirstRecord;
        return;
    }
    flush();
}

std::unique_ptr<Replay> make_replay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink) {
    switch (setup.type) {
        case DataType::Temperature:
        case DataType::Evapotranspiration:
            return std::make_unique<DailyReplay>(setup, findings, marks, sink);
        case DataType::HourlyRain:
            return std::make_unique<HourlyRainReplay>(setup, findings, marks, sink);
        case DataType::DailyRain:
            break;
    }
    return std::make_unique<DailyRainReplay>(setup, findings, marks, sink);
}

}  // namespace weatherview
