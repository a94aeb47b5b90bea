// The value a number has once written into a fixed-width field and read
// back: what a program that reads the file gets. The same values the record
// writers and readers give, computed without forming any text.
#pragma once

#include <optional>

namespace common {

// v written as Fw.d (0 <= d <= 9) and read back as a real: the correctly
// rounded float of the decimal written, a minus sign kept on a value that
// rounds to zero. Nothing when the field cannot be read back: a value that
// does not fit (asterisks), or one that is not finite (NaN, Infinity).
std::optional<float> printed_fixed(float v, int w, int d);

// v written as a free-form real and read back: v itself, or nothing when it
// is not finite.
std::optional<float> printed_free(float v);

}  // namespace common
