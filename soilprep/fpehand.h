// The floating-point trap of PEDOPRE.
//
// While a run is active, invalid operations, divisions by zero and overflows
// raise SIGFPE. The handler `fpehand` ends the run's files as every run ends
// them (the outputs appear with what they hold, the log takes one line
// naming the exception and the current routine name), prints the trap's
// console line and ends the process with status 0. It uses only
// async-signal-safe calls on fixed buffers.
#pragma once

#include <cstddef>
#include <string>

#include "common/connection.h"
#include "common/run_files.h"

namespace soilprep {

// The log line of the trap for a SIGFPE sub-code (FPE_FLTINV, FPE_FLTDIV, ...)
// and a routine name: the message prefix followed by the name without its
// trailing blanks, cut or blank-padded to exactly 128 characters, written
// into `out` (which must hold 128 characters). Async-signal-safe.
void fpe_message(int si_code, const char* routine, size_t routine_length, char* out);

// Installs `fpehand` for SIGFPE and enables the traps for invalid operation,
// division by zero and overflow; the destructor restores the previous signal
// action and trap mask and clears the raised flags.
class FpeTrap {
  public:
    explicit FpeTrap(common::Connection& console);
    ~FpeTrap();
    FpeTrap(const FpeTrap&) = delete;
    FpeTrap& operator=(const FpeTrap&) = delete;

    // The files the handler ends, once the log is open.
    void set_run(common::RunFiles* files);

  private:
    int saved_excepts_;
    bool installed_ = false;
};

}  // namespace soilprep
