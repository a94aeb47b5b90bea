// drainprep as a library: the soil-property preprocessor PEDOPRE and the
// weather converter METCONV, run from a program without starting a process.
//
// A run takes the same arguments as the program and ends as the program
// ends: one log record, console lines, and the files it writes. It runs
// either on files held in memory (nothing touches the disk) or on the disk.
// Every run is complete and independent; runs may follow each other in one
// process (a batch of thousands of soils takes seconds), but one run at a
// time per process, since a soil run keeps its error message and routine
// name in process-wide fields.
//
// Unlike the programs, a soil run here does not trap floating-point faults
// (the trap ends the process): a numerical fault that the soil checks let
// through ends the run with a check's log line or with non-finite numbers in
// its tables.
//
//   drainprep::Files files = {{"soil.dat", text}};
//   drainprep::Outcome r = drainprep::pedopre({"soil.dat"}, files);
//   if (r.ok) use(r.files.at("soil.SIN"));
#pragma once

#include <map>
#include <string>
#include <vector>

namespace drainprep {

// Files by name (as the runs name them: "soil.SIN", "dir/rain.RAI"), each
// with its whole text.
using Files = std::map<std::string, std::string>;

struct Outcome {
    // The log's one record, without its line end; empty when the run wrote
    // no log (usage text, a name too long, a log that cannot be written).
    std::string log;
    // The console lines, without their line ends.
    std::vector<std::string> console;
    // In memory: every file after the run, the inputs included. On disk:
    // the files the run wrote (log and outputs), read back after the run.
    Files files;
    // True when the log says the run ended normally.
    bool ok = false;
};

// PEDOPRE <args...> on the files held in `files` (the main input file among
// them, under the name the arguments give it).
Outcome pedopre(const std::vector<std::string>& args, Files files);
// METCONV <args...> on the files held in `files` (the weather series).
Outcome metconv(const std::vector<std::string>& args, Files files);

// The same runs on the disk, names relative to the current folder.
Outcome pedopre_on_disk(const std::vector<std::string>& args);
Outcome metconv_on_disk(const std::vector<std::string>& args);

// The version of the tool set, such as "1.0.0".
std::string version();

}  // namespace drainprep
