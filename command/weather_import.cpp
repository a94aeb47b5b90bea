#include "command/subcommands.h"

namespace command {

void add_weather_import(CLI::App& weather, Outcome& outcome) {
    (void)weather;
    (void)outcome;
}

}  // namespace command
