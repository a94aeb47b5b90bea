// Message texts of the weather converter: the log lines of the driver and of
// the converters, and the console lines. Each text is defined here once; a
// line with parts is a function that returns the whole line. Names and
// arguments in a line are written with their control characters escaped.
#pragma once

#include <string>
#include <string_view>

#include "common/file_messages.h"
#include "common/fixed_text.h"

namespace weather::msg {

// Converters: read failures of the weather series.
inline constexpr std::string_view kFirstRecord = "Invalid record or EOF in input file";
inline constexpr std::string_view kLaterRecord = "Invalid record in input file";

// CVTDLYR: the spread of a day's rain over the hours.
inline constexpr std::string_view kTotalHours = "Total hours greater than 24.";
inline constexpr std::string_view kBeginHour = "Beginning hour < 0 or > 24.";
inline constexpr std::string_view kSpreadHours = "Hours to distribute rain < 0 or > 24.";

// Driver: log lines. The lines about files are those of both programs.
using common::msg::cannot_open;
using common::msg::cannot_write;
using common::msg::log_unusable;
using common::msg::name_too_long;
using common::msg::not_a_file;
using common::msg::overlong_record;
inline constexpr std::string_view kNormal = "*NOERROR: Program terminated normally";
// The run did not get to its last line: interrupted, or still running.
inline constexpr std::string_view kUnfinished = "ERROR: Run did not finish";
// An argument that does not read as an integer: its name (<STA>, <NHR> or
// <BEGHR>) and the first six characters, which are all that is read.
inline std::string not_integer(std::string_view name, std::string_view text) {
    return "ERROR: Argument " + common::printable(name) +
           " does not read as an integer: " + common::printable(text.substr(0, 6));
}
inline std::string missing_for_daily_rain(std::string_view name) {
    return "ERROR: Argument " + common::printable(name) + " is missing for data type DR";
}
inline std::string unknown_type(std::string_view type) {
    return "ERROR: Data type \"" + common::printable(type) + "\" names no converter (TP, ET, HR or DR)";
}
inline std::string unknown_units(std::string_view units, std::string_view type) {
    return "ERROR: Units \"" + common::printable(units) + "\" are not known for data type " + common::printable(type) +
           " (IN, CM or MM)";
}
inline std::string replaces_input(std::string_view input, std::string_view output) {
    return "ERROR: Input file " + common::printable(input) + " would be replaced by the output file " +
           common::printable(output);
}

// Driver: the usage text, one free-form console line per row.
inline constexpr std::string_view kUsage[] = {
    "USAGE: METCONV <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>",
    "where  <INFILE>   - Input filename",
    "       <TYPE>     - Input data type",
    "            TP - Temperature",
    "            ET - Potential ET",
    "            HR - Hourly Rain",
    "            DR - Daily Rain",
    "       <UNITS>    - Input data units",
    "            DF - degree F",
    "            DC - degree C",
    "            IN - inches",
    "            CM - centimeter",
    "            MM - millimeter",
    "       <STA>      - Station number",
    "       <NHR>      - Hours to distribute day rain",
    "       <BEGHR>    - Beginning hour",
};

// Driver: console lines.
inline constexpr std::string_view kConsoleNormal = "Program terminated normally.";
inline constexpr std::string_view kConsoleError = "ERROR detected check logfile.";
inline constexpr std::string_view kConsoleStop = "Stop - Program terminated.";
inline std::string cannot_open_log(std::string_view file, std::string_view reason = {}) {
    return common::msg::with_reason("ERROR: Cannot open log file " + common::printable(file), reason);
}

inline std::string log_replaces_input(std::string_view input, std::string_view log) {
    return "ERROR: Input file " + common::printable(input) + " would be replaced by the log file " +
           common::printable(log);
}

}  // namespace weather::msg
