// Drained volume and drainable porosity against water-table depth.
#pragma once

#include <cstdint>
#include <string>

#include "soilcalc/run_state.h"
#include "soilcalc/soil_table.h"

namespace pedopre {

// Writes the inputs echo and the 10-cm table to the .WTD stream, the 20-row
// drained-volume section to the .OUT stream and the per-layer tables to the
// .WDV file, which it opens itself as stream 11. Returns 0, or -1 with the
// error message set when the .WDV file cannot be opened or written.
int32_t WTVOLDRN(Context& ctx, int wtd_unit, int out_unit, const std::string& wdv_name,
                 const SoilTable& soil);

}  // namespace pedopre
