#include "soilcalc/run_state.h"

#include <algorithm>
#include <cstring>

namespace soilcalc {
namespace {

// A plain character buffer: the floating-point trap reads it.
thread_local char t_routine[kRoutineLength];

}  // namespace

void set_routine(std::string_view name) {
    const size_t k = std::min(kRoutineLength, name.size());
    if (k > 0) std::memcpy(t_routine, name.data(), k);  // an empty view may have no data pointer
    std::memset(t_routine + k, ' ', kRoutineLength - k);
}

std::string_view routine_name() {
    return {t_routine, kRoutineLength};
}

}  // namespace soilcalc
