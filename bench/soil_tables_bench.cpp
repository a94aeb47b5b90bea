// Speed of the typed soil call on the nine-layer example: the floor the
// Python package's soil_tables is measured against (bench/python_bench.py).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "drainprep/drainprep.h"

namespace {

void BM_NineLayerSoilTables(benchmark::State& state) {
    std::ifstream in(std::filesystem::path(EXAMPLES_DIR) / "soils" / "vg_nine_layers.dat", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string input = text.str();
    for (auto _ : state) {
        drainprep::SoilTables t = drainprep::soil_tables(input);
        if (!t.ok) state.SkipWithError("run failed");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_NineLayerSoilTables)->Unit(benchmark::kMicrosecond);

}  // namespace
