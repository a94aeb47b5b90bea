// The checks of a run's tables, each one plain sentence with the numbers.
// A check that finds something is a warning (listed at the top of the page);
// one that finds nothing passes; one whose tables are missing is left out.
//
// - Green-Ampt rows whose A and B are both 0, and the block-header
//   conductivities of .MQ printed as 0.000 that cause them (a K0 below about
//   0.012 cm/day, a measured Ks below 0.0005 cm/hr).
// - Water tables of the 21 upward fluxes (.UPQ) that do not deepen as the
//   flux falls: the fit is made through them as they stand.
// - Fluxes of .OUT at depths below the deepest water table of .UPQ, which
//   extend the spline's last piece.
// - A Green-Ampt A that falls as the water table deepens.
// - Per van Genuchten layer, the largest departure of the water content of
//   the .MQ table from the closed-form curve of its parameters; and the 12
//   points of .MIS against the parameters of the input (an input changed
//   since the run shows there). For measured points, the .MIS points against
//   the input's points.
// - Drained volumes that .OUT gives as 100.000 where .WTD gives another
//   volume at the same depth.
// - Characteristics that lacked a saturated point or did not reach a
//   suction of 1000 cm and were repaired.
// - A log that says the run ended normally while an output is missing or
//   incomplete (the log is shared by the runs of one folder).
#pragma once

#include <string>
#include <vector>

#include "figure/page.h"
#include "soilview/run_tables.h"

namespace soilview {

struct Check {
    figure::CheckStatus status;
    std::string text;
};

std::vector<Check> run_checks(const RunTables& r);

// A departure of a table from its curve (cm3/cm3) above which it is a
// warning: two steps of the table's water-content grid. Smaller ones are
// listed as passed, with their size.
inline constexpr double kDepartureWarning = 0.02;

// Departures of the run's tables from the exact references beyond which
// they are warnings: a drained volume off by more than 10 % and 0.1 cm
// (less water than that moves the water table by millimetres), and a
// water-table depth of an upward flux or a wetting-front suction more than
// 1.25 times or less than 1/1.25 of the exact one.
inline constexpr double kVolumeDeparture = 0.10;
inline constexpr double kVolumeFloor = 0.1;  // cm
inline constexpr double kRatioWarning = 1.25;

}  // namespace soilview
