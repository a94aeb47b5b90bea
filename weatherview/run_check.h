// One METCONV run checked: its log read, its input followed record by record
// through the replay of its converter, its weather file read back and
// compared statement by statement, and the values gathered for the figures.
//
// Nothing is written and no file is changed. Whatever is missing or cannot
// be read (the log, the input, the weather file) is said in the result,
// and the rest is checked as far as it goes: without the weather file the
// values are those the replay gives; without the input only the weather
// file's values are shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "weather/metconv.h"
#include "weatherview/day_marks.h"
#include "weatherview/findings.h"
#include "weatherview/series_input.h"
#include "weatherview/series_values.h"
#include "weatherview/unit_compare.h"

namespace weatherview {

struct RunCheck {
    explicit RunCheck(DataType t) : type(t), values(t) {}

    weather::RunParameters params;
    DataType type;

    // METCONV's log: its line without the trailing blanks.
    bool log_found = false;
    std::string log_line;
    std::string log_problem;  // why it could not be read, when it exists

    // The input.
    bool input_read = false;
    std::string input_problem;  // why it could not be read

    // The weather file.
    bool file_found = false;
    std::string file_problem;

    // The records and what METCONV does with them.
    std::string refusal;       // METCONV refuses before any record
    int64_t stopped_at = 0;    // line of the record METCONV stops at
    std::string expected_log;  // the log line the input gives
    int64_t records = 0, refused = 0, not_converted = 0;
    Findings findings;
    DayMarks marks;

    // The weather file against the replay.
    std::vector<Difference> differences;
    int64_t difference_count = 0;
    int64_t expected_statements = 0, file_statements = 0;
    int64_t other_station = 0, other_station_line = 0;
    int32_t other_station_number = 0;

    SeriesValues values;
};

// Checks the run of P (its TYPE names a converter: TYPE) on the files of FS.
std::unique_ptr<RunCheck> check_run(const weather::RunParameters& p, DataType type, common::FileSystem& fs);

}  // namespace weatherview
