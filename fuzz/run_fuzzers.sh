#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on its corpus in fuzz/corpus/,
# keeping what it finds (inputs that reach new code) in
# <build-dir>/fuzz-finds/<target>/ for fuzz/merge_finds.sh. A crash, a leak,
# a timeout or a sanitizer report fails the script, with the fuzzer's output
# and the input that did it (<build-dir>/fuzz-finds/<target>-crash-...).
#
#   fuzz/run_fuzzers.sh <build-dir> [seconds-per-target]
#
# <build-dir> is configured with CXX=clang++ -DBUILD_FUZZERS=ON and built.
set -euo pipefail
build=$(cd "${1:?usage: run_fuzzers.sh <build-dir> [seconds-per-target]}" && pwd)
seconds=${2:-15}
corpus=$(cd "$(dirname "$0")/corpus" && pwd)
finds=$build/fuzz-finds
targets=("$build"/fuzz/*_fuzz)
[ -x "${targets[0]}" ] || { echo "no fuzz targets in $build/fuzz (configure with -DBUILD_FUZZERS=ON)" >&2; exit 1; }

for exe in "${targets[@]}"; do
  target=$(basename "$exe" _fuzz)
  mkdir -p "$finds/$target" "$corpus/$target"
  log=$finds/$target.log
  if ! "$exe" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$finds/$target-" "$finds/$target" "$corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz target $target failed; its input is in $finds/" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  printf '%-16s %8s runs in %ss, %s new inputs kept\n' "$target" "${runs:-?}" "$seconds" \
    "$(find "$finds/$target" -type f | wc -l)"
done
