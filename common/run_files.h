// What both programs' drivers share at the edges of a run: the console on
// standard output, the refusal of an input that an output would overwrite,
// and the files of the run, whose end is always the same:
// - from before the first output is written until the run ends, the log
//   holds a line that says the run did not finish, so a run that is
//   interrupted never leaves an earlier run's success line behind;
// - when the run ends, normally or not, every output it opened appears with
//   what it wrote, the outputs of the set that it did not write are removed
//   (so no earlier run's file is left beside this run's), and the log's one
//   record replaces that line.
// The log stays locked from the first line to the last, so runs that share
// a log wait for each other.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"

namespace common {

// The console of a program: standard output.
std::unique_ptr<Connection> console_on_stdout(int unit);

// The first of `names` that would overwrite the file `input`, or nullptr.
const std::string* overwrites_input(FileSystem& fs, const std::string& input, const std::vector<std::string>& names);

class RunFiles {
  public:
    explicit RunFiles(UnitTable& units) : units_(&units) {}

    // Opens and locks the log at `path` and writes `unfinished` (whole
    // records with their line ends) into it. False when that fails: `reason`
    // then holds the system's words, and an earlier log at that name has been
    // removed where the folder allows (`removed`), so that it cannot be read
    // as this run's outcome; where it does not, standing() says so.
    bool open_log(const std::string& path, std::string_view unfinished, std::string& reason, bool& removed);
    bool has_log() const { return log_ != nullptr; }
    const std::string& log_path() const { return log_path_; }

    // The outputs the run may write, declared before the first is opened;
    // what runs that were killed left of them (and of the log) is removed.
    void begin_outputs(std::vector<std::string> names);
    const std::vector<std::string>& outputs() const { return outputs_; }

    // Ends the run as the header says, `record` (whole records with their
    // line ends) becoming the log's content. False, with the reason, when the
    // log could not take it.
    bool finish(std::string_view record, std::string& reason);
    // A console line for each file of an earlier run that could not be
    // removed and so stands beside this run's files, with the reason: the
    // log, when open_log() failed; outputs, after finish(). Empty when none.
    const std::vector<std::string>& standing() const { return standing_; }
    // The same for the floating-point trap, with async-signal-safe calls.
    void emergency_finish(const char* record, size_t n) noexcept;

  private:
    void remove_unwritten();

    UnitTable* units_;
    std::unique_ptr<LogFile> log_;
    std::string log_path_;
    std::vector<std::string> outputs_;
    std::vector<std::string> standing_;
    bool outputs_begun_ = false;
};

}  // namespace common
