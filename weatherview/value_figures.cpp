#include "weatherview/value_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "weather/calendar.h"
#include "weatherview/dates.h"

namespace weatherview {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kBarsUpTo = 400;             // points drawn as bars up to this many, as a line beyond
constexpr int32_t kHighestTemperature = 134;  // °F, above any temperature measured
constexpr int32_t kLowestTemperature = -90;   // °F, below any measured
constexpr int32_t kLargestEt = 100;           // hundredths of an inch a day
constexpr int32_t kLargestDailyRain = 1500;   // hundredths of an inch a day
constexpr int32_t kLargestHourlyRain = 500;   // hundredths of an inch an hour

bool rain(DataType t) {
    return t == DataType::HourlyRain || t == DataType::DailyRain;
}

// The days the values cover, by serial day, and the time axis they use.
struct Span {
    int64_t first = 0, last = -1;
    // Up to kShortDays days, time is counted in days (and months) from 1
    // January of the first year; beyond, in decimal years.
    bool short_span = false;
    bool one_year = false;
    int32_t year = 0;
};

constexpr int64_t kShortDays = 731;

Span span_of(const SeriesValues& v) {
    Span s;
    bool any = false;
    for (const auto& [year, y] : v.years()) {
        const int32_t n = weather::YEARDAYS(year);
        for (int32_t j = 1; j <= n; ++j) {
            if (y.state[static_cast<size_t>(j - 1)] == SeriesValues::kNone) continue;
            const int64_t d = serial_day(year, j);
            if (!any) s.first = d;
            s.last = d;
            any = true;
        }
    }
    if (!any) return s;
    int32_t y1 = 0, y2 = 0, j = 0;
    from_serial(s.first, y1, j);
    from_serial(s.last, y2, j);
    s.one_year = y1 == y2;
    s.short_span = s.last - s.first < kShortDays;
    s.year = y1;
    return s;
}

// X of day JDAY (a real day of the year, 1.0 at the start of 1 January).
double time_x(const Span& s, int32_t year, double jday) {
    if (s.short_span) return static_cast<double>(serial_day(year, 1) - serial_day(s.year, 1)) + jday;
    return decimal_year(year, jday);
}

figure::AxisSetup time_axis(const Span& s) {
    if (s.one_year) return {"Day of " + std::to_string(s.year), "", figure::Scale::Linear, {}};
    if (s.short_span) return {"Days from 1 January " + std::to_string(s.year), "", figure::Scale::Linear, {}};
    return {"Year", "", figure::Scale::Linear, {}};
}

std::string number(double v) {
    return figure::format_value(std::round(v * 10) / 10);
}

const SeriesValues::Year* year_at(const SeriesValues& v, int32_t year) {
    auto it = v.years().find(year);
    return it == v.years().end() ? nullptr : &it->second;
}

// What one month or one year holds.
struct Tally {
    int64_t sum_a = 0, sum_b = 0;
    int days = 0, missing = 0, too_large = 0;
    bool held = false;  // the file holds something for it
};

Tally tally(const SeriesValues& v, int32_t year, int32_t from, int32_t to) {
    Tally t;
    const SeriesValues::Year* y = year_at(v, year);
    if (!y) return t;
    for (int32_t j = from; j <= to; ++j) {
        const auto i = static_cast<size_t>(j - 1);
        switch (y->state[i]) {
            case SeriesValues::kValue:
                ++t.days;
                t.sum_a += y->a[i];
                t.sum_b += y->b[i];
                break;
            case SeriesValues::kMissing:
                ++t.missing;
                break;
            case SeriesValues::kTooLarge:
                ++t.too_large;
                break;
            default:
                break;
        }
    }
    return t;
}

ValueFigure monthly(const SeriesValues& v, const Span& s) {
    ValueFigure f;
    const DataType t = v.type();
    const bool temp = t == DataType::Temperature;
    figure::Plot& p = f.plot;
    p.id = "monthly";
    p.title = temp ? "Monthly means of the daily maximum and minimum" : "Monthly totals";
    if (s.one_year)
        p.x = {"Month of " + std::to_string(s.year), "", figure::Scale::Linear, {1, 12}};
    else if (s.short_span)
        p.x = {"Months from January " + std::to_string(s.year), "", figure::Scale::Linear, {1}};
    else
        p.x = time_axis(s);
    p.x.whole = true;  // months and years have no halves
    p.y = {temp ? "Mean temperature" : "Monthly " + (rain(t) ? std::string("rain") : std::string("potential ET")),
           std::string(value_unit(t)),
           figure::Scale::Linear,
           {0}};
    figure::Series a{temp ? "Mean daily maximum" : "Monthly total"};
    figure::Series b{"Mean daily minimum"};
    f.data.caption = "Values of " + p.title;
    f.data.header = {"Month"};
    if (temp)
        f.data.header.insert(f.data.header.end(), {"Mean daily maximum (°F)", "Mean daily minimum (°F)"});
    else
        f.data.header.push_back("Total (" + std::string(value_unit(t)) + ")");
    f.data.header.insert(f.data.header.end(), {"Days with a value", "Days missing"});

    int32_t y1 = 0, y2 = 0, j = 0;
    from_serial(s.first, y1, j);
    int32_t m1 = 0, d = 0;
    weather::JDAYMD(y1, j, m1, d);
    from_serial(s.last, y2, j);
    int32_t m2 = 0;
    weather::JDAYMD(y2, j, m2, d);
    // Only the years that hold values are visited (a year typed wrongly
    // may lie centuries away); a line breaks where years are left out.
    auto month_x = [&](int32_t year, int32_t m) {
        if (s.short_span) return static_cast<double>((year - s.year) * 12 + m);
        return decimal_year(year, month_start(year, m) + month_length(year, m) / 2.0);
    };
    int32_t prev = y1;
    for (const auto& [year, held] : v.years()) {
        if (year < y1 || year > y2) continue;
        if (year > prev + 1) {
            a.x.push_back(month_x(prev + 1, 1));
            a.y.push_back(kNone);
            if (temp) {
                b.x.push_back(month_x(prev + 1, 1));
                b.y.push_back(kNone);
            }
        }
        prev = year;
        for (int32_t m = (year == y1 ? m1 : 1); m <= (year == y2 ? m2 : 12); ++m) {
            const int32_t from = month_start(year, m);
            const Tally tl = tally(v, year, from, from + month_length(year, m) - 1);
            const double x = month_x(year, m);
            double ya = kNone, yb = kNone;
            if (temp) {
                if (tl.days > 0) {
                    ya = static_cast<double>(tl.sum_a) / tl.days;
                    yb = static_cast<double>(tl.sum_b) / tl.days;
                }
            } else if (tl.days > 0 || (t == DataType::DailyRain && tl.missing + tl.too_large == 0)) {
                // A month without a rain line had no rain (daily rain); the
                // other quantities show it as missing.
                ya = static_cast<double>(tl.sum_a);
            }
            a.x.push_back(x);
            a.y.push_back(ya);
            if (temp) {
                b.x.push_back(x);
                b.y.push_back(yb);
            }
            char label[32];
            std::snprintf(label, sizeof label, "%d-%02d", year, m);
            std::vector<std::string> row{label, std::isnan(ya) ? "missing" : number(ya)};
            if (temp) row.push_back(std::isnan(yb) ? "missing" : number(yb));
            row.push_back(std::to_string(tl.days));
            row.push_back(std::to_string(tl.missing + tl.too_large));
            f.data.rows.push_back(std::move(row));
        }
    }
    const bool bars = !temp && a.x.size() <= 36;
    a.kind = bars ? figure::SeriesKind::Bars : figure::SeriesKind::Line;
    a.markers = !bars && a.x.size() <= 60;
    b.markers = a.markers;
    p.series.push_back(std::move(a));
    if (temp) p.series.push_back(std::move(b));
    return f;
}

// Hourly rain drawn hour by hour, while the hours are few.
ValueFigure hour_bars(const SeriesValues& v, const Span& s) {
    ValueFigure f;
    figure::Plot& p = f.plot;
    p.x = time_axis(s);
    p.id = "hourly";
    p.title = "Hourly rain";
    p.y = {"Rain in the hour", std::string(value_unit(v.type())), figure::Scale::Linear, {0}};
    figure::Series h{"Hourly rain", {}, {}, figure::SeriesKind::Bars};
    for (const SeriesValues::Hour& x : v.hours()) {
        h.x.push_back(time_x(s, x.year, x.jday + (x.hour - 0.5) / 24.0));
        h.y.push_back(x.amount);
    }
    p.series.push_back(std::move(h));
    return f;
}

// The largest value and the smallest minimum of each group of GROUP days.
struct GroupExtremes {
    std::vector<double> high, low;
};

// Each group of days gets the largest value among its days (and the
// smallest minimum); only the years that hold values are visited.
GroupExtremes group_extremes(const SeriesValues& v, const Span& s, int64_t group, size_t ngroups) {
    const DataType t = v.type();
    const bool hourly = t == DataType::HourlyRain;
    GroupExtremes e{std::vector<double>(ngroups, kNone), std::vector<double>(ngroups, kNone)};
    for (const auto& [year, y] : v.years()) {
        const int64_t start = serial_day(year, 1);
        for (int32_t j = 1; j <= weather::YEARDAYS(year); ++j) {
            const int64_t day = start + j - 1;
            if (day < s.first || day > s.last) continue;
            const auto i = static_cast<size_t>(j - 1);
            double va = kNone, vb = kNone;
            if (y.state[i] == SeriesValues::kValue) {
                va = hourly ? y.b[i] : y.a[i];
                vb = y.b[i];
            } else if (y.state[i] == SeriesValues::kNone && t == DataType::DailyRain) {
                va = 0;  // no entry: a dry day
            }
            const auto g = static_cast<size_t>((day - s.first) / group);
            if (!std::isnan(va)) e.high[g] = std::isnan(e.high[g]) ? va : std::max(e.high[g], va);
            if (!std::isnan(vb)) e.low[g] = std::isnan(e.low[g]) ? vb : std::min(e.low[g], vb);
        }
    }
    return e;
}

ValueFigure daily(const SeriesValues& v, const Span& s) {
    const DataType t = v.type();
    if (t == DataType::HourlyRain && v.all_hours() && v.hours().size() <= kBarsUpTo) return hour_bars(v, s);

    ValueFigure f;
    const bool temp = t == DataType::Temperature;
    figure::Plot& p = f.plot;
    p.x = time_axis(s);
    std::string unit(value_unit(t));
    const int64_t ndays = s.last - s.first + 1;
    const int64_t group = std::max<int64_t>(1, (ndays + kColumns - 1) / kColumns);
    const bool hourly = t == DataType::HourlyRain;
    p.id = hourly ? "hourly" : "daily";
    if (hourly) {
        p.title = "Largest hourly rain of each day";
        p.y = {"Rain in the hour", unit, figure::Scale::Linear, {0}};
    } else {
        p.title = temp ? "Daily maximum and minimum" : "Daily " + std::string(rain(t) ? "rain" : "potential ET");
        p.y = {temp      ? "Temperature"
               : rain(t) ? "Rain in the day"
                         : "Potential ET in the day",
               unit,
               figure::Scale::Linear,
               {0}};
    }
    const auto ngroups = static_cast<size_t>((ndays + group - 1) / group);
    const GroupExtremes e = group_extremes(v, s, group, ngroups);
    figure::Series a{hourly ? "Largest hour of the day" : temp ? "Daily maximum" : p.title};
    figure::Series b{"Daily minimum"};
    for (size_t g = 0; g < ngroups; ++g) {
        int32_t year = 0, jday = 0;
        from_serial(s.first + static_cast<int64_t>(g) * group, year, jday);
        const double x = time_x(s, year, jday + (group > 1 ? group / 2.0 : 0.5));
        a.x.push_back(x);
        a.y.push_back(e.high[g]);
        if (temp) {
            b.x.push_back(x);
            b.y.push_back(e.low[g]);
        }
    }
    const bool bars = !temp && a.x.size() <= kBarsUpTo && group == 1;
    a.kind = bars ? figure::SeriesKind::Bars : figure::SeriesKind::Line;
    p.series.push_back(std::move(a));
    if (temp) p.series.push_back(std::move(b));
    if (group > 1) {
        f.note = "The series covers " + std::to_string(ndays) + " days: each point stands for " +
                 std::to_string(group) + " days and shows the largest value among them" +
                 (temp ? " (the smallest for the daily minimum)." : ".");
    }
    return f;
}

ValueFigure annual(const SeriesValues& v, const Span& s) {
    ValueFigure f;
    const DataType t = v.type();
    const bool temp = t == DataType::Temperature;
    figure::Plot& p = f.plot;
    p.id = "annual";
    p.title = temp ? "Annual means of the daily maximum and minimum" : "Annual totals";
    int32_t y1 = 0, y2 = 0, j = 0;
    from_serial(s.first, y1, j);
    from_serial(s.last, y2, j);
    // A few years: whole years around them; the ticks fall on years.
    p.x = {"Year", "", figure::Scale::Linear, {}};
    p.x.whole = true;
    if (y2 - y1 < 4) p.x.include = {y1 - 1.0, y2 + 1.0};
    p.y = {temp ? "Mean temperature" : "Annual " + (rain(t) ? std::string("rain") : std::string("potential ET")),
           std::string(value_unit(t)),
           figure::Scale::Linear,
           {0}};
    figure::Series a{temp ? "Mean daily maximum" : "Annual total", {}, {}, figure::SeriesKind::Bars};
    figure::Series b{"Mean daily minimum", {}, {}, figure::SeriesKind::Bars};
    f.data.caption = "Values of " + p.title;
    f.data.header = {"Year"};
    if (temp)
        f.data.header.insert(f.data.header.end(), {"Mean daily maximum (°F)", "Mean daily minimum (°F)"});
    else
        f.data.header.push_back("Total (" + std::string(value_unit(t)) + ")");
    f.data.header.insert(f.data.header.end(), {"Days with a value", "Days missing", "Days of the year in the series"});
    for (const auto& [year, held] : v.years()) {
        if (year < y1 || year > y2) continue;
        const Tally tl = tally(v, year, 1, weather::YEARDAYS(year));
        const int64_t in_span =
            std::min(s.last, serial_day(year, weather::YEARDAYS(year))) - std::max(s.first, serial_day(year, 1)) + 1;
        double ya = kNone, yb = kNone;
        if (tl.days > 0) {
            ya = temp ? static_cast<double>(tl.sum_a) / tl.days : static_cast<double>(tl.sum_a);
            yb = static_cast<double>(tl.sum_b) / tl.days;
        } else if (t == DataType::DailyRain && year_at(v, year)) {
            ya = 0;
        }
        a.x.push_back(year);
        a.y.push_back(ya);
        if (temp) {
            b.x.push_back(year);
            b.y.push_back(yb);
        }
        std::vector<std::string> row{std::to_string(year), std::isnan(ya) ? "missing" : number(ya)};
        if (temp) row.push_back(std::isnan(yb) ? "missing" : number(yb));
        row.push_back(std::to_string(tl.days));
        row.push_back(std::to_string(tl.missing + tl.too_large));
        row.push_back(std::to_string(in_span));
        f.data.rows.push_back(std::move(row));
    }
    p.series.push_back(std::move(a));
    if (temp) p.series.push_back(std::move(b));
    if (s.first != serial_day(y1, 1) || s.last != serial_day(y2, weather::YEARDAYS(y2))) {
        f.note =
            "A year the series covers only in part has a partial total or mean; the table under the figure "
            "gives the days of each year.";
    }
    return f;
}

struct Ranked {
    int32_t value, year, jday, hour;
};

figure::Table ranked_table(std::string caption, const std::vector<Ranked>& r, std::string_view unit, bool hours) {
    figure::Table tb;
    tb.caption = std::move(caption);
    tb.header = {"Rank", hours ? "Hour" : "Date", "Value (" + std::string(unit) + ")"};
    int rank = 0;
    for (const Ranked& x : r) {
        tb.rows.push_back({std::to_string(++rank),
                           hours ? hour_text(x.year, x.jday, x.hour) : date_text(x.year, x.jday),
                           std::to_string(x.value)});
    }
    return tb;
}

// The days ranked by A (largest first) or by B (smallest first).
std::vector<Ranked> ranked_days(const SeriesValues& v, bool by_low) {
    std::vector<Ranked> r;
    for (const auto& [year, y] : v.years()) {
        for (int32_t j = 1; j <= weather::YEARDAYS(year); ++j) {
            const auto i = static_cast<size_t>(j - 1);
            if (y.state[i] != SeriesValues::kValue) continue;
            const Ranked x{by_low ? y.b[i] : y.a[i], year, j, 0};
            auto better = [&](const Ranked& p, const Ranked& q) {
                return by_low ? p.value < q.value : p.value > q.value;
            };
            if (r.size() < SeriesValues::kLargest || better(x, r.back())) {
                r.insert(std::upper_bound(r.begin(), r.end(), x, better), x);
                if (r.size() > SeriesValues::kLargest) r.pop_back();
            }
        }
    }
    return r;
}

}  // namespace

