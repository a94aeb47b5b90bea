// The routine name of a PEDOPRE run: the step the driver is running, or the
// routine that a step has entered last (the spline and van Genuchten
// routines record their own names). The floating-point trap names it in its
// log line.
//
// The name is kept per thread, in a fixed buffer that a signal handler on
// the faulting thread can read safely: runs on different threads never see
// each other's names.
#pragma once

#include <cstddef>
#include <string_view>

namespace soilcalc {

inline constexpr size_t kPathLength = 256;   // every file name field
inline constexpr size_t kErrorLength = 128;  // the log line's message field
inline constexpr size_t kRoutineLength = 24;

void set_routine(std::string_view name);
std::string_view routine_name();  // 24 characters, blank-padded

}  // namespace soilcalc
