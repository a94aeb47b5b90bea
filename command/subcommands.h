// The subcommands of the drainprep command. Each group of subcommands lives
// in a source of its own and adds itself to the command's tree here; main
// only builds the tree, parses and hands back the exit status.
//
// Exit statuses, the same for every subcommand:
//   0  every run ended normally,
//   1  a run (or an import, a fit) ended with an error,
//   2  a usage error, or a batch refused before anything ran.
#pragma once

#include <CLI/CLI.hpp>

namespace command {

enum ExitStatus : int { kOk = 0, kFailed = 1, kUsage = 2 };

// Every subcommand's callback stores its exit status here.
struct Outcome {
    int status = kOk;
};

// `drainprep soil run`, `drainprep weather run`: batches of PEDOPRE and
// METCONV runs.
void add_soil_run(CLI::App& soil, Outcome& outcome);
void add_weather_run(CLI::App& weather, Outcome& outcome);

// `drainprep weather import`: series from the files people have.
void add_weather_import(CLI::App& weather, Outcome& outcome);

// `drainprep soil fit|class|ptf|make|check`: soils from the data people have.
void add_soil_data(CLI::App& soil, Outcome& outcome);

}  // namespace command
