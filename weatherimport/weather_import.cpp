#include "weatherimport/weather_import.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "common/file_system.h"

#include "weatherimport/daily_series.h"
#include "weatherimport/gaps.h"
#include "weatherimport/ghcn_daily.h"
#include "weatherimport/import_page.h"
#include "weatherimport/noaa_csv.h"
#include "weatherimport/pet_hargreaves.h"
#include "weatherimport/pet_thornthwaite.h"
#include "weatherimport/plausibility.h"

namespace weatherimport {
namespace {

// The longest daily series an import lays out, in years.
constexpr int kLongestSeriesYears = 300;

bool ends_with(const std::string& s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    std::string end = s.substr(s.size() - tail.size());
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == tail;
}

char delimiter_for(const ImportOptions& o) {
    if (o.delimiter) return o.delimiter;
    return ends_with(o.file, ".tsv") || ends_with(o.file, ".tab") ? '\t' : ',';
}

const char* format_word(SourceFormat f) {
    switch (f) {
        case SourceFormat::Ghcn:
            return "ghcn";
        case SourceFormat::NoaaCsv:
            return "noaa-csv";
        default:
            return "csv";
    }
}

// Reads the source into SERIES; false with the report's error set.
bool read_source(const ImportOptions& o, const std::string& text, SourceSeries& series, ImportReport& report) {
    SourceFormat format = o.format == SourceFormat::Auto ? detect_format(o.file, text) : o.format;
    report.format = format_word(format);
    Refusal refusal;
    if (format == SourceFormat::Ghcn) {
        if (read_ghcn_daily(o.file, text, series, refusal)) return true;
        report.errors.push_back(refusal.text());
        return false;
    }
    Table table;
    if (!read_table(o.file, text, delimiter_for(o), table, refusal)) {
        report.errors.push_back(refusal.text());
        return false;
    }
    TableLayout layout = o.layout;
    if (format == SourceFormat::NoaaCsv) {
        if (!o.noaa_metric) {
            report.errors.push_back(o.file + ": a NOAA export's units are declared with --units metric|standard");
            report.status = 2;  // a usage error: nothing was read
            return false;
        }
        if (!noaa_layout(table, *o.noaa_metric, layout, refusal)) {
            report.errors.push_back(refusal.text());
            return false;
        }
    } else if (layout.columns.empty()) {
        report.errors.push_back(o.file + ": name the columns to read (--tmax-column, --rain-column, ...)");
        return false;
    }
    if (read_table_series(table, layout, series, refusal)) return true;
    report.errors.push_back(refusal.text());
    return false;
}

std::string model_args_path(const ImportOptions& o, const char* suffix) {
    return (o.out_dir.empty() ? std::string(".") : o.out_dir) + "/" + o.name + suffix;
}

void add_conversion(ImportReport& report, Conversion c) {
    if (!c.error.empty())
        report.errors.push_back(c.error);
    else if (!c.ok)
        report.errors.push_back(c.input + ": METCONV: " + c.log_line);
    if (!c.error.empty() || !c.ok) report.status = 1;
    report.conversions.push_back(std::move(c));
}

// Hourly rain: sorted by hour, repeats and order listed, gaps between the
// first and the last hour listed; missing hours refused or written dry.
void import_hourly(const ImportOptions& o, SourceSeries& source, ImportReport& report) {
    auto& readings = source.hourly_rain;
    for (size_t k = 1; k < readings.size(); ++k)
        if (readings[k].hour_end < readings[k - 1].hour_end)
            report.findings.push_back({FindingKind::Check, "rain", iso(readings[k].hour_end), "",
                                       "out of order: comes after " + iso(readings[k - 1].hour_end) + " in the source",
                                       readings[k].at});
    std::stable_sort(readings.begin(), readings.end(),
                     [](const HourlyReading& a, const HourlyReading& b) { return a.hour_end < b.hour_end; });
    std::vector<std::pair<Minute, std::optional<double>>> hours;
    for (size_t k = 0; k < readings.size(); ++k) {
        const HourlyReading& r = readings[k];
        if (!hours.empty() && hours.back().first == r.hour_end) {
            report.findings.push_back(
                {FindingKind::Check, "rain", iso(r.hour_end), "", "repeated hour: the first reading is kept", r.at});
            continue;
        }
        while (!hours.empty() && hours.back().first + std::chrono::hours{1} < r.hour_end)
            hours.emplace_back(hours.back().first + std::chrono::hours{1}, std::nullopt);
        hours.emplace_back(r.hour_end, r.rain);
    }
    if (hours.empty()) {
        report.errors.push_back(o.file + ": no hourly rain reading");
        report.status = 1;
        return;
    }
    report.first = iso(hours.front().first);
    report.last = iso(hours.back().first);
    // Runs of hours without a reading.
    size_t missing = 0;
    for (size_t i = 0; i < hours.size();) {
        if (hours[i].second) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < hours.size() && !hours[j].second) ++j;
        missing += j - i;
        report.findings.push_back({o.missing_rain_dry ? FindingKind::DryAssumed : FindingKind::Missing, "rain",
                                   iso(hours[i].first), j - i > 1 ? iso(hours[j - 1].first) : "",
                                   std::to_string(j - i) + (j - i == 1 ? " hour" : " hours") + " (ending then) " +
                                       (o.missing_rain_dry ? "without a reading, written as dry (--missing-rain dry)"
                                                           : "without a reading")});
        i = j;
    }
    if (missing > 0 && !o.missing_rain_dry) {
        report.errors.push_back(o.file + ": " + std::to_string(missing) +
                                " hours without rain readings; the rain file has no missing code, so a missing hour "
                                "would be a dry hour: no rain file written (--missing-rain dry writes them as dry)");
        report.status = 1;
        return;
    }
    std::vector<std::pair<Minute, double>> written;
    for (const auto& [end, rain] : hours) written.emplace_back(end, rain.value_or(0.0));
    add_conversion(report, convert_series(model_args_path(o, "_hr.dat"), hourly_records(written),
                                          {"HR", "MM", std::to_string(o.station)}, o.pages));
}

}  // namespace

