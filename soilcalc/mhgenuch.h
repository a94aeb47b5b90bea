// Soil tables from van Genuchten parameters: the 12-point characteristic, the
// van Genuchten-Mualem conductivity table and the wetting-front suction.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "soilcalc/characteristic.h"
#include "soilcalc/conductivity_layer.h"
#include "soilcalc/regrid.h"
#include "soilcalc/run_state.h"

namespace soilcalc {

// The suctions of the 12-point characteristic (cm).
inline constexpr int kVgPoints = 12;
inline constexpr std::array<float, kVgPoints> kVgSuctions = {0.0f,   25.0f,  50.0f,  75.0f,   100.0f,  150.0f,
                                                             200.0f, 330.0f, 500.0f, 1000.0f, 5000.0f, 15000.0f};

// Parameters of one layer: residual and saturated water content (cm3/cm3),
// alpha (1/cm), n, the matching-point conductivity k0 (cm/day) and the
// pore-connectivity exponent l of the Mualem model.
struct VanGenuchten {
    float theta_r = 0.0f;
    float theta_s = 0.0f;
    float alpha = 0.0f;
    float n = 0.0f;
    float k0 = 0.0f;
    float l = 0.0f;
};

// For i = 0 .. count-1, the water content theta[i] and the conductivity k[i]
// (cm/hr) at the suction h[i] (cm). Returns 0.
int32_t SWC_GENUCHTEN(int32_t count, const VanGenuchten& vg, float* theta, float* k, const float* h);

// Builds the conductivity table of layer `layer` from its characteristic
// (theta, h: `count` points, wettest first), regridded to water-content steps
// of 0.01, with the layer's wetting-front suction. ksat is the saturated
// conductivity (cm/hr), zbot the bottom depth (cm). Returns an empty text, or
// the error message when the characteristic cannot be regridded.
std::string HYDK_GENUCHTEN(int32_t count, const VanGenuchten& vg, float ksat, const float* theta, const float* h,
                           int32_t layer, float zbot, ConductivityLayer& out);

// The parameters of a layer that no soil can have: its bottom not below the
// layer above it (cm), theta_r < theta_s <= 1 not holding, alpha (1/cm) or
// the conductivities Ks and K0 (cm/day) not above 0, n not above 1. The
// message, or an empty text.
std::string layer_checks(int32_t layer, float top, float zbot, const VanGenuchten& vg, float ks);

// The checks of the closing record: the depth of top soil for the
// Green-Ampt parameters and half the maximum root depth (cm) must both be
// above 0. The error message, or an empty text.
std::string closing_checks(float gadepth, float rootdepth);

}  // namespace soilcalc
