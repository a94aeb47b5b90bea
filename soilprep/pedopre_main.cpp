// PEDOPRE <INFILE>: the soil-property preprocessor. The run itself is
// run_pedopre; this shell hands it the arguments and the console.
#include <string>
#include <vector>

#include "common/run_files.h"
#include "soilprep/pedopre.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    common::remove_temporaries_on_signal();
    auto console = common::console_on_stdout(0);
    soilprep::run_pedopre(args, *console);
    return 0;
}
