#include "weatherview/unit_compare.h"

#include "weatherview/dates.h"

namespace weatherview {

UnitComparer::UnitComparer(DataType type, int32_t sta, WeatherFileReader* file, SeriesValues& values)
    : type_(type), sta_(sta), file_(file), values_(&values) {}

std::string UnitComparer::label(const FileUnit& u) const {
    const bool rain = type_ == DataType::HourlyRain || type_ == DataType::DailyRain;
    return std::string(rain ? "a line for " : "the statement for ") + month_name(u.month) + " " +
           std::to_string(u.year) +
           (rain ? " with " + std::to_string(u.entries()) + (u.entries() == 1 ? " entry" : " entries") : "");
}

void UnitComparer::differ(int64_t line, std::string what) {
    ++count_;
    if (listed_.size() < kListed) listed_.push_back({line, std::move(what)});
}

void UnitComparer::unit(const FileUnit& expected) {
    ++expected_;
    if (!file_) {
        values_->add(expected);
        return;
    }
    FileUnit found;
    if (file_ended_ || !file_->next(found)) {
        if (!file_ended_) {
            differ(0, "the file ends after line " + std::to_string(last_line_) + ", where METCONV writes " +
                          label(expected) + " next");
        } else {
            ++count_;  // one more statement missing; the first says where
        }
        file_ended_ = true;
        return;
    }
    ++read_;
    last_line_ = found.line;
    values_->add(found);
    compare(expected, found);
}

void UnitComparer::compare(const FileUnit& e, const FileUnit& f) {
    if (f.damaged) {
        differ(f.line, "the line does not read as " + std::string(file_words(type_)) + " holds it");
        return;
    }
    if (f.sta != sta_) {
        if (other_station_++ == 0) {
            other_sta_ = f.sta;
            other_line_ = f.line;
        }
    }
    if (f.year != e.year || f.month != e.month) {
        differ(f.line, "the file holds " + month_name(f.month) + " " + std::to_string(f.year) +
                           " where METCONV writes " + label(e));
        return;
    }
    if (f.n != e.n) {
        differ(f.line, "the file holds " + label(f) + " where METCONV writes " + label(e));
        return;
    }
    for (int k = 0; k < e.n; ++k) {
        const bool should_star = !fits(e.value[k], f.width[k]);
        if (f.star(k) == should_star && (should_star || f.value[k] == e.value[k])) continue;
        const std::string in_file = f.star(k) ? std::string(f.width[k], '*') : std::to_string(f.value[k]);
        differ(f.line, month_name(e.month) + " " + std::to_string(e.year) + ", " + value_words(type_, e, k) +
                           ": the input gives " + std::to_string(e.value[k]) + ", the file holds " + in_file);
        return;
    }
}

void UnitComparer::take_all() {
    if (!file_) return;
    FileUnit found;
    while (file_->next(found)) {
        ++read_;
        values_->add(found);
    }
}

void UnitComparer::finish() {
    if (!file_ || file_ended_) return;
    FileUnit found;
    bool first = true;
    while (file_->next(found)) {
        ++read_;
        values_->add(found);
        if (first) {
            differ(found.line, "the file goes on with " +
                                   (found.damaged ? std::string("a line that does not read") : label(found)) +
                                   " where METCONV's output ends");
            first = false;
        } else {
            ++count_;
        }
    }
}

}  // namespace weatherview
