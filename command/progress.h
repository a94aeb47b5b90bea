// The progress line of a batch on a terminal: how many runs have ended, how
// many are running and the last one started, redrawn in place on standard
// error. Nothing is drawn when standard error is not a terminal (a pipe, a
// log file), so logs hold only the runs' lines.
#pragma once

#include <cstddef>
#include <string>

namespace command {

class Progress {
  public:
    explicit Progress(size_t total);

    void started(const std::string& label);
    void ended() { --running_; }
    void finished() { ++done_; }

    // Wipes the line, before a run's line is written.
    void clear();
    void draw();

  private:
    bool on_terminal_;
    size_t total_;
    size_t done_ = 0;
    long running_ = 0;
    std::string last_;
    bool shown_ = false;
};

}  // namespace command
