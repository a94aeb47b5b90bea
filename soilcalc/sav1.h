// Wetting-front suction: the integral of relative conductivity over suction,
// and its working table in the suction-integral file (.SAV).
#pragma once

#include <cstdint>

#include "common/connection.h"
#include "soilcalc/regrid.h"

namespace pedopre {

// For a table of `rows` rows, driest first, with heads h (cm: positive
// suctions or non-positive pressure heads, only their differences count) and
// relative conductivities r, integrates r over suction by the trapezoidal
// rule and returns the wetting-front suction (cm) in `swf`. Appends the
// layer's block to the .SAV connection: a header with the bottom depth `zbot`
// (cm) and saturated conductivity `ksat` (cm/hr), then the head, interval
// area and running total of every interval. The conductivities `kc` are not
// used. Returns false if the file write failed.
bool SAV1(common::Connection& sav, const CurveColumn& kc, const CurveColumn& h, const CurveColumn& r,
          int32_t rows, float& swf, float ksat, float zbot);

}  // namespace pedopre
