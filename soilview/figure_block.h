// One figure of the report: what it draws, the numbers behind it, and the
// notes that go under it. The page shows the first table collapsed under
// the figure, any further tables collapsed after it, then the open tables.
#pragma once

#include <string>
#include <vector>

#include "figure/plot.h"
#include "figure/table.h"

namespace soilview {

struct FigureBlock {
    figure::Plot plot;
    std::vector<figure::Table> tables;
    // Tables shown open after the figure: rows it leaves out, e.g. those
    // deeper than it draws.
    std::vector<figure::Table> open_tables;
    std::vector<std::string> notes;  // plain sentences: notices of the run, how to read the figure
    // When given, these say what the band marked "<= 0" of a logarithmic
    // axis holds, in place of the figure module's notes that count the
    // values there series by series.
    std::vector<std::string> band_notes;
};

// Width of the figures against suction, which hold a line and a set of
// markers per layer (pixels).
inline constexpr double kWideFigure = 940;

// Units and symbols as the page writes them.
inline constexpr const char* kVolumetric = "cm\xC2\xB3/cm\xC2\xB3";  // cm3/cm3
inline constexpr const char* kSquareCmPerHour = "cm\xC2\xB2/hr";     // cm2/hr

// V with `decimals` decimals, for the sentences of the page.
std::string decimals(double v, int decimals);
// "+12.3 %" for 0.123; "+0.078" for 0.078 with 3 decimals.
std::string signed_percent(double fraction);
std::string signed_value(double v, int decimals);
// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& items);

}  // namespace soilview
