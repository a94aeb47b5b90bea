// The report page of one checked METCONV run, in three sections:
//   1. the series: station, type, units, files, first and last day, the
//      records read, and the calendar strips of the days;
//   2. what the conversion did with each record: the records that did not
//      reach the weather file as typed and the records METCONV refuses,
//      each with its line in the input and the reason; the gaps; and where
//      the weather file differs from what the input gives;
//   3. the values in the weather file's units: monthly, daily (or hourly)
//      and annual figures and the ten largest values.
// A banner says when METCONV's run failed or its weather file is missing,
// and the checks at the top and the end say what passed and what did not.
#pragma once

#include <string>

#include "figure/page.h"
#include "weatherview/run_check.h"

namespace weatherview {

// The page for CHECK. ARGS: the command line it was made for, to show.
figure::Page report_page(const RunCheck& check, const std::string& args);

}  // namespace weatherview
