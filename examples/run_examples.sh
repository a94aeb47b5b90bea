#!/usr/bin/env bash
# Builds the programs (nothing else: no test framework is needed) and runs
# them on the bundled examples. The inputs are copied to out/examples/ first,
# so the tables are written there and the repository stays clean. PEDOVIEW
# then draws each soil's tables on a page beside them (<soil>.SIN.html), and
# METVIEW checks each METCONV run and writes its page.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-programs"
out="$root/out/examples"

echo "== Configuring (build folder $build)"
cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
echo "== Building the programs"
cmake --build "$build" -j2

rm -rf "$out"
mkdir -p "$out/soils" "$out/weather"

echo "== PEDOPRE and PEDOVIEW: soil tables and their page (written next to each input in $out/soils)"
for soil in "$root"/examples/soils/*.dat; do
  [ -e "$soil" ] || continue
  name="$(basename "$soil")"
  mkdir -p "$out/soils/${name%.dat}"
  cp "$soil" "$out/soils/${name%.dat}/"
  ( cd "$out/soils/${name%.dat}" && "$build/PEDOPRE" "$name" >/dev/null )
  printf '%-28s %s\n' "$name" "$(tr -d '\r' < "$out/soils/${name%.dat}/PEDOPRE.LOG" | sed 's/ *$//')"
  printf '%-28s %s\n' "" "$(cd "$out/soils/${name%.dat}" && "$build/PEDOVIEW" "$name" | tr -d '\r')"
done

echo "== METCONV, then METVIEW: weather files and their report pages (next to each input in $out/weather)"
cp "$root"/examples/weather/*.dat "$out/weather/" 2>/dev/null || true
if [ -f "$root/examples/weather/COMMANDS" ]; then
  while read -r args; do
    [ -n "$args" ] || continue
    case "$args" in \#*) continue ;; esac
    set -- $args
    ( cd "$out/weather" && "$build/METCONV" "$@" >/dev/null )
    log="$out/weather/${1%%.*}.LOG"
    printf '%-28s %s\n' "$args" "$(tr -d '\r' < "$log" 2>/dev/null | sed 's/ *$//')"
    page="$( cd "$out/weather" && "$build/METVIEW" "$@" | tr -d '\r' | tail -1 )"
    printf '%-28s %s\n' "" "$page"
  done < "$root/examples/weather/COMMANDS"
fi
