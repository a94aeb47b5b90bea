// Speed of PEDOVIEW on the nine-layer van Genuchten example, whose page is
// the largest: the whole run on files in memory (reading every table,
// drawing, writing the page), and the drawing of the page alone from tables
// already read. The page's size is reported with each.
#include <benchmark/benchmark.h>

#include <fstream>

#include "common/connection.h"
#include "common/file_system.h"
#include "soilprep/pedopre.h"
#include "soilview/pedoview.h"
#include "soilview/report_page.h"
#include "soilview/run_tables.h"

namespace {

// The nine-layer example and the files of its PEDOPRE run, in memory.
common::MemoryFileSystem& nine_layer_run() {
    static common::MemoryFileSystem fs = [] {
        common::MemoryFileSystem files;
        std::ifstream in(std::string(EXAMPLES_DIR) + "/soils/vg_nine_layers.dat", std::ios::binary);
        files.put("soils/nine.dat", std::string(std::istreambuf_iterator<char>(in), {}));
        auto console = common::Connection::in_memory(0, "console");
        soilprep::run_pedopre({"soils/nine.dat"}, *console, {false, &files});
        return files;
    }();
    return fs;
}

void BM_NineLayerPageRun(benchmark::State& state) {
    common::MemoryFileSystem& fs = nine_layer_run();
    for (auto _ : state) {
        auto console = common::Connection::in_memory(0, "console");
        const common::PageOutcome o = soilview::run_pedoview({"soils/nine.dat"}, *console, fs);
        if (!o.page) state.SkipWithError(o.console.back().c_str());
    }
    state.counters["page_bytes"] =
        static_cast<double>(fs.get("soils/nine.html") ? fs.get("soils/nine.html")->size() : 0);
}
BENCHMARK(BM_NineLayerPageRun)->Unit(benchmark::kMillisecond);

void BM_NineLayerPageDrawing(benchmark::State& state) {
    soilview::RunNames names;
    std::string too_long;
    soilview::run_names("soils/nine.dat", names, too_long);
    const soilview::RunTables tables = soilview::read_run(nine_layer_run(), names);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string html = soilview::report_html(tables);
        bytes = html.size();
        benchmark::DoNotOptimize(html.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_NineLayerPageDrawing)->Unit(benchmark::kMillisecond);

}  // namespace
