// A strict reader of delimited text with a header line (RFC 4180, and the
// tab-separated form): one line is one record, every record has as many
// cells as the header, a cell is either bare or wholly in double quotes
// (a quote inside written twice). A UTF-8 byte-order mark before the header
// is skipped; lines end in CR LF or LF; blank lines after the last record
// are allowed, blank lines between records are not.
//
// Written here rather than taken from a CSV library: the reader must name
// the line and the column of every refusal, keep the column of every cell
// for later refusals, take any number of columns known only at run time,
// and leave numbers as text so that a decimal comma can be read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "weatherimport/findings.h"

namespace weatherimport {

struct Cell {
    std::string text;  // without its quotes, doubled quotes made single
    int column = 0;    // column of the cell's first character (1-based)
};

struct Row {
    int line = 0;
    std::vector<Cell> cells;
};

struct Table {
    std::string file;
    Row header;
    std::vector<Row> rows;
    // The header's index of NAME, or -1.
    int column_of(std::string_view name) const;
};

// Reads TEXT (the whole file FILE) cut at DELIMITER. False with REFUSAL set
// when a line breaks the rules above.
bool read_table(const std::string& file, std::string_view text, char delimiter, Table& table, Refusal& refusal);

}  // namespace weatherimport
