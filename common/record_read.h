// Reading statements through a record layout.
//
// A statement starts at a new record; / moves to the next one. A record
// shorter than the layout counts as padded with blanks. Once the targets are
// filled, the walk goes on through nX items and slashes (each slash moving on
// one record) up to the next data item or the end of the layout; the rest of
// the current record is then skipped. When the layout ends while targets
// remain, reading goes on with a new record from the reuse point.
#pragma once

#include <initializer_list>
#include <string_view>

#include "common/connection.h"
#include "common/layout.h"
#include "common/values.h"

namespace common {

class RecordReader {
  public:
    RecordReader(Connection& c, const Layout& layout) : c_(&c), walker_(layout), layout_(&layout) {}
    // Fills one target; false once the statement has failed (the target is
    // then left as it was).
    bool get(const Target& t);
    // Ends the statement and reports its outcome.
    ReadStatus finish();

  private:
    bool next_record();
    std::string_view field(int32_t w);

    Connection* c_;
    LayoutWalker walker_;
    const Layout* layout_;
    std::string_view rec_;
    size_t col_ = 0;
    bool started_ = false;
    int32_t since_restart_ = 0;
    int32_t filled_ = 0;
    ReadStatus status_ = ReadStatus::Done;
};

ReadStatus read_record(Connection& c, const Layout& layout, std::initializer_list<Target> targets);

}  // namespace common
