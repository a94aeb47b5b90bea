// The suction-integral file (.SAV): per layer a header with the bottom depth
// (cm) and saturated conductivity (cm/hr), then the head (cm), interval area
// and running total of every interval of the wetting-front integral.
#pragma once

#include <cstdint>

#include "common/connection.h"
#include "soilcalc/sav1.h"

namespace soilprep {

// One layer's block; h is the head column the integral ran over, `rows` its
// rows. False if the file write failed.
bool write_sav_block(common::Connection& sav, float zbot, float ksat, const soilcalc::CurveColumn& h,
                     const soilcalc::WettingFront& w, int32_t rows);

}  // namespace soilprep
