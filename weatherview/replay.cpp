#include "weatherview/replay.h"

#include <cstdio>

#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/messages.h"
#include "weatherview/daily_rain_replay.h"
#include "weatherview/daily_replay.h"
#include "weatherview/hourly_rain_replay.h"

namespace metview {

bool fits(int32_t v, int w) {
    int64_t hi = 1;
    for (int k = 0; k < w; ++k) hi *= 10;
    return v <= hi - 1 && v >= -(hi / 10 - 1);
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
    if (setup_.type != DataType::Temperature && !metconv::rain_factor(setup_.UNITS, factor_)) {
        refusal_ = metconv::units_rejection(setup_.UNITS, setup_.type == DataType::Evapotranspiration ? "ET"
                                                          : setup_.type == DataType::HourlyRain       ? "HR"
                                                                                                      : "DR");
    } else if (setup_.type == DataType::DailyRain) {
        if (static_cast<int64_t>(setup_.BEGHR) + setup_.NHR > 25) refusal_ = metconv::msg::kTotalHours;
        else if (setup_.BEGHR < 1 || setup_.BEGHR > 24) refusal_ = metconv::msg::kBeginHour;
        else if (setup_.NHR < 1 || setup_.NHR > 24) refusal_ = metconv::msg::kSpreadHours;
    }
    expected_log_ = refusal_.empty() ? std::string(metconv::msg::kNormal) : refusal_;
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
        case Refusal::Unreadable: return "a value does not read as a number";
        case Refusal::CutOff: return "the file ends inside the record";
        case Refusal::TooLong: return "the line is longer than 1048576 characters; nothing after it is read";
        case Refusal::OutsideYear:
            if (type == DataType::HourlyRain) {
                return "its time, day " + std::to_string(r.jday) + " of " + std::to_string(r.year) +
                       ", does not lie in the year";
            }
            return "day " + std::to_string(r.jday) + " does not lie in " + std::to_string(r.year) + " (1 to " +
                   std::to_string(metconv::YEARDAYS(r.year)) + ")";
        case Refusal::None: break;
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
        expected_log_ = first ? metconv::msg::kFirstRecord : metconv::msg::kLaterRecord;
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
    order_.add(r, [&](const RecordRef& at, const std::string& reason) { note(at, Fate::OutOfOrder, reason); });
    take(r, first_line);
}

void Replay::end() {
    if (!refusal_.empty() || stopped_at_ != 0) return;
    if (first_) {
        // No record at all: METCONV's first read meets the end of the file.
        expected_log_ = metconv::msg::kFirstRecord;
        return;
    }
    flush();
}

std::unique_ptr<Replay> make_replay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink) {
    switch (setup.type) {
        case DataType::Temperature:
        case DataType::Evapotranspiration: return std::make_unique<DailyReplay>(setup, findings, marks, sink);
        case DataType::HourlyRain: return std::make_unique<HourlyRainReplay>(setup, findings, marks, sink);
        case DataType::DailyRain: break;
    }
    return std::make_unique<DailyRainReplay>(setup, findings, marks, sink);
}

}  // namespace metview
