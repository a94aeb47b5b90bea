#include "weatherview/series_input.h"

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weatherview/dates.h"

namespace weatherview {

bool data_type_of(std::string_view TYPE, DataType& type) {
    if (TYPE == "TP")
        type = DataType::Temperature;
    else if (TYPE == "ET")
        type = DataType::Evapotranspiration;
    else if (TYPE == "HR")
        type = DataType::HourlyRain;
    else if (TYPE == "DR")
        type = DataType::DailyRain;
    else
        return false;
    return true;
}

std::string_view type_words(DataType type) {
    switch (type) {
        case DataType::Temperature:
            return "daily temperatures";
        case DataType::Evapotranspiration:
            return "daily potential evapotranspiration";
        case DataType::HourlyRain:
            return "hourly rain";
        case DataType::DailyRain:
            return "daily rain";
    }
    return "";
}

int values_per_record(DataType type) {
    return type == DataType::Temperature ? 2 : 1;
}

SeriesInput::SeriesInput(common::Connection& in, LineTracker& lines, DataType type)
    : in_(&in), lines_(&lines), type_(type) {}

common::ReadStatus SeriesInput::read(InputRecord& r) {
    const int64_t at = in_->mark();
    common::ReadStatus st;
    switch (type_) {
        case DataType::Temperature:
            st = common::read_free(*in_, {year_, jday_, v1_, v2_});
            break;
        case DataType::HourlyRain:
            st = common::read_free(*in_, {year_, daytime_, v1_});
            break;
        default:
            st = common::read_free(*in_, {year_, jday_, v1_});
            break;
    }
    const LinePlace place = lines_->locate(at);
    r.line = place.line;
    r.text = common::printable(place.text.substr(0, 100));
    r.reading = read_line_values(place.text, 2 + values_per_record(type_));
    return st;
}

bool SeriesInput::next(InputRecord& r) {
    if (over_) return false;
    // After the first record the reading stops where the file has no byte
    // left, as METCONV's loop does; trailing blank lines end it as well.
    if (!first_ && in_->at_end()) return false;
    first_ = false;
    r = InputRecord{};
    const common::ReadStatus st = read(r);
    r.year = year_;
    r.jday = type_ == DataType::HourlyRain ? 0 : jday_;
    r.daytime = daytime_;
    r.value[0] = v1_;
    r.value[1] = v2_;
    switch (st) {
        case common::ReadStatus::Done:
            break;
        case common::ReadStatus::EndOfFile:
            return false;
        case common::ReadStatus::CutOff:
            r.refusal = Refusal::CutOff;
            return true;
        case common::ReadStatus::ConversionError:
            if (in_->overlong()) {
                r.refusal = Refusal::TooLong;
                over_ = true;
            } else {
                r.refusal = Refusal::Unreadable;
            }
            return true;
    }
    if (type_ == DataType::HourlyRain) {
        if (daytime_ >= 0.0f && daytime_ < 1000.0f) r.jday = static_cast<int32_t>(daytime_);
        if (!weather::place_reading(year_, daytime_, hour_)) {
            r.refusal = Refusal::OutsideYear;
            return true;
        }
        r.at = hour_;
        // The minute of the reading's day, as the converter rounds it; minute
        // 0 is the last minute of the day before.
        const int32_t whole = static_cast<int32_t>(daytime_);
        const int32_t m = weather::round_nearest((static_cast<double>(daytime_) - static_cast<double>(whole)) * 1440.0);
        r.minute = m == 0 ? 1440 : m;
    } else {
        if (!weather::day_in_year(year_, jday_)) {
            r.refusal = Refusal::OutsideYear;
            return true;
        }
        r.at.year = year_;
        r.at.jday = jday_;
        weather::JDAYMD(year_, jday_, r.at.month, r.at.mday);
    }
    // Readings are in order by their clock hour: the order of readings
    // within one hour does not change what the converter writes.
    r.time_key = serial_day(r.at.year, r.at.jday) * 1440 + (r.minute != 0 ? r.at.hour * 60 : 0);
    return true;
}

}  // namespace weatherview
