// Drained volume and drainable porosity against water-table depth, for the
// soil above the water table in hydrostatic equilibrium with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "soilcalc/characteristic.h"

namespace soilcalc {

// The grid of suctions and water-table depths: 1001 points 1 cm apart, 0 to
// 1000 cm.
inline constexpr int kGridPoints = 1001;
using GridColumn = std::array<float, kGridPoints>;

struct DrainedVolume {
    GridColumn z{};             // grid depth or suction (cm)
    std::vector<GridColumn> w;  // per layer: drained depth of a uniform column of its soil (cm)
    GridColumn vol{};           // drained volume of the layered profile (cm)
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
// layer, bottoms of the upper layers at or below the surface. Returns an
// empty text, or the error message.
std::string drained_volume_checks(const SoilTable& soil);

// The water-table depths (cm) of the 20 rows of drained volume that the soil
// input file takes, and their drained volumes (cm): 0 at the surface, at
// most 100, and 100 at the deepest row.
inline constexpr int kVolumeRows = 20;
inline constexpr std::array<int32_t, kVolumeRows> kVolumeDepthsCm = {0,  3,  6,  9,  12, 15,  20,  25,  30,  35,
                                                                     40, 45, 60, 75, 90, 120, 150, 200, 500, 1000};
std::array<float, kVolumeRows> volume_rows(const DrainedVolume& dv);

// The rows of the per-layer drained-depth tables: water tables 0 to 200 cm.
inline constexpr int kLayerVolumeRows = 201;
// The bottoms of the layers as the volumes use them: the deepest layer
// reaches 1000 cm (cm).
std::array<float, kMaxLayers> volume_bottoms(const SoilTable& soil);

// The grid step (cm) and the step of the listing's table (grid points).
inline constexpr float kGridStep = 1.0f;
inline constexpr int kListingStep = 10;

}  // namespace soilcalc
