#!/usr/bin/env bash
# Builds the programs and runs them on the bundled examples (METVIEW checks
# each METCONV run and writes its page). The inputs are
# copied to out/examples/ first, so the tables are written there and the
# repository stays clean.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
out="$root/out/examples"

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target PEDOPRE METCONV METVIEW >/dev/null

rm -rf "$out"
mkdir -p "$out/soils" "$out/weather"

echo "== PEDOPRE: soil tables (written next to each input in $out/soils)"
for soil in "$root"/examples/soils/*.dat; do
  [ -e "$soil" ] || continue
  name="$(basename "$soil")"
  mkdir -p "$out/soils/${name%.dat}"
  cp "$soil" "$out/soils/${name%.dat}/"
  ( cd "$out/soils/${name%.dat}" && "$build/PEDOPRE" "$name" >/dev/null )
  printf '%-28s %s\n' "$name" "$(tr -d '\r' < "$out/soils/${name%.dat}/PEDOPRE.LOG" | sed 's/ *$//')"
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
