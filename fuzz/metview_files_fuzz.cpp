// METVIEW's readers of a METCONV run's files, on arbitrary contents of the
// input series, the log and the weather file (fuzz/run_files.h cuts them
// from the data after its first byte). The first byte chooses the type of
// the run. Every run ends with console lines, and the page it writes holds no
// control character.
#include <cstdint>
#include <cstdlib>

#include "fuzz/run_files.h"
#include "weatherview/metview.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    struct Run {
        std::vector<std::string> args;
        const char* file;
    };
    static const Run kRuns[] = {{{"w.dat", "TP", "DF", "12345"}, "w.TEM"},
                                {{"w.dat", "ET", "MM", "12345"}, "w.PET"},
                                {{"w.dat", "HR", "IN", "12345"}, "w.RAI"},
                                {{"w.dat", "DR", "MM", "12345", "5", "20"}, "w.RAI"}};
    const Run& run = kRuns[data[0] & 3];
    common::MemoryFileSystem fs;
    fuzzing::put_run_files(fs, {"w.dat", "w.LOG", run.file}, data + 1, size - 1);
    auto console = common::Connection::in_memory(6, "console");
    const common::PageOutcome outcome = weatherview::run_metview(run.args, *console, fs);
    if (outcome.console.empty()) std::abort();
    if (outcome.page) {
        if (!fs.get(*outcome.page)) std::abort();
        fuzzing::check_page(fs.get(*outcome.page));
    }
    return 0;
}
