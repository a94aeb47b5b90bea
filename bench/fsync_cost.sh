#!/usr/bin/env bash
# What durable results cost: the wall time of a whole PEDOPRE run on the
# nine-layer example soil and of a METCONV run on ten years of hourly rain,
# without and with DRAINPREP_FSYNC=1 (every output and its folder flushed to
# the disk before the log's last line). The cost depends on the disk under
# the scratch folder: give a folder on the disk the results will live on.
#
#   bench/fsync_cost.sh <build-dir> [N] [scratch-parent]
set -euo pipefail
build=$(cd "${1:?usage: fsync_cost.sh <build-dir> [N] [scratch-parent]}" && pwd)
runs=${2:-20}
soil=$(cd "$(dirname "$0")/../examples/soils" && pwd)/vg_nine_layers.dat
export TMPDIR=${3:-${TMPDIR:-/tmp}}
programs=(PEDOPRE METCONV)
source "$(dirname "$0")/timing_common.sh"

cp "$soil" soil.dat
awk 'BEGIN { for (y = 0; y < 10; y++) for (d = 1; d <= 365; d++) for (h = 1; h <= 24; h++)
             printf "%d %.4f 0.01\n", 1950 + y, d + h / 24.0 }' >rain.dat
echo "scratch folder on: $(df -P . | awk 'NR == 2 { print $1 " (" $6 ")" }')"
printf '%-34s %10s %10s\n' "run (best of $runs)" "plain ms" "fsync ms"
measure() {
  local label=$1
  shift
  local plain durable
  plain=$(best_ms "$@")
  durable=$(DRAINPREP_FSYNC=1 best_ms "$@")
  printf '%-34s %10s %10s\n' "$label" "$plain" "$durable"
}
measure "PEDOPRE, nine layers (8 outputs)" "$build/PEDOPRE" soil.dat
measure "METCONV HR, ten years hourly" "$build/METCONV" rain.dat HR IN 1
