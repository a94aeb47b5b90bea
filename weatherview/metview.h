// METVIEW: the report page of a METCONV run.
//
//   METVIEW <INFILE> <TYPE> <UNITS> <STA> [<NHR> <BEGHR>]
//
// Given the arguments of a METCONV run, it reads the run's input (as
// METCONV reads it), its log and its weather file (through the layouts that
// wrote it), while the run's log is locked (shared) so that no run of
// METCONV changes them meanwhile (a run still working after a short wait is
// not read: the page says that it is in progress), and writes one
// self-contained page beside the weather file, named after it with .html
// added (w.dat gives w.RAI and w.RAI.html), so that the pages of a site's
// rain, temperatures and evapotranspiration, and its soil's page, never
// share a name. It never changes the input or
// METCONV's files; the page is written whole or not at all.
//
// The arguments are read by METCONV's own CMDARGS, so both programs name the
// files alike and answer bad arguments with the same lines: fewer than four
// arguments give the usage text and the stop line; a refused argument gives
// METCONV's log line for it on the console, and no page. --help and
// --version, as the only argument, print the usage or the version and touch
// no file. A run that cannot write its page says why on the console. The
// exit status is 0 on every path.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/run_outcome.h"
#include "weather/weather_files.h"

namespace weatherview {

// The program's name and version, as --version prints it.
std::string version_line();

// The page's name for a weather file: the weather files' own rule.
using weather::page_name;

// One whole run of METVIEW on ARGS (program name excluded), on the files of
// FILES; console lines go to CONSOLE, which is flushed before the return.
// How long METVIEW waits for a run of METCONV in progress on the same files
// to end before its page says that the run is in progress instead.
inline constexpr int kRunWaitMs = 3000;

common::PageOutcome run_metview(const std::vector<std::string>& args, common::Connection& console,
                                common::FileSystem& files = common::disk(), int wait_ms = kRunWaitMs);

}  // namespace weatherview
