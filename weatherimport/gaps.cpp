#include "weatherimport/gaps.h"

#include <cstdio>

namespace weatherimport {
namespace {

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

}  // namespace

void list_gaps(const DailySeries& s, Quantity q, Findings& findings) {
    if (!s.carried[index(q)]) return;
    const size_t n = s.days.size();
    for (size_t i = 0; i < n;) {
        if (s.at(i, q)) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && !s.at(j, q)) ++j;
        const size_t count = j - i;
        findings.push_back({FindingKind::Missing, std::string(quantity_name(q)), iso(s.day(i)), iso(s.day(j - 1)),
                            std::to_string(count) + (count == 1 ? " day" : " days") + " without a value"});
        i = j;
    }
}

void fill_temperature_gaps(DailySeries& s, int max_days, Findings& findings) {
    if (max_days <= 0) return;
    for (Quantity q : {Quantity::Tmax, Quantity::Tmin}) {
        const size_t n = s.days.size();
        for (size_t i = 1; i < n; ++i) {
            if (s.at(i, q) || !s.at(i - 1, q)) continue;
            size_t j = i;
            while (j < n && !s.at(j, q)) ++j;
            if (j == n || j - i > static_cast<size_t>(max_days)) {
                i = j;
                continue;
            }
            const double a = *s.at(i - 1, q), b = *s.at(j, q);
            const double span = static_cast<double>(j - (i - 1));
            for (size_t k = i; k < j; ++k) {
                const double v = a + (b - a) * static_cast<double>(k - (i - 1)) / span;
                s.at(k, q) = v;
                findings.push_back({FindingKind::Filled, std::string(quantity_name(q)), iso(s.day(k)), "",
                                    number(v) + " C by linear interpolation between " + iso(s.day(i - 1)) + " (" +
                                        number(a) + ") and " + iso(s.day(j)) + " (" + number(b) + ")"});
            }
            i = j;
        }
    }
}

std::vector<Day> missing_rain_days(const DailySeries& s) {
    std::vector<Day> days;
    if (!s.carried[index(Quantity::Rain)]) return days;
    for (size_t i = 0; i < s.days.size(); ++i)
        if (!s.at(i, Quantity::Rain)) days.push_back(s.day(i));
    return days;
}

void assume_dry(DailySeries& s, Findings& findings) {
    if (!s.carried[index(Quantity::Rain)]) return;
    for (size_t i = 0; i < s.days.size(); ++i)
        if (!s.at(i, Quantity::Rain)) {
            s.at(i, Quantity::Rain) = 0.0;
            findings.push_back({FindingKind::DryAssumed, "rain", iso(s.day(i)), "",
                                "no rain value: written as a dry day (--missing-rain dry)"});
        }
}

}  // namespace weatherimport
