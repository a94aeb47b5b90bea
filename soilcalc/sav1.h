// Wetting-front suction: the integral of relative conductivity over suction,
// with its working table (the intervals that the suction-integral file lists).
#pragma once

#include <cstdint>

#include "soilcalc/characteristic.h"

namespace soilcalc {

// The integral over a table, interval by interval: interval j spans rows j
// and j + 1.
struct WettingFront {
    CurveColumn area{};   // area of each interval (cm)
    CurveColumn total{};  // running total after each interval (cm)
    float swf = 0.0f;     // wetting-front suction: the whole integral (cm)
};

// For a table of `rows` rows, driest first, with heads h (cm: positive
// suctions or non-positive pressure heads, only their differences count) and
// relative conductivities r, integrates r over suction by the trapezoidal
// rule.
WettingFront SAV1(const CurveColumn& h, const CurveColumn& r, int32_t rows);

}  // namespace soilcalc
