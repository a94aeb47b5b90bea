#!/usr/bin/env bash
# Times METCONV on long generated weather series, beside the floor (a program
# that only reads the same file and converts every number with
# std::from_chars), at 1x and 10x the length. Reports wall time (best of
# RUNS), records per second and peak resident memory.
#
#   bench/metconv_timing.sh BUILD_DIR [RUNS]
#
# BUILD_DIR must hold METCONV and bench/metconv_gen_tool and
# bench/metconv_floor_tool (configure with -DBUILD_BENCH=ON); nothing is
# built here. The series are written to a temporary directory (about 240 MB
# at 10x) that is removed at the end.
set -euo pipefail
build="$(cd "${1:?usage: metconv_timing.sh BUILD_DIR [RUNS]}" && pwd)"
runs="${2:-5}"
metconv="$build/METCONV"
gen="$build/bench/metconv_gen_tool"
floor="$build/bench/metconv_floor_tool"
programs=(METCONV bench/metconv_gen_tool bench/metconv_floor_tool)
source "$(dirname "$0")/timing_common.sh"

report() {  # label records ms peak_kb
  awk -v l="$1" -v n="$2" -v ms="$3" -v kb="$4" 'BEGIN{
    rps = ms > 0 ? n / (ms / 1000.0) : 0;
    printf "%-26s %9d records %8d ms %12.0f records/s %8d KB peak\n", l, n, ms, rps, kb }'
}

echo "METCONV timing, best of $runs runs (build: $build)"
for factor in 1 10; do
  echo "== ${factor}x: 100 x ${factor} years"
  n_hr="$("$gen" HR "$factor" hourly$factor.dat)"
  ms_floor="$(best_ms "$floor" hourly$factor.dat)"
  kb_floor="$(peak_kb "$floor" hourly$factor.dat)"
  ms_hr="$(best_ms "$metconv" hourly$factor.dat HR IN 12345)"
  kb_hr="$(peak_kb "$metconv" hourly$factor.dat HR IN 12345)"
  grep -q 'NOERROR' hourly$factor.LOG || { echo "METCONV failed on hourly$factor.dat" >&2; exit 1; }
  report "floor, hourly" "$n_hr" "$ms_floor" "$kb_floor"
  report "METCONV HR" "$n_hr" "$ms_hr" "$kb_hr"
  awk -v a="$ms_hr" -v b="$ms_floor" 'BEGIN{ if (b > 0) printf "METCONV HR / floor: %.2f\n", a / b }'
  for run in "TP DF" "ET IN" "DR IN 5 20"; do
    set -- $run
    type="$1"
    n="$("$gen" "$type" "$factor" daily$type$factor.dat)"
    ms_f="$(best_ms "$floor" daily$type$factor.dat)"
    ms="$(best_ms "$metconv" daily$type$factor.dat "$1" "$2" 12345 ${3:-} ${4:-})"
    kb="$(peak_kb "$metconv" daily$type$factor.dat "$1" "$2" 12345 ${3:-} ${4:-})"
    grep -q 'NOERROR' daily$type$factor.LOG || { echo "METCONV failed on daily$type$factor.dat" >&2; exit 1; }
    report "floor, daily $type" "$n" "$ms_f" 0
    report "METCONV $type" "$n" "$ms" "$kb"
  done
  rm -f ./*.dat ./*.RAI ./*.TEM ./*.PET ./*.LOG
done
