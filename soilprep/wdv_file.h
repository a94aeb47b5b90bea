// The drained-volume file (.WDV): per layer, the drained depth (cm) of a
// uniform column of the layer's soil for water tables 0 to 200 cm.
#pragma once

#include "common/connection.h"
#include "soilcalc/wtvoldrn.h"

namespace soilprep {

bool write_wdv(common::Connection& wdv, const soilcalc::SoilTable& soil, const soilcalc::DrainedVolume& dv);

}  // namespace soilprep
