// The listing file (.WTD): the title, the notices of the characteristic's
// repairs, the drained-volume step's echo of its inputs and its table of
// drained volume and drainable porosity every 10 cm of water-table depth.
// Every record of the file is written here.
#pragma once

#include <cstdint>
#include <string>

#include "common/connection.h"

namespace pedopre {

// "TITLE: " and the first 80 columns of the title.
bool write_wtd_title(common::Connection& wtd, const std::string& title);
// The notice that a layer's first point was not at saturation.
bool write_no_saturated_notice(common::Connection& wtd);
// The five lines that tell that a layer's curve was extended to 1000 cm.
bool write_extended_notice(common::Connection& wtd, int32_t layer);

// The drained-volume step's echo of its inputs: the layer count and the
// bottom depths as given (cm), then the grid of `steps` steps of `dz` cm.
bool write_wtd_inputs(common::Connection& wtd, int32_t nlayer, const float* zbot);
bool write_wtd_grid(common::Connection& wtd, int32_t steps, float dz);
// One layer's characteristic: suction (cm) and water content of each point.
bool write_wtd_layer(common::Connection& wtd, int32_t layer, int32_t n, const float* head, const float* theta);
// The heading of the table, then one row: water-table depth (cm), drained
// volume (cm) and drainable porosity (cm/cm).
bool write_wtd_table_head(common::Connection& wtd);
bool write_wtd_table_row(common::Connection& wtd, float depth, float volume, float porosity);

}  // namespace pedopre
