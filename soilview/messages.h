// The console lines of PEDOVIEW, each defined once. A run prints one line:
// the page (or figure) written, or a line beginning "ERROR: ". Names in a
// line are written with their control characters escaped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.h"
#include "soilview/version.h"

namespace soilview::msg {

inline std::string version() {
    return "PEDOVIEW (drainprep) " + std::string(kVersion);
}

inline std::vector<std::string> usage(const std::vector<std::string>& figures) {
    std::string ids;
    for (const std::string& f : figures) ids += (ids.empty() ? "" : ", ") + f;
    return {
        "Usage: PEDOVIEW <INFILE>",
        "       PEDOVIEW --svg <FIGURE> <INFILE>",
        "       PEDOVIEW --help | --version",
        "",
        "Draws the tables that PEDOPRE wrote for the main input file INFILE on one",
        "self-contained page, written beside them as INFILE's name without its",
        "extension plus .SIN.html. PEDOPRE's files and its log are only read.",
        "",
        "--svg FIGURE writes the figure FIGURE alone, as INFILE's name without its",
        "extension plus .<FIGURE>.svg. FIGURE is one of:",
        "  " + ids + ".",
    };
}

inline constexpr std::string_view kSyntax = "ERROR: Syntax - PEDOVIEW <INFILE> (see PEDOVIEW --help)";

inline std::string unknown_figure(std::string_view id) {
    return "ERROR: No figure is named " + common::printable(id) + " (see PEDOVIEW --help)";
}
inline std::string name_too_long(std::string_view name) {
    return "ERROR: A file name of this run is longer than 256 characters: " + common::printable(name);
}
inline std::string not_found(std::string_view file) {
    return "ERROR: File " + common::printable(file) + " not found!";
}
inline std::string not_a_file(std::string_view file, std::string_view what) {
    return "ERROR: " + common::printable(file) + " is " + std::string(what) + ", not a file";
}
inline std::string log_not_found(std::string_view log, std::string_view input) {
    return "ERROR: Log file " + common::printable(log) + " not found: PEDOPRE has not run on " +
           common::printable(input) + " here";
}
inline std::string would_overwrite(std::string_view output, std::string_view file) {
    return "ERROR: " + common::printable(output) + " would overwrite " + common::printable(file);
}
inline std::string no_figure(std::string_view id) {
    return "ERROR: The run's tables do not give the figure " + common::printable(id);
}
inline std::string with_reason(std::string text, std::string_view reason) {
    if (!reason.empty()) text += ": " + std::string(reason);
    return text;
}
inline std::string cannot_open(std::string_view file, std::string_view reason) {
    return with_reason("ERROR: Cannot open file " + common::printable(file), reason);
}
inline std::string cannot_write(std::string_view file, std::string_view reason) {
    return with_reason("ERROR: Cannot write file " + common::printable(file), reason);
}
inline std::string run_in_progress(std::string_view log) {
    return "ERROR: PEDOPRE is running on these files now (its log " + common::printable(log) +
           " is held); run PEDOVIEW again when it has ended";
}
inline std::string page_written(std::string_view file) {
    return "Page written: " + common::printable(file);
}
inline std::string figure_written(std::string_view file) {
    return "Figure written: " + common::printable(file);
}

}  // namespace soilview::msg
