#include "weatherimport/series_writer.h"

#include <cstdio>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "weather/metconv.h"
#include "weatherview/metview.h"

namespace weatherimport {
namespace {

constexpr const char* kMissing = "-99";
constexpr const char* kLineEnd = "\r\n";

std::string day_label(Day d) {
    return std::to_string(year_of(d)) + " " + std::to_string(day_of_year(d));
}

std::string value_or_missing(const std::optional<double>& v) {
    return v ? record_number(*v) : kMissing;
}

}  // namespace

std::string record_number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    std::string s = buf;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

std::string temperature_records(const DailySeries& s, bool fahrenheit) {
    std::string out;
    auto shown = [&](const std::optional<double>& c) -> std::optional<double> {
        if (!c) return std::nullopt;
        return fahrenheit ? to_fahrenheit(*c) : *c;
    };
    for (size_t i = 0; i < s.days.size(); ++i)
        out += day_label(s.day(i)) + " " + value_or_missing(shown(s.at(i, Quantity::Tmax))) + " " +
               value_or_missing(shown(s.at(i, Quantity::Tmin))) + kLineEnd;
    return out;
}

std::string daily_records(const DailySeries& s, Quantity q) {
    std::string out;
    for (size_t i = 0; i < s.days.size(); ++i)
        out += day_label(s.day(i)) + " " + value_or_missing(s.at(i, q)) + kLineEnd;
    return out;
}

std::string pet_records(const DailySeries& s, const std::vector<std::optional<double>>& pet) {
    std::string out;
    for (size_t i = 0; i < s.days.size(); ++i) out += day_label(s.day(i)) + " " + value_or_missing(pet[i]) + kLineEnd;
    return out;
}

std::string hourly_records(const std::vector<std::pair<Minute, double>>& hours) {
    std::string out;
    char buf[48];
    for (const auto& [end, rain] : hours) {
        const Day d = date::floor<date::days>(end);
        const auto minute = (end - Minute{d}).count();
        std::snprintf(buf, sizeof buf, "%.6f", day_of_year(d) + static_cast<double>(minute) / 1440.0);
        out += std::to_string(year_of(d)) + " " + buf + " " + record_number(rain) + kLineEnd;
    }
    return out;
}

Conversion convert_series(const std::string& input, const std::string& records, const std::vector<std::string>& args,
                          bool page) {
    Conversion c;
    c.input = input;
    common::FileSystem& disk = common::disk();
    std::string err;
    auto file = disk.open_write(input, err);
    if (!file) {
        c.error = "cannot write " + input + ": " + err;
        return c;
    }
    if (!file->write(records.data(), records.size()) || !file->close()) {
        c.error = "cannot write " + input + ": " + file->error();
        file->discard();
        return c;
    }
    std::vector<std::string> run_args{input};
    run_args.insert(run_args.end(), args.begin(), args.end());
    const weather::RunParameters p = weather::run_parameters(run_args);
    c.output = p.OUTFILE;
    c.log = p.LOGFILE;
    auto console = common::Connection::in_memory(6, "console");
    const common::RunOutcome r = weather::run_metconv(run_args, *console, {.files = &disk});
    c.console = r.console;
    if (r.log_line) c.log_line = std::string(common::trim_right(*r.log_line));
    c.ok = r.ok;
    if (page && c.ok) {
        auto view_console = common::Connection::in_memory(6, "console");
        const common::PageOutcome v = weatherview::run_metview(run_args, *view_console, disk);
        c.page = v.page;
        c.console.insert(c.console.end(), v.console.begin(), v.console.end());
    }
    return c;
}

}  // namespace weatherimport
