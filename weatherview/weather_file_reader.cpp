#include "weatherview/weather_file_reader.h"

#include <algorithm>

#include "common/number_parse.h"
#include "weather/weather_files.h"
#include "weatherview/dates.h"

namespace weatherview {

const common::Layout& file_layout(DataType type) {
    switch (type) {
        case DataType::Temperature:
            return weather::temperature_layout();
        case DataType::Evapotranspiration:
            return weather::evapotranspiration_layout();
        case DataType::HourlyRain:
            return weather::hourly_rain_layout();
        case DataType::DailyRain:
            break;
    }
    return weather::daily_rain_layout();
}

std::string_view file_words(DataType type) {
    switch (type) {
        case DataType::Temperature:
            return "temperature file (.TEM)";
        case DataType::Evapotranspiration:
            return "evapotranspiration file (.PET)";
        default:
            return "rain file (.RAI)";
    }
}

FieldCursor::FieldCursor(common::Connection& c, const common::Layout& layout)
    : c_(&c), layout_(&layout), walker_(layout) {}

bool FieldCursor::next_line() {
    if (eof_) return false;
    if (c_->next_record(rec_) != common::RecordStatus::Ok) {
        eof_ = true;
        rec_ = {};
        return false;
    }
    ++lines_;
    col_ = 0;
    return true;
}

bool FieldCursor::start() {
    walker_ = common::LayoutWalker(*layout_);
    if (!next_line()) return false;
    first_line_ = lines_;
    return true;
}

FieldCursor::Field FieldCursor::next(std::string_view& text) {
    for (;;) {
        const common::Item* it = walker_.next();
        if (!it) {
            // Values beyond the layout go on at its point of reuse, on a new line.
            walker_.restart();
            if (!next_line()) return Field::EndOfFile;
            continue;
        }
        switch (it->kind) {
            case common::ItemKind::Blank:
            case common::ItemKind::Literal:
                col_ += static_cast<size_t>(it->width);
                continue;
            case common::ItemKind::Slash:
                if (!next_line()) return Field::EndOfFile;
                continue;
            case common::ItemKind::GroupBegin:
            case common::ItemKind::GroupEnd:
                continue;
            default:
                break;
        }
        const auto w = static_cast<size_t>(it->width < 0 ? 0 : it->width);
        if (col_ >= rec_.size()) {
            col_ += w;
            return Field::PastLine;
        }
        text = rec_.substr(col_, w);
        col_ += w;
        return Field::Ok;
    }
}

void FieldCursor::finish() {
    for (const common::Item* it = walker_.next(); it; it = walker_.next()) {
        if (it->kind == common::ItemKind::Slash && !next_line()) return;
    }
}

WeatherFileReader::WeatherFileReader(common::Connection& c, DataType type)
    : type_(type), cursor_(c, file_layout(type)) {
    // The data fields of one pass through the layout, after station, year
    // and month.
    common::LayoutWalker w(file_layout(type));
    int fields = 0;
    for (const common::Item* it = w.next(); it; it = w.next()) fields += it->is_data();
    entry_fields_ = std::min(fields - 3, FileUnit::kMaxValues);
}

bool WeatherFileReader::field(FileUnit& u, int32_t& v, bool& stars, uint8_t& width) {
    std::string_view text;
    switch (cursor_.next(text)) {
        case FieldCursor::Field::Ok:
            break;
        case FieldCursor::Field::PastLine:
        case FieldCursor::Field::EndOfFile:
            u.damaged = true;
            return false;
    }
    width = static_cast<uint8_t>(text.size());
    stars = !text.empty() && text.find_first_not_of('*') == std::string_view::npos;
    if (stars) return true;
    if (!common::read_int_field(text, v)) {
        u.damaged = true;
        return false;
    }
    return true;
}

bool WeatherFileReader::next(FileUnit& u) {
    u = FileUnit{};
    if (!cursor_.start()) return false;
    u.line = cursor_.statement_line();
    bool stars = false;
    uint8_t width = 0;
    int32_t* header[3] = {&u.sta, &u.year, &u.month};
    for (int32_t* h : header) {
        if (!field(u, *h, stars, width)) {
            cursor_.finish();
            return true;
        }
        u.header_stars = u.header_stars || stars;
    }
    if (u.header_stars || u.month < 1 || u.month > 12) {
        u.damaged = true;
        cursor_.finish();
        return true;
    }
    auto take = [&](int k) {
        stars = false;
        if (!field(u, u.value[k], stars, u.width[k])) return false;
        if (stars) u.stars |= uint64_t{1} << k;
        u.n = k + 1;
        return true;
    };
    if (type_ == DataType::HourlyRain || type_ == DataType::DailyRain) {
        // As many entries as the line holds, at most the layout's.
        for (int k = 0; k < entry_fields_ && !cursor_.line_done(); ++k) {
            if (!take(k)) break;
        }
        if (u.n % 3 != 0) u.damaged = true;
    } else {
        const int per_day = type_ == DataType::Temperature ? 2 : 1;
        const int n = month_length(u.year, u.month) * per_day;
        for (int k = 0; k < n; ++k) {
            if (!take(k)) break;
        }
    }
    cursor_.finish();
    return true;
}

std::string value_words(DataType type, const FileUnit& u, int k) {
    switch (type) {
        case DataType::Temperature:
            return "day " + std::to_string(k / 2 + 1) + (k % 2 == 0 ? ", first temperature" : ", second temperature");
        case DataType::Evapotranspiration:
            return "day " + std::to_string(k + 1);
        default:
            break;
    }
    const int e = k / 3;
    std::string s = "entry " + std::to_string(e + 1);
    if (e * 3 + 1 < u.n)
        s += " (day " + std::to_string(u.value[e * 3]) + ", hour " + std::to_string(u.value[e * 3 + 1]) + ")";
    static constexpr const char* kPart[3] = {": day of the month", ": hour", ": rain"};
    return s + kPart[k % 3];
}

}  // namespace weatherview
