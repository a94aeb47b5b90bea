// `drainprep weather import`: one station's weather from a GHCN-Daily file,
// a NOAA daily CSV export or any table with a header, into the model's
// weather files, every gap, flag, fill and failed check listed.
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "command/subcommands.h"
#include "weatherimport/weather_import.h"

namespace command {
namespace {

using weatherimport::Quantity;

struct ImportArgs {
    weatherimport::ImportOptions o;
    std::string format = "auto", units, pet = "none", delimiter;
    std::string temperature_unit, rain_unit, pet_unit, wind_unit;
    std::string hour_convention, missing_rain;
    std::map<Quantity, std::string> columns;
    std::vector<std::string> flag_columns;
    std::vector<std::string> missing;
    bool decimal_comma = false;
    std::optional<double> latitude, elevation, wind_height, assumed_wind, krs;
    bool humidity_from_tmin = false;
    std::string json;
};

// The usage checks of a table's layout: the unit of every column that has
// one, how the day is named, hourly rain; "" when they hold together.
std::string check_table_usage(ImportArgs& a) {
    auto& o = a.o;
    // A table's units are declared for every column that has one.
    auto& l = o.layout;
    const auto named = [&](std::initializer_list<Quantity> qs) {
        for (Quantity q : qs)
            if (a.columns.count(q)) return true;
        return false;
    };
    if (named({Quantity::Tmax, Quantity::Tmin, Quantity::Tdew}) && a.temperature_unit.empty())
        return "a temperature column needs --temperature-unit C|F";
    if (named({Quantity::Rain}) && a.rain_unit.empty()) return "--rain-column needs --rain-unit mm|cm|in";
    if (named({Quantity::Pet}) && a.pet_unit.empty()) return "--pet-column needs --pet-unit mm|cm|in";
    if (named({Quantity::Wind}) && a.wind_unit.empty()) return "--wind-column needs --wind-unit m/s|km/h";
    if (!a.temperature_unit.empty()) l.temperature_unit = *weatherimport::temperature_unit(a.temperature_unit);
    if (!a.rain_unit.empty()) l.rain_unit = *weatherimport::depth_unit(a.rain_unit);
    if (!a.pet_unit.empty()) l.pet_unit = *weatherimport::depth_unit(a.pet_unit);
    if (!a.wind_unit.empty()) l.wind_unit = *weatherimport::speed_unit(a.wind_unit);
    l.decimal_comma = a.decimal_comma;
    l.missing_codes = a.missing;
    for (const auto& [q, name] : a.columns) l.columns.emplace_back(q, name);
    for (const std::string& f : a.flag_columns) {
        const size_t eq = f.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == f.size())
            return "--flag-column takes VALUE_COLUMN=FLAG_COLUMN, not \"" + f + "\"";
        l.flag_columns.emplace_back(f.substr(0, eq), f.substr(eq + 1));
    }
    if (a.delimiter == "tab")
        o.delimiter = '\t';
    else if (a.delimiter == "comma")
        o.delimiter = ',';
    else if (a.delimiter == "semicolon")
        o.delimiter = ';';
    const bool by_date = !l.date_column.empty();
    const bool by_doy = !l.year_column.empty() && !l.doy_column.empty();
    const bool by_ymd = !l.year_column.empty() && !l.month_column.empty() && !l.day_column.empty();
    const bool hourly = !l.datetime_column.empty();
    const int ways = by_date + by_doy + by_ymd + hourly;
    if (o.format == weatherimport::SourceFormat::Csv || (o.format == weatherimport::SourceFormat::Auto && ways > 0)) {
        if (ways != 1)
            return "name the day by exactly one of --date-column, --year-column with --doy-column, --year-column "
                   "with --month-column and --day-column, or (hourly rain) --datetime-column";
    }
    if (hourly) {
        if (a.hour_convention.empty())
            return "--datetime-column needs --hour-convention ending|beginning (does the time stamp end or start "
                   "its hour?)";
        l.hour_ending = a.hour_convention == "ending";
        if (a.columns.size() != 1 || !a.columns.count(Quantity::Rain))
            return "an hourly series is rain only: --rain-column alone";
        if (o.pet != weatherimport::PetMethod::None) return "--pet needs daily temperatures, not hourly rain";
    }
    return "";
}

// The usage checks CLI11 cannot make; "" when the options hold together.
std::string check_usage(ImportArgs& a) {
    auto& o = a.o;
    if (o.name.empty() || o.name.find_first_of("./\\ ") != std::string::npos)
        return "--name is a plain name without dots, slashes or blanks (the converter cuts its file names at the "
               "first dot)";
    if (o.station < 0 || o.station > 999999) return "--station is a number of at most six digits";
    static const std::map<std::string, weatherimport::SourceFormat> formats = {
        {"auto", weatherimport::SourceFormat::Auto},
        {"ghcn", weatherimport::SourceFormat::Ghcn},
        {"noaa-csv", weatherimport::SourceFormat::NoaaCsv},
        {"csv", weatherimport::SourceFormat::Csv}};
    o.format = formats.at(a.format);
    o.missing_rain_dry = a.missing_rain == "dry";
    if (!a.units.empty()) o.noaa_metric = a.units == "metric";
    static const std::map<std::string, weatherimport::PetMethod> methods = {
        {"none", weatherimport::PetMethod::None},
        {"hargreaves", weatherimport::PetMethod::Hargreaves},
        {"thornthwaite", weatherimport::PetMethod::Thornthwaite},
        {"penman-monteith", weatherimport::PetMethod::PenmanMonteith}};
    o.pet = methods.at(a.pet);
    if (o.pet != weatherimport::PetMethod::None) {
        if (!a.latitude) return "--pet needs --latitude (degrees, north positive)";
        if (a.columns.count(Quantity::Pet)) return "--pet computes PET: do not name a --pet-column as well";
    }
    if (a.latitude) o.site.latitude = *a.latitude;
    if (o.pet == weatherimport::PetMethod::PenmanMonteith) {
        if (!a.elevation) return "--pet penman-monteith needs --elevation (m)";
        if (a.columns.count(Quantity::Wind) && !a.wind_height)
            return "--wind-column needs --wind-height (m above ground)";
    }
    if (a.elevation) o.site.elevation = *a.elevation;
    if (a.wind_height) o.site.wind_height = *a.wind_height;
    o.site.assumed_wind = a.assumed_wind;
    o.site.rs_krs = a.krs;
    o.site.humidity_from_tmin = a.humidity_from_tmin;
    const std::string table = check_table_usage(a);
    if (!table.empty()) return table;
    if (o.hours < 1 || o.hours > 24 || o.begin < 1 || o.begin > 24 || o.begin + o.hours > 25)
        return "--hours and --begin spread a day's rain over hours 1 to 24: 1 <= BEGHR, 1 <= NHR, BEGHR + NHR <= 25";
    return "";
}

void print_report(const weatherimport::ImportReport& r) {
    std::printf("Read %s as %s",
                r.conversions.empty() && r.first.empty() ? "nothing" : (r.first + " to " + r.last).c_str(),
                r.format.c_str());
    std::printf("\n");
    for (const auto& f : r.findings) std::printf("  %s\n", weatherimport::finding_line(f).c_str());
    for (const auto& c : r.conversions) {
        if (!c.error.empty()) continue;
        std::printf("%s -> %s: %s\n", c.input.c_str(), c.output.c_str(), c.log_line.c_str());
        if (c.page) std::printf("Page written: %s\n", c.page->c_str());
    }
    if (!r.page.empty()) std::printf("Page written: %s\n", r.page.c_str());
    for (const auto& e : r.errors) std::fprintf(stderr, "error: %s\n", e.c_str());
    std::fflush(stdout);
}

bool write_json(const std::string& path, const ImportArgs& a, const weatherimport::ImportReport& r) {
    nlohmann::ordered_json j;
    j["command"] = "weather import";
    j["file"] = a.o.file;
    j["format"] = r.format;
    j["first"] = r.first;
    j["last"] = r.last;
    j["status"] = r.status;
    j["errors"] = r.errors;
    j["findings"] = nlohmann::ordered_json::array();
    for (const auto& f : r.findings) {
        nlohmann::ordered_json e;
        e["kind"] = weatherimport::kind_word(f.kind);
        e["quantity"] = f.quantity;
        e["first"] = f.first;
        e["last"] = f.last.empty() ? f.first : f.last;
        e["text"] = f.text;
        if (!f.at.file.empty()) e["at"] = {{"file", f.at.file}, {"line", f.at.line}, {"column", f.at.column}};
        j["findings"].push_back(e);
    }
    if (!r.page.empty()) j["page"] = r.page;
    j["files"] = nlohmann::ordered_json::array();
    for (const auto& c : r.conversions) {
        nlohmann::ordered_json e;
        e["input"] = c.input;
        e["output"] = c.output;
        e["log"] = c.log;
        e["log_line"] = c.log_line;
        e["ok"] = c.ok;
        if (c.page) e["page"] = *c.page;
        j["files"].push_back(e);
    }
    std::ofstream out(path, std::ios::binary);
    out << j.dump(2) << "\n";
    return static_cast<bool>(out.flush());
}

}  // namespace

