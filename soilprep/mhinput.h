// Assembly of the model soil input file (.SIN).
#pragma once

#include <cstdint>
#include <string>

#include "soilcalc/characteristic.h"
#include "soilcalc/run_state.h"

namespace pedopre {

// Reads the three sections of the .OUT stream back from its start and writes
// the .SIN file `sin_name` (stream 32) with the characteristic of layer
// soil.lsin. Returns 0, or -1 with the error message set when the .OUT file
// is short or unreadable or the .SIN file cannot be written.
int32_t MHINPUT(Context& ctx, int out_unit, const std::string& sin_name, SoilTable& soil);

}  // namespace pedopre
