// PEDOVIEW <INFILE>: the page of a PEDOPRE run's tables. The run itself is
// run_pedoview; this shell hands it the arguments, the console and the disk.
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/run_files.h"
#include "soilview/pedoview.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    common::remove_temporaries_on_signal();
    auto console = common::console_on_stdout(0);
    soilview::run_pedoview(args, *console, common::disk());
    return 0;
}
