// Measured points of a lab sheet, read from CSV: suction and water content
// (retention points), and suction and conductivity (conductivity points).
//
// The first line that is not blank or a comment ('#') is the header. The
// columns are found by name, in any order and case: `head`, `theta`, and
// optionally `k` and `weight` (a weight for the retention point of its
// row); other columns are ignored. A row gives a retention point when its
// head and theta cells hold numbers, a conductivity point when its head and
// k cells do; an empty cell leaves that point out. Values are separated by
// commas (semicolons when the header has no comma); lines end in LF or CR LF.
// Every point is converted once, here: suction to cm (positive), water
// content to a volume fraction, conductivity to cm/day.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "soildata/units.h"

namespace soildata {

struct PointUnits {
    HeadUnit head = HeadUnit::Cm;
    ThetaUnit theta = ThetaUnit::Fraction;
    ConductivityUnit k = ConductivityUnit::CmPerDay;
};

struct RetentionPoint {
    double head;    // suction (cm)
    double theta;   // cm3/cm3
    double weight;  // of its squared residual
};

struct ConductivityPoint {
    double head;  // suction (cm)
    double k;     // cm/day
};

struct MeasuredPoints {
    std::vector<RetentionPoint> retention;
    std::vector<ConductivityPoint> conductivity;
};

struct PointsResult {
    MeasuredPoints points;
    std::string error;  // empty when read; else "line N: ..." or what is missing
    bool ok() const { return error.empty(); }
};

// The points of TEXT (a whole CSV file) in UNITS. Refused with a message:
// no header or no `head` column, neither `theta` nor `k`, a cell that is not
// a number, a water content outside 0 to 1 after conversion (naming
// --theta-unit percent when it looks like one), a weight or a conductivity
// that is not positive.
PointsResult read_points(std::string_view text, const PointUnits& units);

}  // namespace soildata
