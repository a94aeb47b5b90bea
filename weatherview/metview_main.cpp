// METVIEW: the report page of a METCONV run. The run itself is run_metview;
// this shell hands it the arguments and the console. The exit status is 0
// on every path.
#include <string>
#include <vector>

#include "common/run_files.h"
#include "weather/metconv.h"
#include "weatherview/metview.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    common::remove_temporaries_on_signal();
    auto console = common::console_on_stdout(weather::kConsoleUnit);
    weatherview::run_metview(args, *console);
    return 0;
}
