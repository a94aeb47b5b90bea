#include "command/subcommands.h"

namespace command {

void add_soil_data(CLI::App& soil, Outcome& outcome) {
    (void)soil;
    (void)outcome;
}

}  // namespace command
