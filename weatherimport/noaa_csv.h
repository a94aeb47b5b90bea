// NOAA daily CSV exports (Climate Data Online): a header of quoted names,
// "STATION","DATE" (YYYY-MM-DD) and the elements asked for, such as "PRCP",
// "TMAX", "TMIN", each possibly followed by its "PRCP_ATTRIBUTES" column of
// measurement, quality and source flags and time ("M,Q,S,T"). An empty cell
// is a missing value; a value with a quality flag, or with measurement flag
// P, is read as missing and listed. The export's units are those the user
// chose when ordering it, "metric" (mm, degrees C) or "standard" (inches,
// degrees F), and are declared, never guessed.
#pragma once

#include "weatherimport/table_series.h"

namespace weatherimport {

// True when TABLE's header has the columns STATION and DATE.
bool looks_like_noaa_csv(const Table& table);

// The layout of TABLE as a NOAA export in metric (true) or standard units.
// False with REFUSAL when the header lacks STATION, DATE or all of PRCP,
// TMAX and TMIN.
bool noaa_layout(const Table& table, bool metric, TableLayout& layout, Refusal& refusal);

}  // namespace weatherimport
