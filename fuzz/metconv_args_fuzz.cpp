// METCONV's command line from arbitrary argument strings (split at NUL bytes
// and line ends). The input file name and the current directory are kept
// inside the scratch directory during the run, so that it cannot write
// elsewhere. Every
// run ends with the usage text or with one console closing line.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_dir.h"
#include "weather/metconv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t kSeries[] = "1996 60 71.5 50.2\n1996 61 70 49\n";
    std::string input = fuzzing::fresh_input("in.dat", kSeries, sizeof kSeries - 1);
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() <= 8; ++i) {
        char c = static_cast<char>(data[i]);
        if (c == '\0' || c == '\n')
            args.emplace_back();
        else
            args.back().push_back(c);
    }
    // The first argument names a file in the scratch directory only.
    std::string name;
    for (char c : args[0]) name.push_back(c == '/' ? '_' : c);
    args[0] = (fuzzing::scratch_dir() / (name.empty() ? "in.dat" : name)).string();
    if (args[0].size() > 4000) return 0;
    // A name without a period puts the output and the log in the current
    // directory: the run works in the scratch directory.
    auto console = common::Connection::in_memory(6, "console");
    fuzzing::in_scratch([&] {
        if (weather::run_metconv(args, *console).console.empty()) std::abort();
    });
    (void)input;
    return 0;
}
