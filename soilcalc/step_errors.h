// Error texts that several PEDOPRE steps put into the run's error message.
// Each is built here once so that the wording stays the same everywhere.
#pragma once

#include <string>
#include <string_view>

#include "common/fixed_text.h"

namespace pedopre {

// An open or close of a file read back by name failed.
inline constexpr std::string_view kFileIoError = "ERROR: File I/O error";

// "ERROR: Read error in file " and the file name without trailing blanks; the
// error message field cuts it to 128 characters.
inline std::string read_error(std::string_view file) {
    return "ERROR: Read error in file " + std::string(rec::trim_right(file));
}

// A step's own output file could not be opened or written.
inline std::string open_error(std::string_view file) {
    return "ERROR: Cannot open file " + std::string(rec::trim_right(file));
}

}  // namespace pedopre
