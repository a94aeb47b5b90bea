// An import of one station's weather from the files people have (GHCN-Daily,
// NOAA daily CSV, any table with a header) into the model's weather files:
// read strictly, laid out day by day, gaps listed (and filled or assumed dry
// only on the user's word), potential evapotranspiration computed when
// asked, checked for plausibility, then converted by METCONV.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "weatherimport/findings.h"
#include "weatherimport/pet_penman_monteith.h"
#include "weatherimport/series_writer.h"
#include "weatherimport/table_series.h"

namespace weatherimport {

enum class SourceFormat { Auto, Ghcn, NoaaCsv, Csv };
enum class PetMethod { None, Hargreaves, Thornthwaite, PenmanMonteith };

struct ImportOptions {
    std::string file;
    SourceFormat format = SourceFormat::Auto;
    // NOAA exports: metric (true) or standard units; required for them.
    std::optional<bool> noaa_metric;
    // Tables: the columns and units the user named; the cell delimiter
    // (0: tab for .tsv and .tab files, else comma).
    TableLayout layout;
    char delimiter = 0;

    std::string out_dir;
    std::string name;
    int32_t station = 0;
    int32_t hours = 24;  // daily rain spread over NHR hours ...
    int32_t begin = 1;   // ... from hour BEGHR
    bool missing_rain_dry = false;
    int fill_temperature_gaps = 0;
    bool pages = false;

    PetMethod pet = PetMethod::None;
    PenmanSite site;  // latitude, elevation, wind height, estimates asked
};

struct ImportReport {
    // 0 every file written, 1 the import failed (or a file was not
    // written), 2 the source's units were not declared: the drainprep
    // command's exit statuses.
    int status = 0;
    std::vector<std::string> errors;
    Findings findings;
    std::string format;       // "ghcn", "noaa-csv", "csv"
    std::string first, last;  // the series' first and last day (or hour)
    std::vector<Conversion> conversions;
    std::string page;  // the import's page, when written
};

ImportReport run_import(const ImportOptions& options);

// The format a file is read as when none is given: ".dly" files are
// GHCN-Daily, tables whose header has STATION and DATE are NOAA exports,
// any other file a table.
SourceFormat detect_format(const std::string& file, std::string_view text);

}  // namespace weatherimport
