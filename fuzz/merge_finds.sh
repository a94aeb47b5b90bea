#!/usr/bin/env bash
# Grows the corpus in fuzz/corpus/ by what fuzz/run_fuzzers.sh found: each
# target's finds are merged into its corpus folder, keeping only the inputs
# that reach code the corpus does not yet reach (libFuzzer's -merge=1), and
# then removed from the build folder. Commit the new corpus files.
#
#   fuzz/merge_finds.sh <build-dir>
set -euo pipefail
build=$(cd "${1:?usage: merge_finds.sh <build-dir>}" && pwd)
corpus=$(cd "$(dirname "$0")/corpus" && pwd)
finds=$build/fuzz-finds
[ -d "$finds" ] || { echo "nothing found yet: run fuzz/run_fuzzers.sh $1 first" >&2; exit 1; }

for dir in "$finds"/*/; do
  target=$(basename "$dir")
  exe=$build/fuzz/${target}_fuzz
  [ -x "$exe" ] || continue
  before=$(find "$corpus/$target" -type f | wc -l)
  "$exe" -merge=1 "$corpus/$target" "$dir" >"$finds/$target.merge.log" 2>&1 ||
    { tail -n 30 "$finds/$target.merge.log"; exit 1; }
  after=$(find "$corpus/$target" -type f | wc -l)
  printf '%-16s %4d inputs added to fuzz/corpus/%s\n' "$target" $((after - before)) "$target"
  rm -rf "$dir"
done
