// How a run of either program is hosted and how it ends, as the caller of a
// driver sees it. Both drivers take the same arguments as their program, the
// console to write on and these options, and hand back one RunOutcome:
//
//   common::RunOutcome r = soilprep::run_pedopre({"soil.dat"}, console, {.files = &fs});
//   common::RunOutcome w = weather::run_metconv({"rain.dat", "HR", "IN", "7"}, console, {.files = &fs});
//   if (!r.ok) report(r.log_line.value_or(r.console.back()));
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"

namespace common {

struct RunOptions {
    // Trap invalid operations, divisions by zero and overflows in the soil
    // computation: the trap writes its log line and ends the process. Off
    // (as in a library), non-finite values run through and the run ends
    // normally or with a check's log line. The weather conversions have no
    // such trap.
    bool traps = true;
    // The files of the run; the disk when null.
    FileSystem* files = nullptr;
};

struct RunOutcome {
    // The log's one record as written, without its line end; none when the
    // run left no record of its own in a log (a question about the program,
    // the usage text, a name too long, a log that could not be written).
    std::optional<std::string> log_line;
    // The console lines in the order written, without their line ends.
    std::vector<std::string> console;
    // The run ended normally and its log says so. Callers tell success by
    // this, never by the text of the log line.
    bool ok = false;
};

// How a run of either page program (PEDOVIEW, METVIEW) ended: the file it
// wrote, none when it wrote none, and its console lines in order.
struct PageOutcome {
    std::optional<std::string> page;
    std::vector<std::string> console;
};

// Keeps a copy of what a run writes on its console from construction on.
class ConsoleRecord {
  public:
    explicit ConsoleRecord(Connection& console) : console_(&console) { console.keep_copy(&copy_); }
    ~ConsoleRecord() { console_->keep_copy(nullptr); }
    ConsoleRecord(const ConsoleRecord&) = delete;
    ConsoleRecord& operator=(const ConsoleRecord&) = delete;
    // Flushes the console and returns the lines written so far.
    std::vector<std::string> lines();

  private:
    Connection* console_;
    std::string copy_;
};

// Answers "--help" (the usage text, free-form lines) or "--version" (the
// version line) for `program`. True when the arguments asked either: the
// run then does nothing else and touches no file.
bool answer_question(const std::vector<std::string>& args, std::string_view program,
                     std::span<const std::string_view> usage, Connection& console);

// True when a log record as either program writes it ("NOERROR: ..."
// after PEDOPRE's leading blank or METCONV's asterisk) tells a normal end.
// For a log read back from disk, where no outcome is at hand.
bool says_normal_end(std::string_view record);

}  // namespace common
