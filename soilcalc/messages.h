// The texts of PEDOPRE's log and console lines, each defined once; a line
// with parts is a function that returns the whole line. File names in a line
// are written with their control characters escaped.
//
// Log lines begin "ERROR: " for a failed run and "NOERROR: " for a clean
// one; the console shows one of the termination lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/field_edit.h"
#include "common/file_messages.h"
#include "common/fixed_text.h"

namespace soilcalc::msg {

// A real in the shortest form that reads back to it.
inline std::string number(float v) {
    std::string s;
    common::free_real(s, v);
    return s;
}

// Console lines at the stop.
inline constexpr std::string_view kConsoleNormal = "Program terminated normally.";
inline constexpr std::string_view kConsoleAbnormal = "Program terminated abnormally, see logfile.";
// The floating-point trap's console line has no final period.
inline constexpr std::string_view kConsoleTrap = "Program terminated abnormally, see logfile";

// What --help prints.
inline constexpr std::string_view kUsage[] = {
    "USAGE: PEDOPRE <INFILE>",
    "where  <INFILE>   - Main input file of the soil profile: measured water",
    "                    retention points or van Genuchten parameters per layer",
    "Writes the soil tables beside INFILE (.MIS .WTD .MQ .SAV .WDV .UPQ .OUT .SIN)",
    "and the run's one line to PEDOPRE.LOG in the same folder.",
    "       PEDOPRE --help     - this text",
    "       PEDOPRE --version  - the version",
};

// Log lines of the driver.
inline constexpr std::string_view kNormal = "NOERROR: Program terminated normally";
inline constexpr std::string_view kSyntax = "ERROR: Syntax - PEDOPRE <INFILE>";

// A stream that a step expects open is not.
inline constexpr std::string_view kFileIoError = "ERROR: File I/O error";
// The run did not get to its last line: interrupted, or still running.
inline constexpr std::string_view kUnfinished = "ERROR: Run did not finish";

inline std::string not_found(std::string_view file) {
    return "ERROR: File " + common::printable(file) + " not found!";
}
// File names are written without their trailing blanks.
inline std::string read_error(std::string_view file) {
    return "ERROR: Read error in file " + common::printable(common::trim_right(file));
}
// A file that could not be opened, or whose writing failed, with the
// system's reason where it gave one.
// File names come here from 256-character fields: without their trailing
// blanks.
inline std::string cannot_open(std::string_view file, std::string_view reason = {}) {
    return common::msg::cannot_open(common::trim_right(file), reason);
}
inline std::string cannot_write(std::string_view file, std::string_view reason = {}) {
    return common::msg::cannot_write(common::trim_right(file), reason);
}
using common::msg::log_unusable;
using common::msg::name_too_long;
using common::msg::not_a_file;
using common::msg::overlong_record;

inline std::string overwrites_input(std::string_view input, std::string_view output) {
    return "ERROR: Input file " + common::printable(input) + " would be overwritten by output file " +
           common::printable(output);
}

// The head of the main input file.
inline std::string title_missing(std::string_view file) {
    return "ERROR: Line 1 (title) missing in file " + common::printable(file);
}
inline std::string title_unreadable(std::string_view file) {
    return "ERROR: Line 1 (title) unreadable in file " + common::printable(file);
}
inline std::string header_missing(std::string_view file) {
    return "ERROR: Line 2 (NLAYER VGFLAG) missing in file " + common::printable(file);
}
inline std::string header_unreadable(std::string_view file) {
    return "ERROR: Line 2 (NLAYER VGFLAG) unreadable in file " + common::printable(file);
}
inline std::string layer_count(int32_t nlayer) {
    return "ERROR: NLAYER = " + std::to_string(nlayer) + " is outside 1 to 9";
}
inline std::string lsin_range(int32_t lsin, int32_t nlayer) {
    return "ERROR: LSIN = " + std::to_string(lsin) + " is outside 1 to NLAYER = " + std::to_string(nlayer);
}

// Values that no soil profile can have.
inline std::string bottom_not_below(int32_t layer, float zbot, float above) {
    if (layer == 1) return "ERROR: Layer 1 has its bottom at " + number(zbot) + " cm, not below the soil surface";
    return "ERROR: Layer " + std::to_string(layer) + " has its bottom at " + number(zbot) +
           " cm, not below the bottom of layer " + std::to_string(layer - 1) + " at " + number(above) + " cm";
}
inline std::string vg_water_contents(int32_t layer, float theta_r, float theta_s) {
    return "ERROR: Layer " + std::to_string(layer) + " has theta_r = " + number(theta_r) +
           " and theta_s = " + number(theta_s) + "; water contents need theta_r < theta_s <= 1";
}
inline std::string vg_alpha(int32_t layer, float alpha) {
    return "ERROR: Layer " + std::to_string(layer) + " has van Genuchten alpha = " + number(alpha) +
           " 1/cm; it must be above 0";
}
inline std::string vg_n(int32_t layer, float n) {
    return "ERROR: Layer " + std::to_string(layer) + " has van Genuchten n = " + number(n) + "; it must be above 1";
}
inline std::string vg_conductivity(int32_t layer, std::string_view name, float k) {
    return "ERROR: Layer " + std::to_string(layer) + " has " + std::string(name) + " = " + number(k) +
           " cm/day; it must be above 0";
}
inline std::string ga_depth(float gadepth) {
    return "ERROR: GADEPTH = " + number(gadepth) +
           " cm (depth of top soil for the Green-Ampt parameters) is not above 0";
}
inline std::string root_depth(float rootdepth) {
    return "ERROR: ROOTDEPTH = " + number(rootdepth) + " cm (half the maximum root depth) is not above 0";
}
inline std::string sin_points(int32_t layer, int32_t npts) {
    return "ERROR: Layer " + std::to_string(layer) + " chosen for the soil input file has " + std::to_string(npts) +
           " points; the soil input file holds at most 99";
}

// Characteristic points of one layer.
inline std::string too_many_points(int32_t layer, int32_t npts) {
    return "ERROR: Layer " + std::to_string(layer) + " has " + std::to_string(npts) + " points, more than 98";
}
inline std::string too_few_points(int32_t layer, int32_t npts) {
    return "ERROR: Layer " + std::to_string(layer) + " has fewer than 2 points (" + std::to_string(npts) + ")";
}
inline std::string theta_range(int32_t layer) {
    return "ERROR: Layer " + std::to_string(layer) + " has a driest or wettest water content outside 0.001 to 1.0";
}
inline std::string theta_span(int32_t layer) {
    return "ERROR: Layer " + std::to_string(layer) + " has water contents spanning less than 0.010";
}
// A characteristic that gets wetter towards its dry end: the water content at
// its highest suction above the one at its lowest.
inline std::string theta_reversed(int32_t layer, float driest, float wettest) {
    return "ERROR: Layer " + std::to_string(layer) + " has a water content of " + number(driest) +
           " at its highest suction, above the " + number(wettest) + " at its lowest";
}
// Measured points out of order, each point given as its number (1-based),
// water content and head as the input gave them (cm).
struct Point {
    int32_t number;
    float theta;
    float head;
};
inline std::string point_text(const Point& p) {
    return "point " + std::to_string(p.number) + " (" + number(p.theta) + " at " + number(p.head) + " cm)";
}
inline std::string suction_not_rising(int32_t layer, const Point& from, const Point& to) {
    return "ERROR: Layer " + std::to_string(layer) + " suction does not rise from " + point_text(from) + " to " +
           point_text(to);
}
inline std::string theta_rising(int32_t layer, const Point& from, const Point& to) {
    return "ERROR: Layer " + std::to_string(layer) + " water content rises with suction from " + point_text(from) +
           " to " + point_text(to);
}
inline std::string too_many_rows(int32_t layer, int32_t rows) {
    return "ERROR: Layer " + std::to_string(layer) + " regrids to " + std::to_string(rows) + " rows, more than 99";
}

// The drained-volume step's table.
inline constexpr std::string_view kProfileLayers = "ERROR: The soil profile needs 1 to 9 layers";
inline std::string characteristic_points(int32_t layer) {
    return "ERROR: The characteristic of layer " + std::to_string(layer) + " needs 2 to 100 points";
}
inline std::string bottom_above_surface(int32_t layer) {
    return "ERROR: The bottom of layer " + std::to_string(layer) + " lies above the soil surface";
}

// The conductivity file as the upward-flux step reads it.
inline std::string mq_layer_count(int32_t nl) {
    return "ERROR: The conductivity file gives " + std::to_string(nl) + " layers; 1 to 10 are possible";
}
inline std::string mq_row_count(int32_t layer, int32_t rows) {
    return "ERROR: The conductivity table of layer " + std::to_string(layer) + " has " + std::to_string(rows) +
           " rows; 2 to 100 are needed";
}

// The upward-flux integration and its fit.
inline constexpr std::string_view kUpfluxError = "ERROR: UPFLUX error ";
inline std::string tension_not_above_wettest(float tension, int32_t layer) {
    return "ERROR: Tension " + number(tension) + " cm at the top of layer " + std::to_string(layer) +
           " does not exceed its wettest tabulated tension";
}
inline std::string nonpositive_conductivity(int32_t layer, int32_t row) {
    return "ERROR: The conductivity table of layer " + std::to_string(layer) +
           " has a conductivity of zero or less in row " + std::to_string(row);
}
inline std::string tensions_do_not_rise(int32_t layer, int32_t row) {
    return "ERROR: The tensions of layer " + std::to_string(layer) + " do not rise at row " + std::to_string(row);
}
inline std::string equal_flux_depths(float flux, float depth) {
    return "ERROR: The water table for the upward flux " + number(flux) + " cm/hr (" + number(depth) +
           " cm) is at the same depth as for the flux before it; no spline fits";
}
inline constexpr std::string_view kNoSplineFits = "ERROR: No spline fits the water-table depths of the upward fluxes";

// The Green-Ampt step.
inline std::string no_water_content(float suction) {
    return "ERROR: The top layer's table in the conductivity file gives no water content at suction " +
           number(suction) + " cm";
}

// The soil input file.
inline std::string sin_layer(int32_t lsin) {
    return "ERROR: Layer " + std::to_string(lsin) + " chosen for the soil input file is not a layer of the profile";
}

}  // namespace soilcalc::msg
