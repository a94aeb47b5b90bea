// The summary of a batch for scripts, as JSON (the fields are described in
// docs/json.md): the batch, its counts, and per run its arguments, its
// outcome and log record, the files it left and the checks of its page.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "command/batch.h"

namespace command {

// SIGNAL: the name of the signal that interrupted the batch, or empty.
nlohmann::ordered_json summary_json(const std::vector<Run>& runs, const std::vector<RunResult>& results,
                                    const BatchOptions& options, const std::string& signal);

// Writes JSON to PATH under a temporary name in the same folder, renamed
// into place when complete; false with the reason when that fails.
bool write_summary(const std::string& path, const nlohmann::ordered_json& json, std::string& err);

}  // namespace command
