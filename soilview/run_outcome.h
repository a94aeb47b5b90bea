// How a soil's last PEDOPRE run ended, told from the run's own files and
// the log of the folder.
//
// PEDOPRE.LOG is shared by every soil in a folder and holds the outcome of
// the last run made there, whichever soil it was for; its line names no
// input. A soil's own files decide instead: a run of it that ends normally
// leaves all eight outputs whole (.SIN, written last, included), and a run
// that stops removes the outputs it did not write. So:
// - outputs whole, log NOERROR: the run ended normally;
// - outputs whole, log otherwise: this soil's last run that wrote files
//   ended normally; the log tells another soil's run, or a later run of
//   this soil refused before it wrote anything. A warning says so and the
//   page draws the tables;
// - outputs missing or incomplete: the run did not reach its end, whatever
//   the log says; the page says what the files show and quotes the log as
//   the folder's, which may be another soil's.
#pragma once

#include <string>
#include <vector>

#include "soilview/run_tables.h"

namespace soilview {

// True when all eight outputs were read whole.
bool outputs_whole(const RunTables& r);

// The reason for the page's failure banner, or empty when the run's own
// files show a run that ended normally.
std::string failure_reason(const RunTables& r);

// A warning when the log tells an outcome that the whole outputs do not
// show, or empty.
std::string log_disagreement(const RunTables& r);

}  // namespace soilview
