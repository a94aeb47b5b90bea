#!/usr/bin/python3
"""Speed of the Python package against the C++ library it wraps.

  PYTHONPATH=<build>/python /usr/bin/python3 bench/python_bench.py [<bench-build>]

1. One nine-layer soil per call from Python: the typed call soil_tables
   and the in-memory run pedopre. With a build
   configured with -DBUILD_BENCH=ON, the same calls of the C++ library are
   timed by its Google Benchmark program and the ratio is printed.
2. A batch of 512 soils on 2 threads against 1, shared out in two loops and
   through ThreadPoolExecutor.map (one task per soil): the interpreter's
   lock is released during each run, so two cores run two soils at once.
   Best of 7 rounds.

Times are the median of repeated rounds; on a busy machine compare the
processor times, which other programs' load does not inflate.
"""

import json
import os
import statistics
import subprocess
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import drainprep

EXAMPLES = Path(__file__).resolve().parents[1] / "examples"
SOIL = (EXAMPLES / "soils" / "vg_nine_layers.dat").read_text()


def per_call_us(call, rounds=15, calls=200):
    """Median wall and processor time of one call, in microseconds."""
    wall, cpu = [], []
    for _ in range(rounds):
        w, c = time.perf_counter(), time.process_time()
        for _ in range(calls):
            call()
        wall.append((time.perf_counter() - w) / calls * 1e6)
        cpu.append((time.process_time() - c) / calls * 1e6)
    return statistics.median(wall), statistics.median(cpu)


def batch_seconds(workers, call, soils=512, rounds=7):
    """Best wall time of a batch of `soils` calls shared out to `workers`
    threads, each running its share in a loop."""
    best = float("inf")
    for _ in range(rounds):
        threads = [threading.Thread(target=lambda: [call() for _ in range(soils // workers)]) for _ in range(workers)]
        start = time.perf_counter()
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        best = min(best, time.perf_counter() - start)
    return best


def pool_map_seconds(workers, call, soils=512, rounds=7):
    """Best wall time of `soils` calls through ThreadPoolExecutor.map, one
    task per soil."""
    best = float("inf")
    with ThreadPoolExecutor(max_workers=workers) as pool:
        for _ in range(rounds):
            start = time.perf_counter()
            list(pool.map(lambda _: call(), range(soils)))
            best = min(best, time.perf_counter() - start)
    return best


def cpp_us(bench_build, program, name):
    program = Path(bench_build) / "bench" / program
    if not program.exists():
        return None
    out = subprocess.run([str(program), f"--benchmark_filter=^{name}$", "--benchmark_format=json",
                          "--benchmark_repetitions=15", "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
            return b["real_time"] * scale, b["cpu_time"] * scale
    return None


def main():
    bench_build = sys.argv[1] if len(sys.argv) > 1 else None
    calls = {
        "soil_tables": (lambda: drainprep.soil_tables(SOIL), ("pedopre_bench", "BM_NineLayerTables")),
        "pedopre": (lambda: drainprep.pedopre(["soil.dat"], {"soil.dat": SOIL}),
                    ("pedopre_bench", "BM_NineLayerInMemory")),
    }
    print(f"drainprep {drainprep.__version__}, {os.cpu_count()} cores, nine-layer soil")
    for label, (call, cpp_name) in calls.items():
        py = per_call_us(call)
        print(f"  {label:12s} Python  wall {py[0]:7.1f} us/soil, processor {py[1]:7.1f} us/soil")
        cpp = cpp_us(bench_build, *cpp_name) if bench_build else None
        if cpp:
            print(f"  {label:12s} C++     wall {cpp[0]:7.1f} us/soil, processor {cpp[1]:7.1f} us/soil"
                  f"   Python/C++ wall {py[0] / cpp[0]:4.2f}, processor {py[1] / cpp[1]:4.2f}")
    for label, (call, _) in calls.items():
        for how, timing in (("threads", batch_seconds), ("pool.map", pool_map_seconds)):
            one, two = timing(1, call), timing(2, call)
            print(f"  {label:12s} {how:8s} 1 worker {one * 1e3:7.1f} ms, 2 workers {two * 1e3:7.1f} ms "
                  f"for 512 soils, speed-up {one / two:4.2f}x")

if __name__ == "__main__":
    main()
