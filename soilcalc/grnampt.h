// Green-Ampt infiltration parameters against water-table depth.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "soilcalc/mq_file.h"
#include "soilcalc/run_state.h"

namespace pedopre {

// Reads the .MQ file `mq_name` and appends the Green-Ampt section to the .OUT
// stream. Returns 0, or -1 with the error message set.
int32_t GRNAMPT(Context& ctx, int out_unit, const std::string& mq_name);

// Reads the conductivity file on stream 21 into `in` and closes it. Returns
// 0, or -1 (no message, stream left open) on a failed open or read, or when
// the file holds more layers or rows than the tables have room for.
int32_t IREDMQ(Context& ctx, const std::string& mq_name, MqTables& in);

// Thickness-weighted mean (cm/hr) of the layer conductivities kb over the top
// d cm of the first nl layers, whose bottoms are zb (cm). Layer bounds are
// truncated to whole cm. The deepest layer continues below its bottom.
float GRAMTB(float d, const std::array<float, kMqLayers>& zb, const std::array<float, kMqLayers>& kb,
             int32_t nl);

// Water content of layer l (1-based) at suction psi (cm), linear in head
// between the rows of its table; a suction beyond the driest row follows the
// first segment. NaN when no segment can be used (no row at or above -psi,
// or a zero-width first segment).
float THETA(float psi, const MqTables& in, int32_t l);

}  // namespace pedopre
