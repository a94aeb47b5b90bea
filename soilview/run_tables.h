// What PEDOVIEW finds of one PEDOPRE run: the log line, the main input, and
// the tables of every output file, each read through the reader of its
// format owner in soilcalc/, with how far each file could be read. Files
// are only opened for reading.
//
// A file that is missing, is no regular file, cannot be opened or stops
// before its end is not an error here: its state and a sentence saying what
// was found are kept, and the tables hold what was read before the stop
// (the counts below say how much).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "soilcalc/characteristic.h"
#include "soilprep/mis_file.h"
#include "soilprep/mq_file.h"
#include "soilprep/out_file.h"
#include "soilprep/upq_file.h"
#include "soilprep/wtd_file.h"
#include "soilview/main_input.h"
#include "soilview/run_names.h"
#include "soilview/run_references.h"
#include "soilview/sin_file.h"

namespace soilview {

// The outcome the log tells.
enum class Outcome : uint8_t {
    Normal,      // NOERROR: Program terminated normally
    Failed,      // ERROR: ...
    Unfinished,  // ERROR: Run did not finish
    Unknown,     // no log line, or a line of neither kind
};

enum class FileState : uint8_t { Read, Incomplete, Missing, Unreadable };

struct FileStatus {
    std::string path;
    FileState state = FileState::Missing;
    std::string detail;  // Incomplete or Unreadable: what was found, a sentence
};

struct RunTables {
    RunNames names;

    FileStatus log;
    std::string log_line;  // trimmed
    Outcome outcome = Outcome::Unknown;

    FileStatus input_file;
    MainInput input;

    // Each output, in the order of RunNames::outputs().
    std::vector<FileStatus> files;

    soilprep::MisTables mis;
    int32_t mis_layers = 0;  // layers read whole

    soilcalc::MqTables mq;
    int32_t mq_layers = 0;    // layer tables read whole
    bool mq_summary = false;  // wetting-front suctions read
    bool mq_closing = false;  // closing record read

    soilprep::WtdListing wtd;
    bool wtd_notices = false;  // the notices read up to the inputs

    soilprep::UpqFluxes upq;

    soilprep::OutReport out;

    SinTables sin;  // the model's soil input file, as the model reads it
    bool sin_whole = false;

    // The exact references of van Genuchten soils.
    std::optional<RunReferences> refs;

    const FileStatus& file(const std::string& path) const;
    bool has(const std::string& path) const { return file(path).state != FileState::Missing; }
};

// Reads the run whose files `names` gives, from `fs`.
RunTables read_run(common::FileSystem& fs, const RunNames& names);

}  // namespace soilview
