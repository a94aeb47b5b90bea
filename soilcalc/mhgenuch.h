// Soil tables from van Genuchten parameters: the 12-point characteristic, the
// van Genuchten-Mualem conductivity table and the wetting-front suction.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "soilcalc/regrid.h"
#include "soilcalc/characteristic.h"
#include "soilcalc/run_state.h"

namespace pedopre {

// The suctions of the 12-point characteristic (cm).
inline constexpr int kVgPoints = 12;
inline constexpr std::array<float, kVgPoints> kVgSuctions = {
    0.0f, 25.0f, 50.0f, 75.0f, 100.0f, 150.0f, 200.0f, 330.0f, 500.0f, 1000.0f, 5000.0f, 15000.0f};

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
// of 0.01, writes its block to the .MQ and .SAV connections and stores the
// layer's wetting-front suction (cm) in swf. `count` becomes the number of
// rows. ksat is the saturated conductivity (cm/hr), zbot the bottom depth (cm).
// Returns 0, or -1 with the error message set when the characteristic cannot
// be regridded.
int32_t HYDK_GENUCHTEN(int32_t& count, const VanGenuchten& vg, float ksat, const float* theta, const float* h,
                       common::Connection& mq, common::Connection& sav, int32_t layer, float zbot, float& swf);

// The checks of the closing record: the depth of top soil for the
// Green-Ampt parameters and half the maximum root depth (cm) must both be
// above 0. The error message, or an empty text.
std::string closing_checks(float gadepth, float rootdepth);

// Reads the van Genuchten form of the main input file from stream in_unit
// (standing at its start) and fills the soil table: 12 characteristic points
// per layer, KSAT = Ks/24 (cm/hr), NLAYER, TITLE and LSIN. Writes the title
// line of the .WTD stream, the .MIS file and the .MQ and .SAV files, then
// closes the .SAV, .MQ, input and .MIS streams. Returns 0, or -1: with the
// error message left blank for a value that cannot be read or an early end
// of file, with the message set for any other failure.
int32_t ROSETTA(Context& ctx, int in_unit, int wtd_unit, int mis_unit, int mq_unit, int sav_unit,
                SoilTable& soil);

}  // namespace pedopre
