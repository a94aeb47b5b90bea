#!/usr/bin/env bash
# Times METVIEW on the long generated weather series that METCONV is timed
# on (100 years of hourly rain, about 1.1 million records; 100 years of each
# daily type), and on the hourly series ten times as long. METCONV converts
# each series first; then METVIEW checks the run and writes its page. Reports
# wall time (best of RUNS), peak resident memory and the page's size.
#
#   bench/metview_timing.sh BUILD_DIR [RUNS]
#
# BUILD_DIR must hold METCONV, METVIEW and bench/metconv_gen_tool (configure
# with -DBUILD_BENCH=ON); nothing is built here. The series are written to a
# temporary directory (about 240 MB at 10x) that is removed at the end.
set -euo pipefail
build="$(cd "${1:?usage: metview_timing.sh BUILD_DIR [RUNS]}" && pwd)"
runs="${2:-5}"
metconv="$build/METCONV"
metview="$build/METVIEW"
gen="$build/bench/metconv_gen_tool"
programs=(METCONV METVIEW bench/metconv_gen_tool)
source "$(dirname "$0")/timing_common.sh"

report() {  # label records ms peak_kb page_bytes
  awk -v l="$1" -v n="$2" -v ms="$3" -v kb="$4" -v pb="$5" 'BEGIN{
    rps = ms > 0 ? n / (ms / 1000.0) : 0;
    printf "%-22s %9d records %7d ms %11.0f records/s %8d KB peak %9d bytes of page\n", l, n, ms, rps, kb, pb }'
}

# check TYPE FACTOR FILE ARGS...: METCONV, then METVIEW timed.
check() {
  local label="$1" n="$2" file="$3"
  shift 3
  "$metconv" "$file" "$@" >/dev/null
  grep -q 'NOERROR' "${file%%.*}.LOG" || { echo "METCONV failed on $file" >&2; exit 1; }
  local ms kb page
  ms="$(best_ms "$metview" "$file" "$@")"
  kb="$(peak_kb "$metview" "$file" "$@")"
  # The page is named after the weather file: w.RAI.html, w.TEM.html, w.PET.html.
  case "$1" in TP) page="${file%%.*}.TEM.html" ;; ET) page="${file%%.*}.PET.html" ;; *) page="${file%%.*}.RAI.html" ;; esac
  [ -s "$page" ] || { echo "METVIEW wrote no page for $file" >&2; exit 1; }
  report "$label" "$n" "$ms" "$kb" "$(stat -c %s "$page")"
  rm -f ./*.dat ./*.RAI ./*.TEM ./*.PET ./*.LOG ./*.html
}

echo "METVIEW timing, best of $runs runs (build: $build)"
n="$("$gen" HR 1 hourly.dat)";   check "METVIEW HR, 100 years" "$n" hourly.dat HR IN 12345
n="$("$gen" TP 1 temps.dat)";    check "METVIEW TP, 100 years" "$n" temps.dat TP DF 12345
n="$("$gen" ET 1 pet.dat)";      check "METVIEW ET, 100 years" "$n" pet.dat ET IN 12345
n="$("$gen" DR 1 daily.dat)";    check "METVIEW DR, 100 years" "$n" daily.dat DR IN 12345 5 20
runs=1
n="$("$gen" HR 10 hourly.dat)";  check "METVIEW HR, 1000 years" "$n" hourly.dat HR IN 12345
