// Green-Ampt infiltration parameters against water-table depth.
#pragma once

#include <cstdint>
#include <string>

#include "soilprep/run_state.h"

namespace pedopre {

// Reads the .MQ file `mq_name` and appends the Green-Ampt section to the .OUT
// stream. Returns 0, or -1 with the error message set.
int32_t GRNAMPT(Context& ctx, int out_unit, const std::string& mq_name);

}  // namespace pedopre
