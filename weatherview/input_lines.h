// Where each record of an input stands: the line number and the text of the
// line a free-form record starts on, for a file read through a
// common::Connection.
//
// The tracker sits between the Connection and its File and keeps the bytes
// read since the last record it was asked about, so its memory is one read
// chunk and one record, however long the file. Ask about records in the
// order they are read:
//
//   LineTracker lines;
//   common::Connection in(unit, path, lines.track(std::move(file)));
//   const int64_t at = in.mark();
//   common::read_free(in, {...});
//   const auto where = lines.locate(at);   // after the read, not before
//
// A record starts on the first line at or after `at` that is not blank: the
// free-form reader passes over blank lines before the first value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_system.h"

namespace weatherview {

struct LinePlace {
    int64_t line = 0;       // counted from 1
    std::string_view text;  // the line as it stands, without its line end; valid until the next call
};

class LineTracker {
  public:
    LineTracker() = default;
    LineTracker(const LineTracker&) = delete;
    LineTracker& operator=(const LineTracker&) = delete;

    // FILE, read through this tracker. The tracker must outlive it.
    std::unique_ptr<common::File> track(std::unique_ptr<common::File> file);

    // The record that starts at byte OFFSET (a Connection::mark() taken
    // before the record was read). Offsets must not go back.
    LinePlace locate(int64_t offset);

  private:
    friend class TrackedFile;
    void take(int64_t at, const char* p, size_t n);

    std::string kept_;          // bytes of the file from kept_at_ + head_ on
    size_t head_ = 0;           // bytes of kept_ already counted and no longer needed
    int64_t kept_at_ = 0;       // file offset of kept_[0]
    int64_t lines_before_ = 0;  // line ends before kept_[head_]
};

}  // namespace weatherview
