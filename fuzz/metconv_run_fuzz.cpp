// A whole METCONV run on an arbitrary input file. The first byte chooses the
// type and units (and, for daily rain, the hours); the rest is the weather
// series. The run must end with one log line and one console line, and must
// leave the input file as it was.
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_dir.h"
#include "weather/metconv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kTypes[] = {"TP", "ET", "HR", "DR"};
    static const char* const kUnits[] = {"DF", "DC", "IN", "CM", "MM", "IN", "MM", "CM"};
    uint8_t sel = data[0];
    std::string input = fuzzing::fresh_input("station.dat", data + 1, size - 1);
    std::vector<std::string> args = {input, kTypes[sel & 3], kUnits[(sel >> 2) & 7], "12345"};
    if ((sel & 3) == 3) {
        args.push_back(std::to_string(1 + (sel >> 5)));       // NHR 1..8
        args.push_back(std::to_string(1 + ((sel >> 2) & 15)));  // BEGHR 1..16
    }
    auto console = rec::Connection::in_memory(6, "console");
    auto outcome = metconv::run_metconv(args, *console);
    if (!outcome.log_line || outcome.console.empty()) std::abort();
    const std::string& last = outcome.console.back();
    if (last != "Program terminated normally." && last != "ERROR detected check logfile.") std::abort();
    if (fuzzing::slurp(input) != std::string(reinterpret_cast<const char*>(data + 1), size - 1)) std::abort();
    return 0;
}
