// METCONV driver: the command line (CMDARGS), the file names derived from the
// input name, the choice of converter and the termination protocol (one log
// line, one console line).
//
//   METCONV <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>
//
// The output file and the log file are named after INFILE with its file name
// cut at its first "." (the folder part stays as given), followed by TEM,
// PET or RAI and by LOG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/connection.h"
#include "common/run_outcome.h"

namespace weather {

// Stream numbers of one run.
inline constexpr int kConsoleUnit = 6;
inline constexpr int kInputUnit = 10;
inline constexpr int kOutputUnit = 11;
inline constexpr int kLogUnit = 12;

// The message text is one 256-character line of the log.
inline constexpr size_t kMessageLength = 256;

// Run parameters, set once by CMDARGS.
struct RunParameters {
    std::string INFILE;        // argument 1 as given
    std::string TYPE = "  ";   // 2 characters, upper-cased
    std::string UNITS = "  ";  // 2 characters, upper-cased
    int32_t STA = 0;           // station number
    int32_t NHR = 0;           // "DR": hours to spread a day's rain over
    int32_t BEGHR = 0;         // "DR": first hour of the spread
    std::string EXT;           // "TEM", "PET", "RAI", or empty
    std::string OUTFILE;
    std::string LOGFILE;
    std::string argument_error;  // log line for an argument that does not read
};

// Reads the arguments (program name excluded) into P. With fewer than four
// it writes the usage text to the console and returns false.
bool CMDARGS(const std::vector<std::string>& args, RunParameters& p, common::Connection& console);

// The parameters and file names of a run on ARGS, as CMDARGS reads them,
// without a console: for the viewers and the commands that name a run's
// files. With fewer than four arguments the names are empty.
RunParameters run_parameters(const std::vector<std::string>& args);

// Reads the first six characters of TEXT in free form as one integer. False
// when they hold no integer.
bool read_integer_argument(std::string_view text, int32_t& v);

// One whole run of METCONV on ARGS (program name excluded). Console lines go
// to CONSOLE, which is flushed before the return; the files are those of
// the options (the disk by default).
common::RunOutcome run_metconv(const std::vector<std::string>& args, common::Connection& console,
                               const common::RunOptions& options = {});

}  // namespace weather
