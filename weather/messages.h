// Message texts of the weather converter: the log lines of the driver and of
// the converters, and the console lines. Each text is defined here once; a
// line with parts is a function that returns the whole line.
#pragma once

#include <string>
#include <string_view>

namespace metconv::msg {

// Converters: read failures of the weather series.
inline constexpr std::string_view kFirstRecord = "Invalid record or EOF in input file";
inline constexpr std::string_view kLaterRecord = "Invalid record in input file";

// Cvtdlyr: the spread of a day's rain over the hours.
inline constexpr std::string_view kTotalHours = "Total hours greater than 24.";
inline constexpr std::string_view kBeginHour = "Beginning hour < 0 or > 24.";
inline constexpr std::string_view kSpreadHours = "Hours to distribute rain < 0 or > 24.";

// Driver: log lines.
inline constexpr std::string_view kNormal = "*NOERROR: Program terminated normally";
// The run did not get to its last line: interrupted, or still running.
inline constexpr std::string_view kUnfinished = "ERROR: Run did not finish";
// A file that could not be opened, or whose writing failed, with the
// system's reason where it gave one.
inline std::string with_reason(std::string text, std::string_view reason) {
    if (!reason.empty()) text += ": " + std::string(reason);
    return text;
}
inline std::string cannot_open(std::string_view file, std::string_view reason = {}) {
    return with_reason("ERROR: Cannot open file " + std::string(file), reason);
}
inline std::string cannot_write(std::string_view file, std::string_view reason = {}) {
    return with_reason("ERROR: Cannot write file " + std::string(file), reason);
}
// An argument that does not read as an integer: its name (<STA>, <NHR> or
// <BEGHR>) and the first six characters, which are all that is read.
inline std::string not_integer(std::string_view name, std::string_view text) {
    return "ERROR: Argument " + std::string(name) + " does not read as an integer: " + std::string(text.substr(0, 6));
}
inline std::string missing_for_daily_rain(std::string_view name) {
    return "ERROR: Argument " + std::string(name) + " is missing for data type DR";
}
inline std::string unknown_type(std::string_view type) {
    return "ERROR: Data type \"" + std::string(type) + "\" names no converter (TP, ET, HR or DR)";
}
inline std::string unknown_units(std::string_view units, std::string_view type) {
    return "ERROR: Units \"" + std::string(units) + "\" are not known for data type " + std::string(type) +
           " (IN, CM or MM)";
}
inline std::string replaces_input(std::string_view input, std::string_view output) {
    return "ERROR: Input file " + std::string(input) + " would be replaced by the output file " + std::string(output);
}

// Driver: console lines.
inline constexpr std::string_view kConsoleNormal = "Program terminated normally.";
inline constexpr std::string_view kConsoleError = "ERROR detected check logfile.";
inline constexpr std::string_view kConsoleStop = "Stop - Program terminated.";
inline std::string cannot_open_log(std::string_view file, std::string_view reason = {}) {
    return with_reason("ERROR: Cannot open log file " + std::string(file), reason);
}
// An earlier log at the name was removed so that it is not read as this
// run's outcome.
inline std::string log_unusable(std::string line, bool removed) {
    if (removed) line += " (the earlier log was removed)";
    return line;
}
inline std::string log_replaces_input(std::string_view input, std::string_view log) {
    return "ERROR: Input file " + std::string(input) + " would be replaced by the log file " + std::string(log);
}

}  // namespace metconv::msg
