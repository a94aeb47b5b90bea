#include "weatherview/series_values.h"

#include <algorithm>

#include "weather/conversion.h"
#include "weatherview/dates.h"

namespace weatherview {

using weather::kMissingCode;  // what METCONV writes for a day without a value

SeriesValues::Year* SeriesValues::year_of(int32_t year) {
    auto it = years_.find(year);
    if (it != years_.end()) return &it->second;
    if (years_.size() >= kMaxYears) return nullptr;
    return &years_.try_emplace(year).first->second;
}

void SeriesValues::add(const FileUnit& u) {
    ++statements_;
    if (u.damaged) {
        ++damaged_;
        return;
    }
    Year* y = year_of(u.year);
    if (!y) {
        ++unplaced_;
        return;
    }
    for (int k = 0; k < u.n; ++k) asterisks_ += u.star(k);
    if (type_ == DataType::HourlyRain || type_ == DataType::DailyRain)
        add_rain(u, *y);
    else
        add_daily(u, *y);
}

void SeriesValues::add_daily(const FileUnit& u, Year& y) {
    const uint16_t bit = static_cast<uint16_t>(1u << (u.month - 1));
    const bool again = (y.months & bit) != 0;
    repeated_ += again;
    y.months |= bit;
    const int per_day = type_ == DataType::Temperature ? 2 : 1;
    const int32_t start = month_start(u.year, u.month) - 1;
    for (int d = 0; d * per_day < u.n; ++d) {
        const size_t i = static_cast<size_t>(start) + static_cast<size_t>(d);
        const int k = d * per_day;
        uint8_t state = kValue;
        int32_t a = u.value[k], b = u.value[k];
        if (per_day == 2) {
            a = std::max(u.value[k], u.value[k + 1]);
            b = std::min(u.value[k], u.value[k + 1]);
        }
        if (u.star(k) || (per_day == 2 && u.star(k + 1)))
            state = kTooLarge;
        else if (u.value[k] == kMissingCode || (per_day == 2 && u.value[k + 1] == kMissingCode))
            state = kMissing;
        // A month written again (a year that came back) fills in what the
        // earlier statement lacked and replaces its values with later ones.
        if (again && state != kValue && y.state[i] == kValue) continue;
        y.state[i] = state;
        y.a[i] = a;
        y.b[i] = b;
    }
}

void SeriesValues::add_rain(const FileUnit& u, Year& y) {
    y.months |= static_cast<uint16_t>(1u << (u.month - 1));
    const int32_t start = month_start(u.year, u.month) - 1;
    const int32_t days = month_length(u.year, u.month);
    for (int e = 0; e < u.entries(); ++e) {
        const int32_t mday = u.value[3 * e], hour = u.value[3 * e + 1], amount = u.value[3 * e + 2];
        if (u.star(3 * e) || u.star(3 * e + 1) || mday < 1 || mday > days || hour < 1 || hour > 24) {
            ++unplaced_;
            continue;
        }
        const auto i = static_cast<size_t>(start + mday - 1);
        if (u.star(3 * e + 2)) {
            if (y.state[i] != kValue) y.state[i] = kTooLarge;
            continue;
        }
        if (y.state[i] != kValue) {
            y.state[i] = kValue;
            y.a[i] = 0;
            y.b[i] = amount;
        }
        y.a[i] += amount;
        y.b[i] = std::max(y.b[i], amount);

        const Hour h{u.year, start + mday, hour, amount};
        if (all_hours_) {
            if (hours_.size() < kMaxHours) {
                hours_.push_back(h);
            } else {
                all_hours_ = false;
                std::vector<Hour>().swap(hours_);
            }
        }
        if (largest_.size() < kLargest || amount > largest_.back().amount) {
            auto at = std::upper_bound(largest_.begin(), largest_.end(), amount,
                                       [](int32_t v, const Hour& x) { return v > x.amount; });
            largest_.insert(at, h);
            if (largest_.size() > kLargest) largest_.pop_back();
        }
    }
}

}  // namespace weatherview