std::string_view value_unit(DataType type) {
    return type == DataType::Temperature ? "\xC2\xB0"
                                           "F"
                                         : "hundredths of an inch";
}

std::vector<ValueFigure> value_figures(const SeriesValues& v) {
    const Span s = span_of(v);
    if (s.last < s.first) return {};
    std::vector<ValueFigure> out;
    out.push_back(monthly(v, s));
    out.push_back(daily(v, s));
    int32_t y1 = 0, y2 = 0, j = 0;
    from_serial(s.first, y1, j);
    from_serial(s.last, y2, j);
    // One year has no course of years to draw: its total or mean is shown
    // as a table alone.
    out.push_back(annual(v, s));
    out.back().table_only = y2 == y1;
    return out;
}

std::vector<figure::Table> largest_tables(const SeriesValues& v) {
    const DataType t = v.type();
    const std::string_view unit = value_unit(t);
    std::vector<figure::Table> out;
    if (t == DataType::HourlyRain) {
        std::vector<Ranked> r;
        for (const SeriesValues::Hour& h : v.largest_hours()) r.push_back({h.amount, h.year, h.jday, h.hour});
        out.push_back(ranked_table("The ten largest hourly amounts", r, unit, true));
        return out;
    }
    if (t == DataType::Temperature) {
        out.push_back(ranked_table("The ten highest daily temperatures", ranked_days(v, false), unit, false));
        out.push_back(ranked_table("The ten lowest daily temperatures", ranked_days(v, true), unit, false));
        return out;
    }
    out.push_back(
        ranked_table(t == DataType::DailyRain ? "The ten largest daily rains" : "The ten largest daily values",
                     ranked_days(v, false), unit, false));
    return out;
}

