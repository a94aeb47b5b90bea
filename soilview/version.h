// The version of the tool set, as --version prints it; the build gives it
// from the project's version.
#pragma once

#include <string_view>

#ifndef DRAINPREP_VERSION
#error "DRAINPREP_VERSION is set by the build"
#endif

namespace soilview {

inline constexpr std::string_view kVersion = DRAINPREP_VERSION;

}  // namespace soilview
