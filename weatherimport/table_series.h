// Daily (or hourly rain) series from a table with a header: the user names
// the date column(s), the column of each quantity, the units, the codes that
// mean "no value", the flag columns and the decimal separator. Nothing is
// guessed: an empty cell that is not declared missing, a number that does
// not read, a date that does not exist, each stops the reading at its line
// and column.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "weatherimport/csv_table.h"
#include "weatherimport/source_series.h"

namespace weatherimport {

// How a flag column's cell is read.
enum class FlagForm {
    AnyText,         // any text in the cell flags the value
    NoaaAttributes,  // "M,Q,S,T": a quality flag Q, or measurement flag P
};

struct TableLayout {
    // The day: one ISO date column, or year and day-of-year columns, or
    // year, month and day columns. Hourly rain: one ISO date-time column.
    std::string date_column;
    std::string year_column, doy_column, month_column, day_column;
    std::string datetime_column;
    // Hourly rain timestamps mark the end of the hour (true) or its start.
    bool hour_ending = true;
    // The column of each quantity read.
    std::vector<std::pair<Quantity, std::string>> columns;
    // Value column -> the column of its flags.
    std::vector<std::pair<std::string, std::string>> flag_columns;
    FlagForm flag_form = FlagForm::AnyText;
    // Cells meaning "no value" (an empty string for the empty cell).
    std::vector<std::string> missing_codes;
    bool decimal_comma = false;
    // A column whose cells must all be equal (NOAA's STATION).
    std::string station_column;
    TemperatureUnit temperature_unit = TemperatureUnit::Celsius;
    DepthUnit rain_unit = DepthUnit::Millimetre;
    DepthUnit pet_unit = DepthUnit::Millimetre;
    SpeedUnit wind_unit = SpeedUnit::MetrePerSecond;
};

// Reads TABLE's rows by LAYOUT into SERIES. False with REFUSAL at the first
// fault (a named column missing from the header refuses at the header line).
bool read_table_series(const Table& table, const TableLayout& layout, SourceSeries& series, Refusal& refusal);

}  // namespace weatherimport
