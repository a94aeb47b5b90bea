// How a soil run stops short: its log line.
#pragma once

#include <string>

namespace soilprep {

// The log line's text, and whether it fills the whole 128-character message
// field (a step's message) or is written as it stands (the driver's lines).
// An empty text: no stop.
struct SoilStop {
    std::string text;
    bool full_field = true;
};

}  // namespace soilprep
