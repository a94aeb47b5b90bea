// The PEDOPRE run: from the main input file named on the command line to the
// soil tables written next to it, ending with one log line and one console
// line.
#pragma once

#include <string>
#include <vector>

#include "common/connection.h"
#include "common/run_outcome.h"

namespace soilprep {

// Runs PEDOPRE with the command-line arguments `args` (the program name not
// included). Console lines go to `console`. Every stop, normal or abnormal,
// returns here; the process state the run changes (floating-point traps and
// the SIGFPE action) is restored before it returns.
common::RunOutcome run_pedopre(const std::vector<std::string>& args, common::Connection& console,
                               const common::RunOptions& options = {});

}  // namespace soilprep
