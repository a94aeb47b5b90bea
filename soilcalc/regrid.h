// Regridding of a soil water characteristic to water-content steps of 0.01.
//
// Both input forms use it: the measured points (heads zero or negative, cm)
// and the 12-point van Genuchten characteristic (positive suctions, cm).
#pragma once

#include <cstdint>
#include <string>

#include "soilcalc/characteristic.h"

namespace soilcalc {

// Replaces the characteristic (ws, hs) of n rows, driest first, by the table
// on water contents k/1000 for k = kstart, kstart + 10, ..., khi, where klo
// and khi are the permille indices of the driest and wettest water contents
// and kstart = klo + (khi - klo) mod 10: the remainder is dropped at the dry
// end. Heads at the grid points are interpolated linearly in water content;
// the last row keeps the head of the wettest point. n becomes the new row
// count.
//
// Before regridding, the driest point is dropped while it has the same water
// content as the next wetter one: it carries no information and would make
// the extrapolation below the first point divide by zero.
//
// The regridded table has at most 99 rows, its row count being written in
// two columns; the measured form gives at most 99 points (98 read plus a
// saturated point).
//
// Returns an empty text, or the error message (naming `layer`) when the
// driest or wettest water content lies outside the permille range 0.001 to
// 1.0, when the driest water content lies above the wettest, when the water
// contents span less than 0.010, or when the new table
// would have more than 99 rows.
std::string regrid_theta_steps(CurveColumn& ws, CurveColumn& hs, int32_t& n, int32_t layer);

}  // namespace soilcalc
