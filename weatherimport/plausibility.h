// Checks that a series is what its declared columns and units say:
// Tmax below Tmin (swapped columns), temperatures no air has had,
// daily and yearly rain beyond what any gauge has recorded (often a wrong
// unit), negative rain, and PET outside what an evaporating surface gives.
// Each day that fails is listed; a check never changes a value.
#pragma once

#include "weatherimport/daily_series.h"

namespace weatherimport {

// Checks S, whose source gave temperatures in TEMPERATURE_UNIT and rain in
// RAIN_UNIT (the units named in the findings' words).
void check_plausibility(const DailySeries& s, TemperatureUnit temperature_unit, DepthUnit rain_unit,
                        Findings& findings);

}  // namespace weatherimport
