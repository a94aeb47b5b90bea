#!/usr/bin/env bash
# Wall time of whole PEDOPRE runs on the nine-layer example soil, as a batch
# script sees it (process start included): a fresh run in an empty folder and
# a rerun in place over the previous run's files. Prints the median of N runs
# of each (default 50).
#
#   bench/pedopre_rerun.sh <build-dir> [N]
set -euo pipefail
build=${1:?usage: pedopre_rerun.sh <build-dir> [N]}
n=${2:-50}
program=$(cd "$build" && pwd)/PEDOPRE
soil=$(cd "$(dirname "$0")/../examples/soils" && pwd)/vg_nine_layers.dat
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "%.2f ms\n", m/1e6}'; }

fresh() {
  for i in $(seq "$n"); do
    d="$work/fresh$i"; mkdir "$d"; cp "$soil" "$d/soil.dat"
    t0=$(now); (cd "$d" && "$program" soil.dat >/dev/null); t1=$(now)
    echo $((t1 - t0))
  done
}
rerun() {
  d="$work/rerun"; mkdir -p "$d"; cp "$soil" "$d/soil.dat"
  (cd "$d" && "$program" soil.dat >/dev/null)
  for i in $(seq "$n"); do
    t0=$(now); (cd "$d" && "$program" soil.dat >/dev/null); t1=$(now)
    echo $((t1 - t0))
  done
}
echo "fresh run:      $(fresh | median)"
echo "rerun in place: $(rerun | median)"
