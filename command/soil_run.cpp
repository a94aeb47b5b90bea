// `drainprep soil run`: PEDOPRE on each soil, N at a time, each run's files
// exactly as PEDOPRE writes them beside its soil; with --pages the PEDOVIEW
// page of each run as well.
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "command/batch.h"
#include "command/subcommands.h"
#include "soilview/run_names.h"

namespace command {

namespace {

struct SoilRunOptions {
    BatchOptions batch;
    std::vector<std::string> soils;
};

// PEDOPRE on SOIL: it reads the soil, writes PEDOPRE.LOG in the soil's
// folder and its tables beside it; the page draws the soil input file.
Run soil_run(const std::string& soil, bool pages) {
    Run r;
    r.label = soil;
    r.program = "PEDOPRE";
    r.viewer = "PEDOVIEW";
    r.args = {soil};
    r.reads = {soil};
    soilview::RunNames names;
    std::string too_long;
    const bool named = soilview::run_names(soil, names, too_long);
    r.log = names.log;
    if (named) {
        r.outputs = names.outputs();
        if (pages) {
            r.page = names.page;
        }
    }
    return r;
}

}  // namespace

void add_soil_run(CLI::App& soil, Outcome& outcome) {
    auto o = std::make_shared<SoilRunOptions>();
    o->batch.command = "soil run";
    o->batch.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    CLI::App* run = soil.add_subcommand("run", "Run PEDOPRE on each soil, N at a time");
    run->description(
        "Run PEDOPRE on each SOIL, N at a time; each run writes its files beside its soil, exactly as\n"
        "PEDOPRE alone. One line per run as it ends, a summary at the end. Soils whose runs would write\n"
        "the same file (two soils in one folder share PEDOPRE.LOG) refuse the batch before anything runs.");
    run->add_option("-j,--jobs", o->batch.jobs, "Runs at a time (default: the number of processors)")
        ->type_name("N")
        ->check(CLI::Range(1, 256));
    run->add_flag("--pages", o->batch.pages,
                  "Also write the PEDOVIEW page of each run, named after its soil input file: soil.SIN.html");
    run->add_option("--json", o->batch.json, "Write the summary for scripts to FILE (see docs/json.md)")
        ->type_name("FILE");
    run->add_flag("--fsync", o->batch.fsync, "Every file reaches the disk before its run ends");
    run->add_option("SOIL", o->soils, "Main input files of PEDOPRE")->type_name("")->required();
    run->callback([o, &outcome] {
        std::vector<Run> runs;
        for (const std::string& s : o->soils) runs.push_back(soil_run(s, o->batch.pages));
        outcome.status = run_batch(runs, o->batch);
    });
}

}  // namespace command
