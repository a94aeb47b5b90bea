// Speed of whole PEDOPRE runs on the bundled soils, files and all: the
// nine-layer van Genuchten profile and the measured-points profile, on disk
// and on files held in memory; and of the typed call, which makes the same
// tables as numbers without any file, on one thread and on two.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "common/connection.h"
#include "drainprep/drainprep.h"
#include "soilprep/pedopre.h"

namespace fs = std::filesystem;

namespace {

void run_soil(benchmark::State& state, const char* name) {
    fs::path dir = fs::temp_directory_path() / ("pedopre_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / name, dir / name, fs::copy_options::overwrite_existing);
    const std::string input = (dir / name).string();
    for (auto _ : state) {
        auto console = common::Connection::in_memory(6, "console");
        auto outcome = soilprep::run_pedopre({input}, *console);
        if (!outcome.ok) state.SkipWithError("run failed");
    }
    fs::remove_all(dir);
}

// The same runs through the library on files held in memory, as a batch of
// soils in a front end runs them.
void run_in_memory(benchmark::State& state, const char* name) {
    std::ifstream in(fs::path(EXAMPLES_DIR) / "soils" / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const drainprep::Files files = {{name, text.str()}};
    for (auto _ : state) {
        drainprep::Outcome outcome = drainprep::pedopre({name}, files);
        if (!outcome.ok) state.SkipWithError("run failed");
    }
}

std::string example(const char* name) {
    std::ifstream in(fs::path(EXAMPLES_DIR) / "soils" / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The typed call per soil; CPU time is the measure to read.
void BM_NineLayerTables(benchmark::State& state) {
    const std::string input = example("vg_nine_layers.dat");
    for (auto _ : state) {
        drainprep::SoilTables t = drainprep::soil_tables(input);
        if (!t.ok) state.SkipWithError("run failed");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_NineLayerTables)->Unit(benchmark::kMicrosecond);

// A batch of nine-layer soils shared out to `threads` threads: wall time per
// batch, and soils per second.
void BM_NineLayerTablesBatch(benchmark::State& state) {
    const std::string input = example("vg_nine_layers.dat");
    const int threads = static_cast<int>(state.range(0));
    constexpr int kSoils = 512;
    for (auto _ : state) {
        std::vector<std::thread> pool;
        for (int k = 0; k < threads; ++k)
            pool.emplace_back([&] {
                for (int i = 0; i < kSoils / threads; ++i) benchmark::DoNotOptimize(drainprep::soil_tables(input));
            });
        for (std::thread& t : pool) t.join();
    }
    state.SetItemsProcessed(state.iterations() * kSoils);
}
BENCHMARK(BM_NineLayerTablesBatch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NineLayerInMemory(benchmark::State& state) {
    run_in_memory(state, "vg_nine_layers.dat");
}
BENCHMARK(BM_NineLayerInMemory)->Unit(benchmark::kMicrosecond);

void BM_NineLayerVanGenuchten(benchmark::State& state) {
    run_soil(state, "vg_nine_layers.dat");
}
BENCHMARK(BM_NineLayerVanGenuchten)->Unit(benchmark::kMillisecond);

void BM_TwoLayerMeasured(benchmark::State& state) {
    run_soil(state, "measured_loam.dat");
}
BENCHMARK(BM_TwoLayerMeasured)->Unit(benchmark::kMillisecond);

}  // namespace
