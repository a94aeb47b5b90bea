#!/usr/bin/env bash
# Runs the programs on the bundled examples. The inputs are copied to an
# output folder first, so the tables are written there and the examples stay
# clean. PEDOVIEW then draws each soil's tables on a page beside them
# (<soil>.SIN.html), and
# METVIEW checks each METCONV run and writes its page.
#
#   run_examples.sh [OUTPUT-FOLDER]
#
# In a source tree it builds the programs first (nothing else: no test
# framework is needed) and writes to out/examples/. Installed (beside the
# documentation, share/doc/drainprep/examples/), it runs the installed
# programs and writes to OUTPUT-FOLDER, or to a new folder under the system's
# temporary folder when none is given; it says where. A folder given is
# added to, never emptied.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"

if [ -f "$root/CMakeLists.txt" ]; then
  build="$root/build-programs"
  out="${1:-$root/out/examples}"
  [ $# -gt 0 ] || rm -rf "$out"  # the earlier run's examples, never a folder the caller names
  echo "== Configuring (build folder $build)"
  cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  echo "== Building the programs"
  cmake --build "$build" -j2
  PEDOPRE="$build/PEDOPRE" PEDOVIEW="$build/PEDOVIEW" METCONV="$build/METCONV" METVIEW="$build/METVIEW"
else
  # share/doc/drainprep/examples -> the installation's bin/, else the PATH.
  bin="$(cd "$here/../../../.." && pwd)/bin"
  program() { if [ -x "$bin/$1" ]; then echo "$bin/$1"; else command -v "$1" || { echo "$1 is not installed" >&2; exit 1; }; fi; }
  PEDOPRE="$(program PEDOPRE)"
  PEDOVIEW="$(program PEDOVIEW)"
  METCONV="$(program METCONV)"
  METVIEW="$(program METVIEW)"
  out="${1:-$(mktemp -d "${TMPDIR:-/tmp}/drainprep-examples.XXXXXX")}"
  echo "== Installed programs in $(dirname "$PEDOPRE"); output folder $out"
fi
examples="$here"

mkdir -p "$out/soils" "$out/weather"

echo "== PEDOPRE and PEDOVIEW: soil tables and their page (written next to each input in $out/soils)"
for soil in "$examples"/soils/*.dat; do
  [ -e "$soil" ] || continue
  name="$(basename "$soil")"
  mkdir -p "$out/soils/${name%.dat}"
  cp "$soil" "$out/soils/${name%.dat}/"
  ( cd "$out/soils/${name%.dat}" && "$PEDOPRE" "$name" >/dev/null )
  printf '%-28s %s\n' "$name" "$(tr -d '\r' < "$out/soils/${name%.dat}/PEDOPRE.LOG" | sed 's/ *$//')"
  printf '%-28s %s\n' "" "$(cd "$out/soils/${name%.dat}" && "$PEDOVIEW" "$name" | tr -d '\r')"
done

echo "== METCONV, then METVIEW: weather files and their report pages (next to each input in $out/weather)"
cp "$examples"/weather/*.dat "$out/weather/" 2>/dev/null || true
if [ -f "$examples/weather/COMMANDS" ]; then
  while read -r args; do
    [ -n "$args" ] || continue
    case "$args" in \#*) continue ;; esac
    set -- $args
    ( cd "$out/weather" && "$METCONV" "$@" >/dev/null )
    log="$out/weather/${1%%.*}.LOG"
    printf '%-28s %s\n' "$args" "$(tr -d '\r' < "$log" 2>/dev/null | sed 's/ *$//')"
    page="$( cd "$out/weather" && "$METVIEW" "$@" | tr -d '\r' | tail -1 )"
    printf '%-28s %s\n' "" "$page"
  done < "$examples/weather/COMMANDS"
fi
