// The page of one run, top to bottom: the soil's title; a banner when the
// log does not say the run ended normally; the warnings of the checks; the
// run (log line, main input, what was found of each output file); the
// layers (bottom depth, parameters, saturated conductivity in the unit the
// input gives it, block-header conductivity and wetting-front suction of
// .MQ, the closing record); then one section per table with its figures,
// the notices of the run under the figure they concern and the numbers
// behind each figure collapsed under it; last the list of checks.
//
// A figure whose tables the run did not write is replaced by a sentence
// naming the missing files. The page is one self-contained HTML text
// (figure/page.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "soilview/run_tables.h"

namespace soilview {

std::string report_html(const RunTables& r);

// The ids of the figures a page can hold, in page order.
const std::vector<std::string>& figure_ids();
// Figure `id` alone as an SVG document, or nothing when the run's tables do
// not give it.
std::optional<std::string> figure_svg(const RunTables& r, std::string_view id);

}  // namespace soilview