std::string plausibility_warning(const SeriesValues& v, std::string_view units) {
    const DataType t = v.type();
    const std::string u(units);
    auto say = [&](const std::string& what, int32_t value, const std::string& when, const std::string& beyond,
                   const std::string& hint) {
        return what + ", " + std::to_string(value) + " " + std::string(value_unit(t)) + " on " + when + ", " + beyond +
               ": check UNITS " + u + " (" + hint + ")";
    };
    const std::string slip = "millimetres given as centimetres make every value ten times too large";
    if (t == DataType::HourlyRain) {
        if (!v.largest_hours().empty() && v.largest_hours()[0].amount > kLargestHourlyRain) {
            const auto& h = v.largest_hours()[0];
            return say("The largest hourly rain", h.amount, hour_text(h.year, h.jday, h.hour),
                       "is more than an hour's rain can be", slip);
        }
        return {};
    }
    const std::vector<Ranked> high = ranked_days(v, false);
    if (high.empty()) return {};
    if (t == DataType::Temperature) {
        const std::vector<Ranked> low = ranked_days(v, true);
        const std::string hint = "temperatures in degrees C must be given with DC, in degrees F with DF";
        if (high[0].value > kHighestTemperature) {
            return say("The highest daily temperature", high[0].value, date_text(high[0].year, high[0].jday),
                       "is hotter than any temperature measured", hint);
        }
        if (low[0].value < kLowestTemperature) {
            return say("The lowest daily temperature", low[0].value, date_text(low[0].year, low[0].jday),
                       "is colder than any temperature measured", hint);
        }
        return {};
    }
    const int32_t limit = t == DataType::DailyRain ? kLargestDailyRain : kLargestEt;
    if (high[0].value > limit) {
        return say(
            t == DataType::DailyRain ? "The largest daily rain" : "The largest daily potential ET", high[0].value,
            date_text(high[0].year, high[0].jday),
            t == DataType::DailyRain ? "is more than a day's rain can be" : "is more than a day's evaporation can be",
            slip);
    }
    return {};
}

}  // namespace weatherview
