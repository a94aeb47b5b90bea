// The subcommands of `drainprep soil` that turn the data people have into
// PEDOPRE inputs: fit, class and ptf (soil_data_fit.cpp), make and check
// (soil_data_profile.cpp).
#pragma once

#include <optional>
#include <string>

#include "command/subcommands.h"

namespace command {

void add_soil_fit(CLI::App& soil, Outcome& outcome);
void add_soil_class(CLI::App& soil, Outcome& outcome);
void add_soil_ptf(CLI::App& soil, Outcome& outcome);
void add_soil_make(CLI::App& soil, Outcome& outcome);
void add_soil_check(CLI::App& soil, Outcome& outcome);

// The whole content of FILE, or nothing when it cannot be read.
std::optional<std::string> read_text_file(const std::string& file);
// Writes TEXT to FILE; false (with a message on stderr) when it cannot.
bool write_text_file(const std::string& file, const std::string& text, const char* command);

}  // namespace command
