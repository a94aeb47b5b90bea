#include "weatherimport/plausibility.h"

#include <cstdio>
#include <map>

namespace weatherimport {
namespace {

// Air temperatures measured near the ground lie within about -89.2 C
// (Vostok, 1983) and 56.7 C (Death Valley, 1913); the most rain gauged in
// one day is about 1825 mm (Foc-Foc, Reunion, 1966); only a handful of
// stations in the world gauge more than 12 000 mm in a year.
constexpr double kColdest = -90.0, kHottest = 60.0;  // degrees C
constexpr double kWettestDay = 1830.0;               // mm
constexpr double kWettestYear = 13000.0;             // mm
constexpr double kMostPet = 25.0;                    // mm/day

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

double in_unit(double mm, DepthUnit u) {
    return u == DepthUnit::Millimetre ? mm : u == DepthUnit::Centimetre ? mm / 10.0 : mm / 25.4;
}

}  // namespace

void check_plausibility(const DailySeries& s, TemperatureUnit tu, DepthUnit ru, Findings& out) {
    Findings findings;
    auto shown_t = [&](double c) {
        return fmt(tu == TemperatureUnit::Celsius ? c : to_fahrenheit(c)) + " " + unit_word(tu);
    };
    size_t swapped = 0, both = 0;
    for (size_t i = 0; i < s.days.size(); ++i) {
        const auto &hi = s.at(i, Quantity::Tmax), &lo = s.at(i, Quantity::Tmin);
        if (hi && lo) {
            ++both;
            if (*hi < *lo) {
                ++swapped;
                findings.push_back({FindingKind::Check, "tmax", iso(s.day(i)), "",
                                    "Tmax " + shown_t(*hi) + " below Tmin " + shown_t(*lo)});
            }
        }
        for (Quantity q : {Quantity::Tmax, Quantity::Tmin, Quantity::Tdew}) {
            const auto& t = s.at(i, q);
            if (t && (*t < kColdest || *t > kHottest))
                findings.push_back({FindingKind::Check, std::string(quantity_name(q)), iso(s.day(i)), "",
                                    shown_t(*t) + " is beyond any air temperature measured; is the unit " +
                                        unit_word(tu) + " right?"});
        }
        if (const auto& r = s.at(i, Quantity::Rain)) {
            if (*r < 0.0)
                findings.push_back({FindingKind::Check, "rain", iso(s.day(i)), "",
                                    "negative rain " + fmt(in_unit(*r, ru)) + " " + unit_word(ru)});
            else if (*r > kWettestDay)
                findings.push_back({FindingKind::Check, "rain", iso(s.day(i)), "",
                                    fmt(in_unit(*r, ru)) + " " + unit_word(ru) + " (" + fmt(*r) +
                                        " mm) in one day is beyond any rain gauged; is the unit " + unit_word(ru) +
                                        " right?"});
        }
        if (const auto& p = s.at(i, Quantity::Pet); p && (*p < 0.0 || *p > kMostPet))
            findings.push_back({FindingKind::Check, "pet", iso(s.day(i)), "",
                                "PET " + fmt(*p) + " mm/day is outside 0 to 25 mm/day; is the unit right?"});
    }
    // Swapped columns first: it explains the day-by-day findings after it.
    if (both > 0 && swapped * 2 > both)
        out.push_back({FindingKind::Check, "tmax", "", "",
                       "Tmax lies below Tmin on " + std::to_string(swapped) + " of " + std::to_string(both) +
                           " days: are the Tmax and Tmin columns swapped?"});
    if (s.carried[index(Quantity::Rain)]) {
        std::map<int, std::pair<double, int>> years;  // total (mm), days with a value
        for (size_t i = 0; i < s.days.size(); ++i)
            if (const auto& r = s.at(i, Quantity::Rain); r && *r > 0.0) {
                auto& y = years[year_of(s.day(i))];
                y.first += *r, ++y.second;
            }
        for (const auto& [year, total] : years)
            if (total.first > kWettestYear)
                findings.push_back({FindingKind::Check, "rain", std::to_string(year), "",
                                    "a year's rain of " + fmt(in_unit(total.first, ru)) + " " + unit_word(ru) +
                                        " is beyond any rain gauged in a year; is the unit " + unit_word(ru) +
                                        " right?"});
    }
    out.insert(out.end(), findings.begin(), findings.end());
}

}  // namespace weatherimport
