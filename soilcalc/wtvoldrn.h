// Drained volume and drainable porosity against water-table depth, for the
// soil above the water table in hydrostatic equilibrium with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "soilcalc/characteristic.h"
#include "soilcalc/run_state.h"

namespace pedopre {

// The grid of suctions and water-table depths: 1001 points 1 cm apart, 0 to
// 1000 cm.
inline constexpr int kGridPoints = 1001;
using GridColumn = std::array<float, kGridPoints>;

struct DrainedVolume {
    GridColumn z{};              // grid depth or suction (cm)
    std::vector<GridColumn> w;   // per layer: drained depth of a uniform column of its soil (cm)
    GridColumn vol{};            // drained volume of the layered profile (cm)
    // Drainable porosity (cm/cm) at grid point k: the slope of the volume
    // over the last cm before it (0 at the surface; at the deepest point the
    // slope of the cm before that).
    float porosity(int k) const;
};

// Computes the drained volumes of the profile. The deepest layer is taken
// to reach 1000 cm whatever its bottom. Needs a table that passes
// drained_volume_checks().
DrainedVolume drained_volume(const SoilTable& soil);

// The checks the computation needs: 1 to 9 layers, 2 to 100 points per
// layer, bottoms of the upper layers at or below the surface. Returns 0, or
// -1 with the error message set.
int32_t drained_volume_checks(const SoilTable& soil);

// Writes the inputs echo and the 10-cm table to the .WTD stream, the 20-row
// drained-volume section to the .OUT stream and the per-layer tables to the
// .WDV file, which it opens itself as stream 11. Returns 0, or -1 with the
// error message set when the .WDV file cannot be opened or written, or the
// table fails the checks.
int32_t WTVOLDRN(Context& ctx, int wtd_unit, int out_unit, const std::string& wdv_name,
                 const SoilTable& soil);

}  // namespace pedopre
