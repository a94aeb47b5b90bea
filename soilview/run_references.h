// The exact references of one run (exact_references.h), evaluated where the
// run's tables have values, for the figures and checks. They exist only
// for soils given by van Genuchten parameters, every layer read.
//
// The upward flux uses the tension the run used at the reference level:
// 1000 cm, or the top layer's driest tabulated tension in .MQ when that is
// lower. The Green-Ampt A of a row is (theta_s - theta(psi)) Sf B, with the
// top layer's exact water content and wetting-front suction, the run's own
// suction psi (the water-table depth, or from 150 cm on the driest suction
// of the top layer's table) and the run's B as computed (.OUT), so that it
// departs from the table only where the table's water content, Sf or its
// rounding do.
#pragma once

#include <optional>
#include <vector>

#include "soilview/exact_references.h"

namespace soilview {

struct RunTables;

// Water tables deeper than this (cm) lie beyond the depths the figures
// draw at full scale; their rows are listed in tables beside them.
inline constexpr double kDesignDepth = 200.0;

struct RunReferences {
    std::vector<ProfileLayer> layers;
    // Drained volume (cm) at each .SIN row, at each .WTD row, and on a
    // curve every cm from 0 to kDesignDepth.
    std::vector<double> sin_volume, wtd_volume, curve_depth, curve_volume;
    // Upward flux: the tension at the reference level (cm), and the exact
    // water table (cm below the reference level) of each .UPQ flux.
    std::optional<double> top_tension;
    std::vector<double> flux_depth;
    // Wetting-front suction of the top layer (cm), and the exact A
    // (cm2/hr) of each .SIN Green-Ampt row when .OUT gives B.
    double sf = 0;
    std::vector<double> ga_a;
};

// Nothing unless the input gives van Genuchten layers, all of them read.
// read_run keeps the result in RunTables::refs.
std::optional<RunReferences> run_references(const RunTables& r);

// The tension at the reference level that the run used (cm), when .MQ gives
// the top layer's table.
std::optional<double> run_top_tension(const RunTables& r);

}  // namespace soilview
