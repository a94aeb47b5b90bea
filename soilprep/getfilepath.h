// Splitting the input file's path into the parts its output names are built on.
#pragma once

#include <string>

#include "soilcalc/run_state.h"

namespace soilprep {

// Splits `infile` (a 256-character path field) into its directory and its
// base. `dir` is the directory part with its trailing separator, empty when
// the path names no directory. `base` is the directory and the file name
// without its extension, the extension being the part of the file name from
// its last period on (a period in a directory name never counts). Both are
// returned as 256-character fields, blank-padded.
void GETFILEPATH(std::string& dir, const std::string& infile, std::string& base);

}  // namespace soilprep
