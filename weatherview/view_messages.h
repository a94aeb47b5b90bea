// The texts of METVIEW that a person or a front end reads on the console,
// and the page's lines about files it could not use. Each is defined here
// once; lines about METCONV's arguments and files are METCONV's own
// (weather/messages.h), so both programs answer the same arguments in the
// same words.
#pragma once

#include <string>
#include <string_view>

#include "common/fixed_text.h"

namespace weatherview::msg {

// Usage: METCONV's arguments, for this program: its own first two lines,
// then METCONV's lines from <TYPE> on (weather/messages.h), then one more.
inline constexpr std::string_view kUsageHead[] = {
    "USAGE: METVIEW <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>",
    "where  <INFILE>   - Input filename of the METCONV run to check",
};
inline constexpr std::string_view kUsageTail =
    "The report page is written beside METCONV's output file, as <name>.html.";

// Console: the end of a run.
inline std::string page_written(std::string_view page) {
    return "Page written: " + common::printable(page);
}
inline constexpr std::string_view kNoPage = "No page written.";
inline std::string page_replaces_input(std::string_view input, std::string_view page) {
    return "ERROR: Input file " + common::printable(input) + " would be replaced by the page " +
           common::printable(page);
}
// A run that met something it was not made for (out of memory, ...).
inline std::string internal_error(std::string_view what) {
    return "ERROR: METVIEW could not finish the page: " + common::printable(what);
}

// Page: files that are missing or do not read.
inline std::string empty_log(std::string_view log) {
    return "METCONV's log " + common::printable(log) + " is empty";
}
inline std::string input_missing(std::string_view input) {
    return "The input file " + common::printable(input) + " does not exist";
}

}  // namespace weatherview::msg
