// The PEDOVIEW run: from the main input file of a PEDOPRE run to the page
// that draws the run's tables, written beside them, and one console line.
//
//   PEDOVIEW <INFILE>                  the page, <base>.SIN.html
//   PEDOVIEW --svg <FIGURE> <INFILE>   one figure alone, <base>.<FIGURE>.svg
//   PEDOVIEW --help | --version        the usage or the version, nothing else
//
// <base> is INFILE without its extension, as PEDOPRE names its outputs. A
// missing input or log ends the run with a console line beginning
// "ERROR: " and writes nothing; missing, unreadable or incomplete outputs
// are named on the page, which is written all the same. The run's files are
// read while its log is locked (shared), so no run of PEDOPRE changes them
// meanwhile; a run that is still working after a short wait is not read,
// and the page (a figure: the console) says that it is in progress. The page is
// written under a temporary name and appears whole when complete; it never
// replaces the input, the log or an output of PEDOPRE. Every path returns
// here; a program ends with exit status 0 whatever the outcome.
#pragma once

#include <string>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/run_outcome.h"

namespace soilview {

// How long the page waits for a run of PEDOPRE in progress on the same files
// to end before it says that the run is in progress instead.
inline constexpr int kRunWaitMs = 3000;

common::PageOutcome run_pedoview(const std::vector<std::string>& args, common::Connection& console,
                                 common::FileSystem& fs, int wait_ms = kRunWaitMs);

}  // namespace soilview
