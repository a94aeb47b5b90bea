// PEDOPRE <INFILE>: the soil-property preprocessor. The run itself is
// run_pedopre; this shell hands it the arguments and the console.
#include <string>
#include <unistd.h>
#include <vector>

#include "common/connection.h"
#include "soilprep/pedopre.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    common::Connection console(0, "console", common::descriptor_file(STDOUT_FILENO));
    pedopre::run_pedopre(args, console);
    return 0;
}
