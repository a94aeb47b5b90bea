// Unsaturated conductivity from measured characteristic points by the
// Millington-Quirk pore-class method, matched to the saturated conductivity.
#pragma once

#include <cstdint>
#include <string>

#include "soilcalc/regrid.h"
#include "soilcalc/run_state.h"

namespace pedopre {

// Gives a characteristic of n points (water content theta, head h in cm,
// wettest first) a point at zero head when it lacks one (the same repair as
// the measured-points reader makes, without its notices). Needs n >= 2.
void CHCKSWC(int32_t& n, CurveColumn& theta, CurveColumn& h);

// The Millington-Quirk conductivities Kmq (cm/hr, before matching) of a
// regridded table of `rows` rows (ws, hs), driest first, with the factor
// 270.0 and the exponent 1.3333. The first row takes the value of the second.
void millington_quirk(const CurveColumn& ws, const CurveColumn& hs, int32_t rows, CurveColumn& kmq);

// Reads the measured points of every layer from the main input file `infile`
// again (as stream in_unit), regrids each layer to water-content steps of
// 0.01, estimates and matches its conductivity and writes the .MQ (mq_unit)
// and .SAV (sav_unit) files; `lsin` receives the third value of the closing
// record. Closes the three streams on success. Returns 0, or -1 with the
// error message set.
int32_t MILNQRK(Context& ctx, int in_unit, int mq_unit, int sav_unit, const std::string& infile,
                int32_t& lsin);

}  // namespace pedopre
