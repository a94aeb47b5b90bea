#include "weatherimport/noaa_csv.h"

namespace weatherimport {

bool looks_like_noaa_csv(const Table& table) {
    return table.column_of("STATION") >= 0 && table.column_of("DATE") >= 0;
}

bool noaa_layout(const Table& table, bool metric, TableLayout& layout, Refusal& refusal) {
    layout = TableLayout{};
    for (const char* name : {"STATION", "DATE"})
        if (table.column_of(name) < 0) {
            refusal = {{table.file, table.header.line, 1}, std::string("a NOAA daily export has a column ") + name};
            return false;
        }
    layout.station_column = "STATION";
    layout.date_column = "DATE";
    for (const auto& [q, name] :
         {std::pair{Quantity::Tmax, "TMAX"}, std::pair{Quantity::Tmin, "TMIN"}, std::pair{Quantity::Rain, "PRCP"}}) {
        if (table.column_of(name) < 0) continue;
        layout.columns.emplace_back(q, name);
        const std::string attributes = std::string(name) + "_ATTRIBUTES";
        if (table.column_of(attributes) >= 0) layout.flag_columns.emplace_back(name, attributes);
    }
    if (layout.columns.empty()) {
        refusal = {{table.file, table.header.line, 1}, "the export has none of the columns PRCP, TMAX, TMIN"};
        return false;
    }
    layout.flag_form = FlagForm::NoaaAttributes;
    layout.missing_codes = {""};
    layout.temperature_unit = metric ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
    layout.rain_unit = metric ? DepthUnit::Millimetre : DepthUnit::Inch;
    return true;
}

}  // namespace weatherimport