// Writes the import's page beside the files; a page that cannot be
// written is an error of the import.
static void write_page(const ImportOptions& o, ImportReport& report) {
    const std::string name = import_page_name(o.out_dir, o.name);
    const std::string html = import_page(o, report);
    std::string err;
    auto file = common::disk().open_write(name, err);
    if (file && file->write(html.data(), html.size()) && file->close()) {
        report.page = name;
        return;
    }
    if (file) err = file->error(), file->discard();
    report.errors.push_back("cannot write " + name + ": " + err);
    report.status = 1;
}

SourceFormat detect_format(const std::string& file, std::string_view text) {
    if (ends_with(file, ".dly")) return SourceFormat::Ghcn;
    const std::string_view first = text.substr(0, text.find('\n'));
    if (first.find("\"STATION\"") != std::string_view::npos && first.find("\"DATE\"") != std::string_view::npos)
        return SourceFormat::NoaaCsv;
    return SourceFormat::Csv;
}

// PET of each day by the method O asks for, into PET; the days without a
// value listed among the findings. False, with an error, when the method
// cannot be used on this series.
static bool compute_pet(const ImportOptions& o, const DailySeries& s, std::vector<std::optional<double>>& pet,
                        ImportReport& report) {
    bool have_pet = true;
    pet.assign(s.days.size(), std::nullopt);
    std::string why;
    if (o.pet == PetMethod::Thornthwaite) {
        if (!thornthwaite_series(s, o.site.latitude, pet, why)) {
            report.errors.push_back(o.file + ": " + why);
            report.status = 1;
            have_pet = false;
        }
    } else {
        std::map<std::string, int> estimates, lacking;
        for (size_t i = 0; i < s.days.size(); ++i) {
            const auto &hi = s.at(i, Quantity::Tmax), &lo = s.at(i, Quantity::Tmin);
            if (!hi || !lo) continue;
            const int doy = day_of_year(s.day(i));
            if (o.pet == PetMethod::Hargreaves) {
                pet[i] = hargreaves_et0(*hi, *lo, o.site.latitude, doy);
                continue;
            }
            PenmanDay d{*hi,
                        *lo,
                        s.at(i, Quantity::Tdew),
                        s.at(i, Quantity::RhMax),
                        s.at(i, Quantity::RhMin),
                        s.at(i, Quantity::RhMean),
                        s.at(i, Quantity::Wind),
                        s.at(i, Quantity::Solar),
                        s.at(i, Quantity::Sunshine)};
            std::string missing, estimated;
            pet[i] = penman_monteith_et0(d, o.site, doy, missing, estimated);
            if (!pet[i]) ++lacking[missing];
            if (!estimated.empty()) ++estimates[estimated];
        }
        for (const auto& [what, days] : lacking)
            report.findings.push_back({FindingKind::Missing, "pet", report.first, report.last,
                                       "no Penman-Monteith value on " + std::to_string(days) +
                                           " days with temperatures: no " + what + " (written -99)"});
        for (const auto& [what, days] : estimates)
            report.findings.push_back({FindingKind::Estimated, "pet", report.first, report.last,
                                       what + " on " + std::to_string(days) + " days, as asked"});
    }
    // Days without a PET value, run by run.
    if (have_pet) {
        DailySeries p;
        p.first = s.first;
        p.days.resize(s.days.size());
        p.carried[index(Quantity::Pet)] = true;
        for (size_t i = 0; i < s.days.size(); ++i) p.at(i, Quantity::Pet) = pet[i];
        Findings gaps;
        list_gaps(p, Quantity::Pet, gaps);
        for (Finding& f : gaps) f.text += " (an input of these days is missing)";
        report.findings.insert(report.findings.end(), gaps.begin(), gaps.end());
    }
    return have_pet;
}

