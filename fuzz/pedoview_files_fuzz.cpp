// PEDOVIEW's readers of a PEDOPRE run's files, on arbitrary contents of the
// main input, the log and the eight outputs (fuzz/run_files.h cuts them from
// the data after its first byte). The first byte chooses the page or one
// figure alone. Every run ends with one console line; a page or figure that
// is written holds no control character.
#include <cstdint>
#include <cstdlib>

#include "fuzz/run_files.h"
#include "soilview/pedoview.h"
#include "soilview/report_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    common::MemoryFileSystem fs;
    fuzzing::put_run_files(fs,
                           {"soil.dat", "PEDOPRE.LOG", "soil.MIS", "soil.WTD", "soil.MQ", "soil.SAV", "soil.WDV",
                            "soil.UPQ", "soil.OUT", "soil.SIN"},
                           data + 1, size - 1);
    const std::vector<std::string>& figures = soilview::figure_ids();
    std::vector<std::string> args = {"soil.dat"};
    if (data[0] < figures.size()) args = {"--svg", figures[data[0]], "soil.dat"};
    auto console = common::Connection::in_memory(0, "console");
    const common::PageOutcome outcome = soilview::run_pedoview(args, *console, fs);
    if (outcome.console.empty()) std::abort();
    if (outcome.page) {
        if (!fs.get(*outcome.page)) std::abort();
        fuzzing::check_page(fs.get(*outcome.page));
    }
    return 0;
}
