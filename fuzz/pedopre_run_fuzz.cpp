// A whole PEDOPRE run on an arbitrary main input file. The run must end with
// its normal or its error lines (never a crash, a hang or undefined
// behaviour) and must leave the input file as it was. The floating-point
// traps are off here: non-finite values must still end cleanly.
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_dir.h"
#include "soilprep/pedopre.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input = fuzzing::fresh_input("soil.dat", data, size);
    auto console = common::Connection::in_memory(6, "console");
    common::RunOptions options;
    options.traps = false;
    auto outcome = soilprep::run_pedopre({input}, *console, options);
    if (outcome.console.empty()) std::abort();
    bool normal = outcome.console.back() == "Program terminated normally.";
    bool abnormal = outcome.console.back() == "Program terminated abnormally, see logfile.";
    if (!normal && !abnormal) std::abort();
    if (normal != outcome.ok || normal != (outcome.log_line == " NOERROR: Program terminated normally")) std::abort();
    if (fuzzing::slurp(input) != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
    return 0;
}
