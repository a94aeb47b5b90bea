// Tables of values as the pages show them (usually collapsed under the
// figure they belong to), and the plain number format they are written in.
#pragma once

#include <string>
#include <vector>

#include "figure/plot.h"

namespace figure {

struct Table {
    std::string caption;  // what the table holds
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;  // cells as text, escaped when written
};

// V with up to 6 significant digits ("0.0125", "1.5e-7", "250000"); a missing
// value (NaN) is "missing", infinities are "∞" and "−∞".
std::string format_value(double v);

// The values behind PLOT. When every series has the same x values the table
// has one row per x and one column per series; otherwise one row per point
// with the series named in the first column.
Table plot_table(const Plot& plot);

}  // namespace figure
