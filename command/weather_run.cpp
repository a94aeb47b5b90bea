#include "command/subcommands.h"

namespace command {

void add_weather_run(CLI::App& weather, Outcome& outcome) {
    (void)weather;
    (void)outcome;
}

}  // namespace command
