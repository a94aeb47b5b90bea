// Plausibility warnings for a main input file written by hand: the unit
// mistakes the two forms invite. Heads typed in kPa, saturated
// conductivities in the other form's unit (cm/day where measured points
// take cm/hr, cm/hr where van Genuchten parameters take cm/day), alpha in
// 1/m, depths in metres, and K0 values that zero or cut Green-Ampt B.
//
// Warnings, not refusals: every one of these values can be right for some
// soil, so each warning says what it saw and what it would be in the other
// unit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace soildata {

struct PlausibilityReport {
    std::string error;           // the file cannot be read as a main input file
    bool van_genuchten = false;  // which form
    int layers = 0;
    std::vector<std::string> warnings;  // "layer 2: ..."
    bool ok() const { return error.empty(); }
};

PlausibilityReport check_main_input(std::string_view text);

}  // namespace soildata
