// Writing statements through a record layout.
//
// One statement writes its values in order through the layout and may make
// several records:
// - literals are copied, nX gives n blanks, / ends the record;
// - when the values are used up, the walk goes on through literals, blanks
//   and slashes up to the next data item or the end of the layout, then the
//   last record ends;
// - when the layout ends while values remain, the record ends and the walk
//   starts again at the last top-level group (or at the start);
// - blanks that only nX would leave at the end of a record are not written.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/connection.h"
#include "common/layout.h"
#include "common/values.h"

namespace common {

// Formats one statement value by value into `out`, records ended by CR LF.
class RecordWriter {
  public:
    RecordWriter(const Layout& layout, std::string& out)
        : walker_(layout), layout_(&layout), out_(&out), len_(out.size()) {}
    void put(const Value& v);
    // Ends the statement; the writer must not be used afterwards.
    void finish();

  private:
    void end_record();
    void act(const Item& it);
    void text(std::string_view t);  // pending blanks, then t
    // n more characters of output, blank until written.
    [[gnu::always_inline]] char* room(size_t n) {
        if (len_ + n > out_->size()) widen(n);
        char* p = out_->data() + len_;
        len_ += n;
        return p;
    }
    [[gnu::noinline]] void widen(size_t n);

    LayoutWalker walker_;
    const Layout* layout_;
    std::string* out_;
    size_t len_;  // characters of out_ written so far
    int32_t pending_blanks_ = 0;
    int32_t since_restart_ = 0;
};

// Writes one statement to a connection. Returns false if the file write failed.
bool write_record(Connection& c, const Layout& layout, std::initializer_list<Value> values);

// A statement written value by value to a connection, for tables of any length.
class StatementWriter {
  public:
    StatementWriter(Connection& c, const Layout& layout) : c_(&c), w_(layout, c.output()) {}
    StatementWriter& operator<<(const Value& v) {
        w_.put(v);
        return *this;
    }
    bool finish() {
        w_.finish();
        c_->output_done();
        return c_->ok();
    }

  private:
    Connection* c_;
    RecordWriter w_;
};

// Formats one statement into a string (records ended by CR LF); for tests and
// for messages built through a layout.
std::string format_record(const Layout& layout, std::initializer_list<Value> values);

}  // namespace common
