// drainprep: one command for batches, imports and checks, in the style of
// git and cargo (`drainprep soil run`, `drainprep weather import`). The four
// classic programs stay as they are; this command wraps them and adds what a
// script needs: exit statuses, a summary, refusals before anything runs.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command/subcommands.h"

namespace {

// `drainprep help soil run` is `drainprep soil run --help`.
std::vector<std::string> expand_help(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "help") {
        args.erase(args.begin());
        args.push_back("--help");
    }
    return args;
}

int run(int argc, char** argv) {
    CLI::App app{
        "drainprep: soil and weather inputs of a water-management model for drained, layered soils.\n"
        "Runs PEDOPRE and METCONV in batches, imports weather series and soil data, and checks them.\n"
        "Exit status: 0 every run ended normally, 1 a run failed, 2 usage error or refused batch.",
        "drainprep"};
    app.set_version_flag("--version", std::string("drainprep ") + DRAINPREP_VERSION);
    app.require_subcommand(1);
    app.footer("drainprep help SUBCOMMAND... shows the help of a subcommand.");

    command::Outcome outcome;
    CLI::App* soil = app.add_subcommand("soil", "Soil profiles: PEDOPRE runs, fits, classes, profiles, checks");
    soil->require_subcommand(1);
    CLI::App* weather = app.add_subcommand("weather", "Weather series: METCONV runs and imports");
    weather->require_subcommand(1);
    // `help` is taken apart before parsing; listed so that --help names it.
    app.add_subcommand("help", "Show the help of a subcommand: drainprep help soil run");

    command::add_soil_run(*soil, outcome);
    command::add_soil_data(*soil, outcome);
    command::add_weather_run(*weather, outcome);
    command::add_weather_import(*weather, outcome);

    std::vector<std::string> args = expand_help(argc, argv);
    if (args.empty()) {
        std::fputs(app.help().c_str(), stderr);
        return command::kUsage;
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e) == 0 ? command::kOk : command::kUsage;
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e) == 0 ? command::kOk : command::kUsage;
    } catch (const CLI::CallForVersion& e) {
        app.exit(e);
        return command::kOk;
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return command::kUsage;
    }
    std::fflush(stdout);
    return outcome.status;
}

}  // namespace

// Every fault the subcommands cannot answer themselves (memory, a folder
// that vanishes under a listing) ends with a line and status 1, never with
// an abort.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "drainprep: %s\n", e.what());
        return command::kFailed;
    }
}
