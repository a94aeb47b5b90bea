// Unsaturated conductivity from measured characteristic points by the
// Millington-Quirk pore-class method, matched to the saturated conductivity.
#pragma once

#include <cstdint>
#include <string>

#include "soilcalc/conductivity_layer.h"
#include "soilcalc/regrid.h"

namespace soilcalc {

// Gives a characteristic of n points (water content theta, head h in cm,
// wettest first) a point at zero head when it lacks one (the same repair as
// the measured-points reader makes, without its notices). Needs n >= 2.
void add_missing_saturated_point(int32_t& n, CurveColumn& theta, CurveColumn& h);

// The Millington-Quirk conductivities Kmq (cm/hr, before matching) of a
// regridded table of `rows` rows (ws, hs), driest first, with the factor
// 270.0 and the exponent 1.3333. The first row takes the value of the second.
void millington_quirk(const CurveColumn& ws, const CurveColumn& hs, int32_t rows, CurveColumn& kmq);

// The conductivity table of layer `layer` from its n measured points as the
// input gives them (theta, h in cm of either sign, wettest first): the
// saturated-point repair, the regrid to water-content steps of 0.01, the
// Millington-Quirk estimate matched to the saturated conductivity ks (cm/hr)
// and the wetting-front suction. zb is the bottom depth (cm). Returns an
// empty text, or the error message when the points cannot be regridded.
std::string MILNQRK(int32_t n, CurveColumn theta, CurveColumn h, float ks, float zb, int32_t layer,
                    ConductivityLayer& out);

}  // namespace soilcalc