void add_weather_import(CLI::App& weather, Outcome& outcome) {
    auto a = std::make_shared<ImportArgs>();
    CLI::App* cmd = weather.add_subcommand(
        "import",
        "Import one station's daily weather (GHCN-Daily .dly, NOAA daily CSV, any CSV/TSV with a header) into the "
        "model's weather files NAME_tp.TEM, NAME_et.PET, NAME_dr.RAI (or NAME_hr.RAI) through METCONV. Every gap, "
        "flag, fill and failed plausibility check is listed. Missing temperatures and PET are -99; missing rain is "
        "refused unless --missing-rain dry.");
    auto& o = a->o;
    cmd->add_option("FILE", o.file, "The source file")->required()->check(CLI::ExistingFile);
    cmd->add_option("--out", o.out_dir, "Folder the files are written in")->required()->check(CLI::ExistingDirectory);
    cmd->add_option("--name", o.name, "Name of the files: NAME_tp.dat, NAME_tp.TEM, ...")->required();
    cmd->add_option("--station", o.station, "Station number written on every line of the model's files")->required();
    cmd->add_option("--format", a->format,
                    "ghcn, noaa-csv or csv; default: .dly files are ghcn, a header with "
                    "\"STATION\" and \"DATE\" is noaa-csv, else csv")
        ->check(CLI::IsMember({"auto", "ghcn", "noaa-csv", "csv"}));
    cmd->add_option("--units", a->units, "Units of a NOAA export: metric (mm, C) or standard (in, F)")
        ->check(CLI::IsMember({"metric", "standard"}));
    cmd->add_option("--hours", o.hours, "Daily rain: hours a day's rain is spread over (NHR)")->capture_default_str();
    cmd->add_option("--begin", o.begin, "Daily rain: first hour of the spread (BEGHR), 1 = the hour ending 1:00")
        ->capture_default_str();
    cmd->add_option("--missing-rain", a->missing_rain,
                    "dry: write days (hours) without a rain value as dry, each listed; without it such a series "
                    "writes no rain file")
        ->check(CLI::IsMember({"dry"}));
    cmd->add_option("--fill-temperature-gaps", o.fill_temperature_gaps,
                    "Fill Tmax/Tmin gaps of at most DAYS days by linear interpolation, each value listed")
        ->check(CLI::Range(0, 31));
    cmd->add_flag("--pages", o.pages,
                  "Write the METVIEW page of each weather file and the import's page NAME_import.html");
    cmd->add_option("--json", a->json, "Write the summary as JSON to this file");

    // PET.
    cmd->add_option("--pet", a->pet, "Compute PET: hargreaves, thornthwaite or penman-monteith")
        ->check(CLI::IsMember({"none", "hargreaves", "thornthwaite", "penman-monteith"}));
    cmd->add_option("--latitude", a->latitude, "Latitude of the station (degrees, north positive)")
        ->check(CLI::Range(-90.0, 90.0));
    cmd->add_option("--elevation", a->elevation, "Elevation of the station (m above sea level)")
        ->check(CLI::Range(-500.0, 9000.0));
    cmd->add_option("--wind-height", a->wind_height, "Height of the wind measurement (m above ground)")
        ->check(CLI::Range(0.5, 100.0));
    cmd->add_option("--assume-wind", a->assumed_wind,
                    "Penman-Monteith without wind data: take this wind speed at 2 m (m/s; FAO-56 suggests 2)")
        ->check(CLI::Range(0.0, 20.0));
    cmd->add_option("--estimate-rs-from-temperature", a->krs,
                    "Penman-Monteith without radiation data: Rs from the temperature range (FAO-56 eq. 50) with "
                    "this kRs (0.16 interior, 0.19 coastal)")
        ->check(CLI::Range(0.1, 0.25));
    cmd->add_flag("--estimate-humidity-from-tmin", a->humidity_from_tmin,
                  "Penman-Monteith without humidity data: dew point = Tmin (FAO-56 eq. 48)");

    // Tables.
    auto& l = o.layout;
    cmd->add_option("--date-column", l.date_column, "Table: column of ISO dates YYYY-MM-DD")->group("Table columns");
    cmd->add_option("--year-column", l.year_column, "Table: column of years")->group("Table columns");
    cmd->add_option("--doy-column", l.doy_column, "Table: column of days of the year")->group("Table columns");
    cmd->add_option("--month-column", l.month_column, "Table: column of months")->group("Table columns");
    cmd->add_option("--day-column", l.day_column, "Table: column of days of the month")->group("Table columns");
    cmd->add_option("--datetime-column", l.datetime_column,
                    "Table of hourly rain: column of ISO date-times YYYY-MM-DDTHH:MM on the full hour")
        ->group("Table columns");
    cmd->add_option("--hour-convention", a->hour_convention,
                    "Hourly rain: the time stamp is the end (ending) or the start (beginning) of its hour")
        ->check(CLI::IsMember({"ending", "beginning"}))
        ->group("Table columns");
    const std::pair<Quantity, const char*> quantity_options[] = {
        {Quantity::Tmax, "--tmax-column"},        {Quantity::Tmin, "--tmin-column"},
        {Quantity::Rain, "--rain-column"},        {Quantity::Pet, "--pet-column"},
        {Quantity::Tdew, "--tdew-column"},        {Quantity::RhMax, "--rh-max-column"},
        {Quantity::RhMin, "--rh-min-column"},     {Quantity::RhMean, "--rh-mean-column"},
        {Quantity::Wind, "--wind-column"},        {Quantity::Solar, "--solar-column"},
        {Quantity::Sunshine, "--sunshine-column"}};
    for (const auto& [q, flag] : quantity_options) {
        const Quantity qq = q;
        cmd->add_option_function<std::string>(
               flag, [a, qq](const std::string& name) { a->columns[qq] = name; },
               std::string("Table: column of ") + std::string(weatherimport::quantity_name(q)) +
                   (q == Quantity::Solar                                                    ? " (MJ/m2/day)"
                    : q == Quantity::Sunshine                                               ? " (hours)"
                    : q == Quantity::RhMax || q == Quantity::RhMin || q == Quantity::RhMean ? " (%)"
                                                                                            : ""))
            ->group("Table columns");
    }
    cmd->add_option("--flag-column", a->flag_columns,
                    "Table: VALUE_COLUMN=FLAG_COLUMN; a value whose flag cell is not empty is missing, and listed")
        ->allow_extra_args(false)
        ->group("Table columns");
    cmd->add_option("--temperature-unit", a->temperature_unit,
                    "Table: unit of the temperature columns, C or F (required with them)")
        ->check(CLI::IsMember({"C", "F"}))
        ->group("Table columns");
    cmd->add_option("--rain-unit", a->rain_unit, "Table: unit of the rain column, mm, cm or in (required with it)")
        ->check(CLI::IsMember({"mm", "cm", "in"}))
        ->group("Table columns");
    cmd->add_option("--pet-unit", a->pet_unit, "Table: unit of the PET column, mm, cm or in (required with it)")
        ->check(CLI::IsMember({"mm", "cm", "in"}))
        ->group("Table columns");
    cmd->add_option("--wind-unit", a->wind_unit, "Table: unit of the wind column, m/s or km/h (required with it)")
        ->check(CLI::IsMember({"m/s", "km/h"}))
        ->group("Table columns");
    cmd->add_option("--missing", a->missing,
                    "Table: a cell meaning no value (repeatable: --missing \"\" --missing NA --missing -9999)")
        ->allow_extra_args(false)
        ->group("Table columns");
    cmd->add_flag("--decimal-comma", a->decimal_comma, "Table: numbers are written with a decimal comma")
        ->group("Table columns");
    cmd->add_option("--delimiter", a->delimiter,
                    "Table: comma, semicolon or tab; default tab for .tsv/.tab files, "
                    "else comma")
        ->check(CLI::IsMember({"comma", "semicolon", "tab"}))
        ->group("Table columns");

    cmd->callback([a, &outcome]() {
        const std::string usage = check_usage(*a);
        if (!usage.empty()) {
            std::fprintf(stderr, "drainprep weather import: %s\n", usage.c_str());
            outcome.status = kUsage;
            return;
        }
        const weatherimport::ImportReport r = weatherimport::run_import(a->o);
        print_report(r);
        int status = r.status;
        if (!a->json.empty() && !write_json(a->json, *a, r)) {
            std::fprintf(stderr, "error: cannot write %s\n", a->json.c_str());
            status = kFailed;
        }
        outcome.status = status;
    });
}

}  // namespace command
