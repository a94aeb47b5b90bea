// A batch of PEDOPRE or METCONV runs, each a process of the program
// installed beside drainprep, N at a time, with the page of each run when
// asked for.
//
// Before anything runs, the batch is checked: two runs that would write the
// same file (a log, an output, a page), or a run that would read what
// another writes, refuse the whole batch, and nothing is written. Names are
// compared as the file system resolves their folders, so a/../b/x and b/x
// are one file.
//
// While the batch runs, each run gets one line as it ends, a terminal gets a
// progress line, and the batch ends with a summary. A failed run never stops
// the others. SIGINT, SIGTERM and SIGHUP are passed on to the running
// programs, which end as they end on a signal (their log says the run did
// not finish, their temporaries are removed); no further run starts, the
// summary says which runs finished, and drainprep then ends by the same
// signal.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "command/page_checks.h"

namespace command {

// One run as planned. Every name is as seen from drainprep's working
// folder; the program itself runs in `folder` on `args`.
struct Run {
    std::string label;              // what the run's line shows
    std::string program;            // PEDOPRE or METCONV
    std::string viewer;             // PEDOVIEW or METVIEW
    std::vector<std::string> args;  // the program's arguments; the viewer's are the same
    std::string folder;             // where both run; empty: drainprep's own folder
    int manifest_line = 0;          // the manifest's line number, 0 for a soil

    std::vector<std::string> reads;  // the input
    std::string log;
    std::vector<std::string> outputs;  // every output the program may write
    std::string page;                  // the page the viewer writes, when pages are made
};

enum class RunOutcome { NotStarted, Ok, Failed, Interrupted };

struct RunResult {
    RunOutcome outcome = RunOutcome::NotStarted;
    std::string log_record;            // the log's line, trailing blanks cut
    std::string reason;                // why a run failed, when the log does not say
    std::vector<std::string> console;  // the program's console lines
    std::vector<std::string> files;    // the files the run left: log, outputs, page
    bool page_written = false;
    std::vector<PageCheck> checks;  // the page's checks
};

// "ok", "failed", "interrupted", "not started".
const char* outcome_word(RunOutcome o);

// The counts of the summary line. A run needs a look when its page lists a
// warning or a failed check.
struct Summary {
    int runs = 0, ok = 0, failed = 0, interrupted = 0, not_started = 0, need_a_look = 0;
};
Summary summarise(const std::vector<RunResult>& results);

struct BatchOptions {
    std::string command;  // "soil run" or "weather run"
    int jobs = 1;
    bool pages = false;
    bool fsync = false;
    std::string json;      // the summary file, or empty
    std::string manifest;  // weather: the manifest
};

// A name clash between two runs; `second` is -1 when the name is the
// summary file's.
struct Clash {
    size_t first = 0;
    long second = 0;
    std::string name;
    bool read = false;  // the first run reads what the second writes
};

// Every clash of the batch, in the order of the runs.
std::vector<Clash> find_clashes(const std::vector<Run>& runs, const std::string& json);

// Runs the batch and returns the exit status (0, 1 or 2).
int run_batch(const std::vector<Run>& runs, const BatchOptions& options);

// The folder of the running drainprep, where the programs are installed.
std::string program_folder();

// NAME as seen from drainprep's folder when the program runs in FOLDER.
std::string seen_from_here(const std::string& folder, const std::string& name);

}  // namespace command
