// The PEDOPRE run: from the main input file named on the command line to the
// soil tables written next to it, ending with one log line and one console
// line.
#pragma once

#include <string>
#include <vector>

#include "common/connection.h"

namespace soilprep {

struct RunOptions {
    // Trap invalid operations, divisions by zero and overflows: the trap
    // writes its log line and ends the process. Off, non-finite values run
    // through the computation and the run ends normally or with a check's
    // log line.
    bool traps = true;
    // The files of the run; the disk when null.
    common::FileSystem* files = nullptr;
};

struct RunOutcome {
    // The log record as written, without its line end; when the log could
    // not be written, the text that the console showed in its place.
    std::string log_line;
    std::string console_line;  // the termination line shown on the console
    bool logged = true;        // false when the log could not be written
    bool ok = false;           // the run ended normally and its log says so
};

// Runs PEDOPRE with the command-line arguments `args` (the program name not
// included). Console lines go to `console`. Every stop, normal or abnormal,
// returns here; the process state the run changes (floating-point traps and
// the SIGFPE action) is restored before it returns.
RunOutcome run_pedopre(const std::vector<std::string>& args, common::Connection& console,
                       const RunOptions& options = {});

}  // namespace soilprep
