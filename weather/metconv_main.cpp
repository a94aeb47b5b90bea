// METCONV: converts one station's weather series into the model's weather
// file for one quantity. The exit status is 0 on every path; the log line
// tells the outcome.
#include <string>
#include <vector>

#include "common/run_files.h"
#include "weather/metconv.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    common::remove_temporaries_on_signal();
    auto console = common::console_on_stdout(weather::kConsoleUnit);
    weather::run_metconv(args, *console);
    return 0;
}
