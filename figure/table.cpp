#include "figure/table.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace figure {

namespace {

bool same_values(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i]) && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
    }
    return true;
}

}  // namespace

std::string format_value(double v) {
    if (std::isnan(v)) return "missing";
    if (std::isinf(v)) return v > 0 ? "\xE2\x88\x9E" : "\xE2\x88\x92\xE2\x88\x9E";
    if (v == 0) return "0";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    std::string s(buf);
    const size_t e = s.find('e');
    if (e == std::string::npos) return s;
    // "1.5e-07" -> "1.5e-7", "2e+08" -> "2e8"
    std::string exp = s.substr(e + 1);
    const bool neg = exp[0] == '-';
    exp.erase(0, 1);
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    return s.substr(0, e) + "e" + (neg ? "-" : "") + exp;
}

Table plot_table(const Plot& plot) {
    Table t;
    t.caption = plot.title.empty() ? std::string("Values") : "Values of " + plot.title;
    const std::string xtitle = axis_title(plot.x);
    const std::string ytitle = axis_title(plot.y);
    bool shared = !plot.series.empty();
    for (const Series& s : plot.series) shared = shared && same_values(s.x, plot.series[0].x);
    if (shared) {
        t.header.push_back(xtitle);
        for (const Series& s : plot.series) t.header.push_back(s.name);
        const std::vector<double>& x = plot.series[0].x;
        for (size_t i = 0; i < x.size(); ++i) {
            std::vector<std::string> row{format_value(x[i])};
            for (const Series& s : plot.series) {
                row.push_back(i < s.y.size() ? format_value(s.y[i]) : std::string("missing"));
            }
            t.rows.push_back(std::move(row));
        }
        return t;
    }
    t.header = {"Series", xtitle, ytitle};
    for (const Series& s : plot.series) {
        for (size_t i = 0; i < s.x.size(); ++i) {
            t.rows.push_back(
                {s.name, format_value(s.x[i]), i < s.y.size() ? format_value(s.y[i]) : std::string("missing")});
        }
    }
    return t;
}

}  // namespace figure
