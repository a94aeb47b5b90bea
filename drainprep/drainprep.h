// drainprep as a library: the soil-property preprocessor PEDOPRE and the
// weather converter METCONV, run from a program without starting a process.
//
// A run takes the same arguments as the program and ends as the program
// ends: one log record, console lines, and the files it writes. It runs
// either on files held in memory (nothing touches the disk) or on the disk.
// Every run is complete and independent and keeps no state beyond its own
// call: runs may follow each other in one process (a batch of thousands of
// soils takes seconds) and may run at the same time on many threads, in
// memory or on disk (runs that share a folder on disk share its log and
// wait for one another through the log's lock).
//
// soil_tables() computes a soil's tables as numbers, without writing or
// formatting any file: the values the files of the same run hold, as a
// program reading them with their layouts gets them.
//
// Unlike the programs, a soil run here does not trap floating-point faults
// (the trap ends the process): a numerical fault that the soil checks let
// through ends the run with a check's log line or with non-finite numbers in
// its tables.
//
//   drainprep::Files files = {{"soil.dat", text}};
//   drainprep::Outcome r = drainprep::pedopre({"soil.dat"}, files);
//   if (r.ok) use(r.files.at("soil.SIN"));
//
//   drainprep::SoilTables t = drainprep::soil_tables(text);
//   if (t.ok) for (const auto& row : t.drainage) plot(row.depth, row.volume);
#pragma once

#include <map>
#include <string>
#include <string_view>
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
    // True when the run ended normally (and its log says so).
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

// A soil's tables as numbers. Each value is the one its file holds, read
// back with the file's layout: the same rounding to the printed decimals. A
// field the file could not hold (asterisks) or that does not read back (NaN,
// Infinity) is NaN here. Units: cm, cm/hr, cm3/cm3.
struct SoilTables {
    // True when the run ended normally; `log` is the log record PEDOPRE
    // writes (without its line end), such as " NOERROR: Program terminated
    // normally". A failed run keeps the tables of the steps it completed.
    bool ok = false;
    std::string log;

    struct Layer {
        // The characteristic after the repairs, wettest first (.WTD):
        // suction (cm) and water content.
        std::vector<float> suction, theta;
        // The conductivity table on water-content steps of 0.01, driest
        // first (.MQ): water content, pressure head (cm, <= 0), conductivity.
        std::vector<float> k_theta, k_head, k_cond;
        float wetting_front_suction = 0.0f;  // (.MQ summary, cm)
    };
    std::vector<Layer> layers;

    // Every 10 cm of water-table depth, 0 to 1000 cm (.WTD): drained volume
    // (cm) and drainable porosity (cm/cm).
    struct DrainageRow {
        float depth, volume, porosity;
    };
    std::vector<DrainageRow> drainage;
    // Green-Ampt parameters against water-table depth (.OUT): A (cm2/hr) and
    // B (cm/hr).
    struct GreenAmptRow {
        float depth, a, b;
    };
    std::vector<GreenAmptRow> green_ampt;
    // The water table (cm below half the maximum root depth) of each steady
    // upward flux (cm/hr), largest flux first (.UPQ).
    struct FluxRow {
        float flux, depth;
    };
    std::vector<FluxRow> upward_flux;

    // The values of the model's soil input file (.SIN).
    struct SoilInputFile {
        std::string title;                         // 80 columns
        std::vector<float> theta, head;            // the chosen layer's characteristic (head in cm, <= 0)
        std::vector<float> depth, volume, upflux;  // 20 rows: cm, cm, cm/hr
        std::vector<float> ga_depth, ga_a, ga_b;   // 10 rows
    } sin;
};

// The tables of the soil whose main input file holds `input_text`. The log
// record names the input `input_name` (and its .MQ and .OUT files after it),
// as PEDOPRE would for a file of that name.
SoilTables soil_tables(std::string_view input_text, std::string_view input_name = "soil.dat");

// The version of the tool set, such as "1.0.0".
std::string version();

}  // namespace drainprep
