// The page of an import: what was read, the files written (with their
// METVIEW pages), and every finding (flags, gaps, fills, dry days assumed,
// estimates, failed plausibility checks) in one table. Self-contained HTML
// like the report programs' pages.
#pragma once

#include <string>

#include "weatherimport/weather_import.h"

namespace weatherimport {

// The page's name for an import named NAME in DIR: DIR/NAME_import.html.
std::string import_page_name(const std::string& dir, const std::string& name);

// The page's markup.
std::string import_page(const ImportOptions& options, const ImportReport& report);

}  // namespace weatherimport
