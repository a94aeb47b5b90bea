// The figures against water-table depth:
// - drained volume (.WTD every 10 cm, and the 20 rows of .OUT that the
//   model takes), and drainable porosity (.WTD);
// - steady upward flux: the water table found for each of the 21 fluxes
//   (.UPQ) and the spline through them sampled at 20 depths (.OUT), both
//   with depths counted from the reference level at ROOTDEPTH below the
//   surface, the flux on a logarithmic axis;
// - the Green-Ampt A and B of .OUT.
// The notices of the upward flux in .OUT go into the notes of its figure.
#pragma once

#include <optional>

#include "soilview/figure_block.h"
#include "soilview/run_tables.h"

namespace soilview {

// Each gives nothing when the run left none of the tables it draws.
std::optional<FigureBlock> drained_volume_figure(const RunTables& r);
std::optional<FigureBlock> drainable_porosity_figure(const RunTables& r);
std::optional<FigureBlock> upward_flux_figure(const RunTables& r);
std::optional<FigureBlock> green_ampt_a_figure(const RunTables& r);
std::optional<FigureBlock> green_ampt_b_figure(const RunTables& r);

}  // namespace soilview