// The import itself; run_import adds the page.
static ImportReport import_series(const ImportOptions& o) {
    ImportReport report;
    std::ifstream in(o.file, std::ios::binary);
    if (!in) {
        report.errors.push_back(o.file + ": cannot be read");
        report.status = 1;
        return report;
    }
    std::stringstream buf;
    buf << in.rdbuf();
    const std::string text = buf.str();

    SourceSeries source;
    if (!read_source(o, text, source, report)) {
        report.status = std::max(report.status, 1);
        return report;
    }
    report.findings = source.findings;
    if (!source.hourly_rain.empty() || !o.layout.datetime_column.empty()) {
        import_hourly(o, source, report);
        return report;
    }

    // A year typed wrong (0201 for 2001) would stretch the series over
    // centuries of missing days: refused, with the two ends named.
    if (!source.observations.empty()) {
        auto [lo, hi] = std::minmax_element(source.observations.begin(), source.observations.end(),
                                            [](const Observation& a, const Observation& b) { return a.day < b.day; });
        if (year_of(hi->day) - year_of(lo->day) > kLongestSeriesYears) {
            report.errors.push_back(o.file + ": the series runs from " + iso(lo->day) + " (" + where(lo->at) + ") to " +
                                    iso(hi->day) + " (" + where(hi->at) + "), more than " +
                                    std::to_string(kLongestSeriesYears) + " years: is a year mistyped?");
            report.status = 1;
            return report;
        }
    }
    DailySeries s = lay_out_days(source, report.findings);
    if (s.days.empty()) {
        report.errors.push_back(o.file + ": no day with a value");
        report.status = 1;
        return report;
    }
    report.first = iso(s.day(0));
    report.last = iso(s.day(s.days.size() - 1));
    for (Quantity q : {Quantity::Tmax, Quantity::Tmin, Quantity::Rain, Quantity::Pet}) list_gaps(s, q, report.findings);
    fill_temperature_gaps(s, o.fill_temperature_gaps, report.findings);
    check_plausibility(s, source.temperature_unit, source.rain_unit, report.findings);

    // Temperatures: written in the unit they were measured in, so that a
    // value given in whole or half degrees F is rounded once, by METCONV.
    const bool temperatures = s.carried[index(Quantity::Tmax)] || s.carried[index(Quantity::Tmin)];
    if (temperatures) {
        const bool fahrenheit = source.temperature_unit == TemperatureUnit::Fahrenheit;
        add_conversion(report, convert_series(model_args_path(o, "_tp.dat"), temperature_records(s, fahrenheit),
                                              {"TP", fahrenheit ? "DF" : "DC", std::to_string(o.station)}, o.pages));
    }

    // Potential evapotranspiration: from the source, or computed.
    std::vector<std::optional<double>> pet;
    bool have_pet = false;
    if (s.carried[index(Quantity::Pet)]) {
        for (size_t i = 0; i < s.days.size(); ++i) pet.push_back(s.at(i, Quantity::Pet));
        have_pet = true;
    } else if (o.pet != PetMethod::None) {
        have_pet = compute_pet(o, s, pet, report);
    }
    if (have_pet && std::none_of(pet.begin(), pet.end(), [](const auto& v) { return v.has_value(); })) {
        report.errors.push_back(o.file + ": no day has a PET value (listed): no PET file written");
        report.status = 1;
        have_pet = false;
    }
    if (have_pet)
        add_conversion(report, convert_series(model_args_path(o, "_et.dat"), pet_records(s, pet),
                                              {"ET", "MM", std::to_string(o.station)}, o.pages));

    // Daily rain: no missing code in the model's rain file.
    if (s.carried[index(Quantity::Rain)]) {
        const std::vector<Day> missing = missing_rain_days(s);
        if (!missing.empty() && !o.missing_rain_dry) {
            report.errors.push_back(o.file + ": " + std::to_string(missing.size()) +
                                    (missing.size() == 1 ? " day" : " days") +
                                    " without a rain value (listed); the rain file has no missing code, so a "
                                    "missing day would be a dry day: no rain file written (--missing-rain dry "
                                    "writes them as dry)");
            report.status = 1;
        } else {
            assume_dry(s, report.findings);
            add_conversion(report, convert_series(model_args_path(o, "_dr.dat"), daily_records(s, Quantity::Rain),
                                                  {"DR", "MM", std::to_string(o.station), std::to_string(o.hours),
                                                   std::to_string(o.begin)},
                                                  o.pages));
        }
    }
    return report;
}

ImportReport run_import(const ImportOptions& o) {
    ImportReport report = import_series(o);
    if (o.pages) write_page(o, report);
    return report;
}

}  // namespace weatherimport
