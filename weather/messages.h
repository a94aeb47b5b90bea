// Message texts of the weather converter: the log lines of the driver and of
// the converters, and the console lines. Each text is defined here once.
#pragma once

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
inline constexpr std::string_view kCannotOpen = "ERROR: Cannot open file ";
inline constexpr std::string_view kCannotWrite = "ERROR: Cannot write file ";
inline constexpr std::string_view kArgument = "ERROR: Argument ";
inline constexpr std::string_view kNotInteger = " does not read as an integer: ";
inline constexpr std::string_view kMissingForDR = " is missing for data type DR";
inline constexpr std::string_view kUnknownType = "ERROR: Data type \"";
inline constexpr std::string_view kUnknownTypeEnd = "\" names no converter (TP, ET, HR or DR)";
inline constexpr std::string_view kUnknownUnits = "ERROR: Units \"";
inline constexpr std::string_view kUnknownUnitsFor = "\" are not known for data type ";
inline constexpr std::string_view kUnknownUnitsEnd = " (IN, CM or MM)";
inline constexpr std::string_view kWouldReplace = "ERROR: Input file ";
inline constexpr std::string_view kWouldReplaceOut = " would be replaced by the output file ";
inline constexpr std::string_view kWouldReplaceLog = " would be replaced by the log file ";

// Driver: console lines.
inline constexpr std::string_view kConsoleNormal = "Program terminated normally.";
inline constexpr std::string_view kConsoleError = "ERROR detected check logfile.";
inline constexpr std::string_view kConsoleStop = "Stop - Program terminated.";
inline constexpr std::string_view kCannotOpenLog = "ERROR: Cannot open log file ";

}  // namespace metconv::msg
