// The drained-volume file (.WDV): per layer, the drained depth (cm) of a
// uniform column of the layer's soil for water tables 0 to 200 cm.
#pragma once

#include "common/connection.h"
#include "soilcalc/wtvoldrn.h"

namespace pedopre {

bool write_wdv(common::Connection& wdv, const SoilTable& soil, const DrainedVolume& dv);

}  // namespace pedopre
