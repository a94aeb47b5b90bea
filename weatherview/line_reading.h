// What the free-form reading makes of the line a record starts on, told from
// the line itself, so that a record the reading quietly changed can be
// named: a null value (an empty cell between commas, r* or a slash) leaves
// its value as the record before gave it; a line that ends before the record
// has all its values lets the reading take the rest from the next line (and
// skip whatever else that line holds); a line with more values than the
// record takes has the rest ignored.
//
// The line is split as the reader splits it: values are separated by blanks,
// tabs, one comma, or the end of the line; two commas in a row, or a comma
// that opens the line, give a null value; r*v is r values, r* r null values;
// a slash ends the record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace weatherview {

struct LineReading {
    std::vector<int> nulls;   // values (from 0) left as the record before gave them
    bool slash = false;       // a slash ended the record early
    int taken = 0;            // values the line gives the record, nulls included
    bool short_line = false;  // the line ends before the record is complete
    std::string ignored;      // what the line holds after the record's values, when that is more values
};

// How a record of WANTED values reads LINE, the line it starts on.
LineReading read_line_values(std::string_view line, int wanted);

}  // namespace weatherview
