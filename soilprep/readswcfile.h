// Reading the measured-points form of the main input file into the soil
// water characteristic table, with the repairs of a missing saturated point
// and a curve that stops short of 1000 cm.
#pragma once

#include <cstdint>

#include "soilcalc/characteristic.h"
#include "soilcalc/run_state.h"

namespace pedopre {

// Reads the title, NLAYER and every layer's header and points from stream
// in_unit (standing at the start of the file) into the soil table; echoes the
// points as given to the .MIS stream and writes the title and the repair
// notices to the .WTD stream. Afterwards every layer starts at head 0, ends at
// a suction of at least 1000 cm and holds its heads as positive suctions (cm).
// Closes the input and .MIS streams. Returns 0, or -1: with the error message
// left blank for a value that cannot be read or an early end of file, with
// the message set for any other failure.
int32_t READSWCFILE(Context& ctx, int in_unit, int wtd_unit, int mis_unit, SoilTable& soil);

// Gives layer `layer` (1-based) of the table a point at head 0 when its first
// head is off zero (add_saturated_point), and then writes a notice to the
// .WTD connection and the extrapolated water content to the console; n is
// raised by one. Needs n >= 2.
void CHKSWC(Context& ctx, common::Connection& wtd, int32_t& n, int32_t layer, SoilTable& soil);

}  // namespace pedopre
