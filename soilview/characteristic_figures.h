// The figures against suction: the soil water characteristic and the
// unsaturated conductivity of every layer, both on a logarithmic suction
// axis whose band marked "<= 0" holds the points at saturation.
//
// Measured points: each layer's line is its table in the conductivity file
// (.MQ, water-content steps of 0.01), and the characteristic shows the
// points of .MIS as markers. Van Genuchten parameters: each layer's line is
// the closed-form curve of its parameters (van_genuchten_curve.h), and the
// .MQ table is drawn as markers beside it, so that a table that departs
// from its curve shows. Lines come first, so each layer's line keeps its own
// dash pattern. The repairs that .WTD reports go into the notes of the
// characteristic.
#pragma once

#include <optional>

#include "soilview/figure_block.h"
#include "soilview/run_tables.h"

namespace soilview {

// Nothing when the run left neither a .MIS nor a .MQ table to draw.
std::optional<FigureBlock> characteristic_figure(const RunTables& r);
// Nothing when the run left no .MQ table.
std::optional<FigureBlock> conductivity_figure(const RunTables& r);

// The van Genuchten parameters of layer `layer` (0-based), when the input
// gives the layers in that form and the layer was read.
const InputLayer* vg_layer(const RunTables& r, int32_t layer);

// The lowest conductivity drawn on a curve (cm/hr): the table prints
// nothing below 0.000000001.
inline constexpr double kLowestConductivity = 1e-10;

}  // namespace soilview
