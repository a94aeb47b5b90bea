// Steady upward flux from the water table against water-table depth.
#pragma once

#include <cstdint>
#include <string>

#include "soilcalc/run_state.h"

namespace pedopre {

// Reads the .MQ file `mq_name`, writes `base` + ".UPQ" and appends the
// upward-flux section to the .OUT stream. Returns 0, or -1 with the error
// message set.
int32_t UPFLUX(Context& ctx, int out_unit, const std::string& base, const std::string& mq_name);

}  // namespace pedopre
