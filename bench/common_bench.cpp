// Speed of the record formatter on the statements the programs repeat most.
#include <benchmark/benchmark.h>

#include "common/connection.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_write.h"

namespace {

// One conductivity-table row: water content, head, conductivity.
void BM_WriteConductivityRow(benchmark::State& state) {
    static const common::Layout kRow("(F10.3,10X,F10.1,5X,F15.9)");
    std::string out;
    float theta = 0.312f, head = -1234.5f, cond = 0.000123456f;
    for (auto _ : state) {
        out.clear();
        common::RecordWriter w(kRow, out);
        w.put(theta);
        w.put(head);
        w.put(cond);
        w.finish();
        benchmark::DoNotOptimize(out.data());
        theta += 1e-7f;
    }
}
BENCHMARK(BM_WriteConductivityRow);

// One rain line of 12 hourly entries.
void BM_WriteRainLine(benchmark::State& state) {
    static const common::Layout kLine("(I6,1X,I4,I2,1X,12(I2,I2,I4))");
    std::string out;
    for (auto _ : state) {
        out.clear();
        common::RecordWriter w(kLine, out);
        w.put(12345);
        w.put(1996);
        w.put(7);
        for (int32_t e = 0; e < 12; ++e) {
            w.put(15);
            w.put(e + 1);
            w.put(e * 7);
        }
        w.finish();
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_WriteRainLine);

// A free-form read of one line of three values (year, day and time, rain).
void BM_ReadFreeLine(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 4096; ++i) text += "1996 32.5416 0.03\n";
    auto c = common::Connection::in_memory(1, "bench", text);
    int32_t year = 0;
    float day = 0, rain = 0;
    for (auto _ : state) {
        if (common::read_free(*c, {year, day, rain}) != common::ReadStatus::Done) {
            state.PauseTiming();
            c->rewind();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(rain);
    }
}
BENCHMARK(BM_ReadFreeLine);

}  // namespace
