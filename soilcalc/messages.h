// The texts of PEDOPRE's log and console lines, each defined once.
//
// Log lines begin "ERROR: " for a failed run and "NOERROR: " for a clean
// one; the console shows one of the termination lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/fixed_text.h"

namespace pedopre::msg {

// Console lines at the stop.
inline constexpr std::string_view kConsoleNormal = "Program terminated normally.";
inline constexpr std::string_view kConsoleAbnormal = "Program terminated abnormally, see logfile.";
// The floating-point trap's console line has no final period.
inline constexpr std::string_view kConsoleTrap = "Program terminated abnormally, see logfile";

// Log lines of the driver.
inline constexpr std::string_view kNormal = "NOERROR: Program terminated normally";
inline constexpr std::string_view kSyntax = "ERROR: Syntax - PEDOPRE <INFILE>";

// An open or close of a file read back by name failed.
inline constexpr std::string_view kFileIoError = "ERROR: File I/O error";

inline std::string not_found(std::string_view file) {
    return "ERROR: File " + std::string(file) + " not found!";
}
// File names are written without their trailing blanks.
inline std::string read_error(std::string_view file) {
    return "ERROR: Read error in file " + std::string(common::trim_right(file));
}
inline std::string cannot_open(std::string_view file) {
    return "ERROR: Cannot open file " + std::string(common::trim_right(file));
}
inline std::string overwrites_input(std::string_view input, std::string_view output) {
    return "ERROR: Input file " + std::string(input) + " would be overwritten by output file " +
           std::string(output);
}

// The head of the main input file.
inline std::string title_missing(std::string_view file) {
    return "ERROR: Line 1 (title) missing in file " + std::string(file);
}
inline std::string title_unreadable(std::string_view file) {
    return "ERROR: Line 1 (title) unreadable in file " + std::string(file);
}
inline std::string header_missing(std::string_view file) {
    return "ERROR: Line 2 (NLAYER VGFLAG) missing in file " + std::string(file);
}
inline std::string header_unreadable(std::string_view file) {
    return "ERROR: Line 2 (NLAYER VGFLAG) unreadable in file " + std::string(file);
}
inline std::string layer_count(int32_t nlayer) {
    return "ERROR: NLAYER = " + std::to_string(nlayer) + " is outside 1 to 9";
}
inline std::string lsin_range(int32_t lsin, int32_t nlayer) {
    return "ERROR: LSIN = " + std::to_string(lsin) + " is outside 1 to NLAYER = " + std::to_string(nlayer);
}

// Characteristic points of one layer.
inline std::string too_many_points(int32_t layer, int32_t npts) {
    return "ERROR: Layer " + std::to_string(layer) + " has " + std::to_string(npts) +
           " points, more than 98";
}
inline std::string too_few_points(int32_t layer, int32_t npts) {
    return "ERROR: Layer " + std::to_string(layer) + " has fewer than 2 points (" + std::to_string(npts) + ")";
}
inline std::string theta_range(int32_t layer) {
    return "ERROR: Layer " + std::to_string(layer) +
           " has a driest or wettest water content outside 0.001 to 1.0";
}
inline std::string theta_span(int32_t layer) {
    return "ERROR: Layer " + std::to_string(layer) + " has water contents spanning less than 0.010";
}
inline std::string too_many_rows(int32_t layer, int32_t rows) {
    return "ERROR: Layer " + std::to_string(layer) + " regrids to " + std::to_string(rows) +
           " rows, more than 99";
}

// A read condition that no routine handles.
inline std::string unhandled(std::string_view condition) { return "ERROR: " + std::string(condition); }

}  // namespace pedopre::msg
