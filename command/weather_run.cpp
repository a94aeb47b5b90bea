// `drainprep weather run`: METCONV once per line of a manifest, N at a
// time, each run in the manifest's folder as if typed there; with --pages
// the METVIEW page of each run as well.
#include <filesystem>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "command/batch.h"
#include "command/manifest.h"
#include "command/subcommands.h"
#include "common/connection.h"
#include "weather/metconv.h"
#include "weather/weather_files.h"

namespace command {

namespace {

struct WeatherRunOptions {
    BatchOptions batch;
};

// METCONV on one manifest line, run in FOLDER: its log and weather file
// are named after the input cut at its first period.
Run weather_run(const ManifestLine& line, const std::string& folder, bool pages) {
    Run r;
    r.label = "line " + std::to_string(line.number) + " (" +
              std::accumulate(line.args.begin() + 1, line.args.end(), line.args.front(),
                              [](std::string a, const std::string& b) { return a + " " + b; }) +
              ")";
    r.program = "METCONV";
    r.viewer = "METVIEW";
    r.args = line.args;
    r.folder = folder;
    r.manifest_line = line.number;
    const weather::RunParameters p = weather::run_parameters(line.args);
    r.reads = {seen_from_here(folder, p.INFILE)};
    r.log = seen_from_here(folder, p.LOGFILE);
    if (!p.EXT.empty()) {
        r.outputs = {seen_from_here(folder, p.OUTFILE)};
        if (pages) {
            r.page = seen_from_here(folder, weather::page_name(p.OUTFILE));
        }
    }
    return r;
}

}  // namespace

void add_weather_run(CLI::App& weather, Outcome& outcome) {
    auto o = std::make_shared<WeatherRunOptions>();
    o->batch.command = "weather run";
    o->batch.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    CLI::App* run = weather.add_subcommand("run", "Run METCONV once per line of a manifest, N at a time");
    run->description(
        "Run METCONV once per line of the manifest, N at a time. Each line holds METCONV's arguments,\n"
        "INFILE TYPE UNITS STA [NHR BEGHR]; '#' starts a comment line. Names are relative to the\n"
        "manifest's folder, where the runs run. Runs that would write the same file (site07.temps.dat and\n"
        "site07.rain.dat share site07.LOG) refuse the batch before anything runs.");
    run->add_option("-j,--jobs", o->batch.jobs, "Runs at a time (default: the number of processors)")
        ->type_name("N")
        ->check(CLI::Range(1, 256));
    run->add_flag("--pages", o->batch.pages,
                  "Also write the METVIEW page of each run, named after its weather file: temps.TEM.html");
    run->add_option("--json", o->batch.json, "Write the summary for scripts to FILE (see docs/json.md)")
        ->type_name("FILE");
    run->add_flag("--fsync", o->batch.fsync, "Every file reaches the disk before its run ends");
    run->add_option("--manifest", o->batch.manifest, "The manifest: METCONV's arguments, one run per line")
        ->type_name("FILE")
        ->required();
    run->callback([o, &outcome] {
        std::vector<ManifestLine> lines;
        std::string err;
        if (!read_manifest(o->batch.manifest, lines, err)) {
            std::fprintf(stderr, "drainprep: %s\n", err.c_str());
            outcome.status = kUsage;
            return;
        }
        const std::string folder = std::filesystem::path(o->batch.manifest).parent_path().string();
        std::vector<Run> runs;
        for (const ManifestLine& line : lines) runs.push_back(weather_run(line, folder, o->batch.pages));
        outcome.status = run_batch(runs, o->batch);
    });
}

}  // namespace command
