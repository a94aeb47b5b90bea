// GHCN-Daily station files (.dly): one line per station, year, month and
// element, in fixed columns:
//
//   ID 1-11, YEAR 12-15, MONTH 16-17, ELEMENT 18-21, then for days 1 to 31
//   VALUE (5 columns), MFLAG, QFLAG, SFLAG (1 column each) from column 22,
//   so day d's value is in columns 22+8(d-1) to 26+8(d-1); 269 columns.
//
// PRCP is in tenths of mm, TMAX and TMIN in tenths of degrees C, -9999 is a
// missing value. Other elements are passed over. A value with a quality
// flag (QFLAG not blank) failed one of the archive's checks: it is read as
// missing and listed. A value with measurement flag P ("missing, presumed
// zero") is missing too, and listed. Lines may have lost their trailing
// blanks (at least 266 columns, every value whole).
#pragma once

#include <string>
#include <string_view>

#include "weatherimport/source_series.h"

namespace weatherimport {

// Reads TEXT, the whole of FILE. False with REFUSAL at the line and column
// of the first fault: a line of the wrong length, a field that does not
// read, a month or year out of range, another station's line, a value on a
// day the month does not have.
bool read_ghcn_daily(const std::string& file, std::string_view text, SourceSeries& series, Refusal& refusal);

}  // namespace weatherimport
