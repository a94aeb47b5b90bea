// A whole METCONV run of one type on an arbitrary input file, for the
// per-type fuzz targets. The first byte chooses the units (and, for daily
// rain, the hours); the rest is the weather series. The run must end with one
// log line and one console line, and must leave the input file as it was.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_dir.h"
#include "weather/metconv.h"

namespace fuzzing {

inline int run_metconv_type(const char* type, const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kUnits[] = {"DF", "DC", "IN", "CM", "MM", "in", "mm", "XX"};
    uint8_t sel = data[0];
    std::string input = fresh_input("station.dat", data + 1, size - 1);
    std::vector<std::string> args = {input, type, kUnits[sel & 7], "12345"};
    if (std::string(type) == "DR") {
        args.push_back(std::to_string(1 + ((sel >> 3) & 7)));  // NHR 1..8
        args.push_back(std::to_string(1 + ((sel >> 6) * 6)));  // BEGHR 1, 7, 13, 19
    }
    auto console = common::Connection::in_memory(6, "console");
    auto outcome = weather::run_metconv(args, *console);
    if (!outcome.log_line || outcome.console.empty()) std::abort();
    const std::string& last = outcome.console.back();
    if (last != "Program terminated normally." && last != "ERROR detected check logfile.") std::abort();
    if (slurp(input) != std::string(reinterpret_cast<const char*>(data + 1), size - 1)) std::abort();
    return 0;
}

}  // namespace fuzzing
