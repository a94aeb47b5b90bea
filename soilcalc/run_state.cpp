#include "soilcalc/run_state.h"

#include <algorithm>
#include <cstring>

namespace pedopre {
namespace {

// Plain character buffers: the floating-point trap reads them.
char g_error[kErrorLength];
char g_routine[kRoutineLength];

void store(char* dst, size_t n, std::string_view s) {
    size_t k = std::min(n, s.size());
    if (k > 0) std::memcpy(dst, s.data(), k);  // an empty view may have no data pointer
    std::memset(dst + k, ' ', n - k);
}

}  // namespace

void set_routine(std::string_view name) { store(g_routine, kRoutineLength, name); }
std::string_view routine_name() { return {g_routine, kRoutineLength}; }

void set_error(std::string_view message) { store(g_error, kErrorLength, message); }
void clear_error() { store(g_error, kErrorLength, {}); }
std::string_view error_message() { return {g_error, kErrorLength}; }

}  // namespace pedopre
