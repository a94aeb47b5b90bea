// Free-form records: values separated by blanks, commas or record ends.
//
// Reading: one statement reads as many records as it needs and skips what is
// left of its last record. The end of the file before the first value is the
// end of the file; after some values of the statement the record was cut
// off, which callers treat as an invalid record. r*v stands for r copies of v; two commas in a row,
// or r* alone, leave a target unchanged; a slash ends the statement and leaves
// the remaining targets unchanged. Reals take any decimal number (E or D
// exponents too), integers an optional sign and digits, texts a quoted string
// or a run of characters up to the next separator.
//
// Writing: one record, a leading blank, then the values. Texts stand as they
// are; numbers are set off from what precedes them by a blank, and reals are
// written in the shortest form that reads back to the same value.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/connection.h"
#include "common/values.h"

namespace common {

class FreeReader {
  public:
    explicit FreeReader(Connection& c) : c_(&c) {}
    // Fills (or, for a null value, leaves) one target. False once the
    // statement has ended early: by a slash (status Done), end of file or a
    // conversion error.
    bool get(const Target& t);
    ReadStatus finish();

  private:
    bool take(const Target& t);
    bool fetch();
    bool convert(std::string_view tok, bool quoted, const Target& t);

    Connection* c_;
    std::string_view rec_;
    size_t pos_ = 0;
    bool have_rec_ = false;
    bool fetched_any_ = false;
    int taken_ = 0;  // targets filled or left by a null value
    bool after_comma_ = true;
    bool ended_ = false;
    int64_t repeat_left_ = 0;
    bool repeat_null_ = false;
    bool repeat_quoted_ = false;
    std::string_view repeat_value_;
    ReadStatus status_ = ReadStatus::Done;
};

ReadStatus read_free(Connection& c, std::initializer_list<Target> targets);

// Formats one free-form record (with its CR LF) into `out`.
void format_free(std::string& out, std::initializer_list<Value> values);
bool write_free(Connection& c, std::initializer_list<Value> values);

}  // namespace common
