// METCONV: converts one station's weather series into the model's weather
// file for one quantity. The exit status is 0 on every path; the log line
// tells the outcome.
#include <string>
#include <vector>

#include "common/connection.h"
#include "weather/metconv.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    common::UnitTable units;
    common::Connection* console = units.attach(metconv::kConsoleUnit, 1, "console");
    metconv::run_metconv(args, *console);
    return 0;
}
