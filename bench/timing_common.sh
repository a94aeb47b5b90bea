# What the timing scripts share; sourced, not run. Before sourcing, set
# `build` (the build folder), `runs` (runs per measurement) and `programs`
# (the executables the script needs, relative to the build folder). It
# checks them, moves into a scratch folder removed at the end, and offers:
#   best_ms CMD...  the best wall time of $runs runs, in milliseconds, with
#                   bash's own clock (finer than /usr/bin/time);
#   peak_kb CMD...  the peak resident set of one run, in kilobytes.
for exe in "${programs[@]}"; do
  [ -x "$build/$exe" ] || { echo "missing $build/$exe (configure with -DBUILD_BENCH=ON and build)" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time for peak memory" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

best_ms() {
  local best="" s e ms
  for ((i = 0; i < runs; i++)); do
    s="$(date +%s%N)"
    "$@" >/dev/null 2>&1
    e="$(date +%s%N)"
    ms=$(( (e - s) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best="$ms"; fi
  done
  echo "$best"
}

peak_kb() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1; }
