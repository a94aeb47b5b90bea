// The texts of METVIEW that a person or a front end reads on the console,
// and the page's lines about files it could not use. Each is defined here
// once; lines about METCONV's arguments and files are METCONV's own
// (weather/messages.h), so both programs answer the same arguments in the
// same words.
#pragma once

#include <string>
#include <string_view>

#include "common/fixed_text.h"

namespace metview::msg {

// Usage: METCONV's, for this program. Each line is written as a free-form
// console line (one blank in front).
inline constexpr std::string_view kUsage[] = {
    "USAGE: METVIEW <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>",
    "where  <INFILE>   - Input filename of the METCONV run to check",
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
    "The report page is written beside METCONV's output file, as <name>.html.",
};

// Console: the end of a run.
inline std::string page_written(std::string_view page) { return "Page written: " + common::printable(page); }
inline constexpr std::string_view kNoPage = "No page written.";
inline std::string page_replaces_input(std::string_view input, std::string_view page) {
    return "ERROR: Input file " + common::printable(input) + " would be replaced by the page " + common::printable(page);
}
// A run that met something it was not made for (out of memory, ...).
inline std::string internal_error(std::string_view what) {
    return "ERROR: METVIEW could not finish the page: " + common::printable(what);
}

// Page: files that are missing or do not read.
inline std::string empty_log(std::string_view log) { return "METCONV's log " + common::printable(log) + " is empty"; }
inline std::string input_missing(std::string_view input) {
    return "The input file " + common::printable(input) + " does not exist";
}

}  // namespace metview::msg
