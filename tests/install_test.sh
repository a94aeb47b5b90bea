#!/usr/bin/env bash
# Installs a build into a temporary prefix as a packager would, checks what
# lands where, then builds the example consumer in examples/api against the
# installed package with find_package(drainprep) and runs it.
#   install_test.sh <build-dir> <source-dir>
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/PEDOPRE bin/METCONV bin/PEDOVIEW bin/METVIEW share/man/man1/PEDOPRE.1 share/man/man1/METCONV.1 \
         share/man/man1/PEDOVIEW.1 share/man/man1/METVIEW.1 \
         share/doc/drainprep/README.md share/doc/drainprep/docs/outputs.md \
         share/doc/drainprep/examples/soils/vg_nine_layers.dat include/drainprep/drainprep.h \
         lib/cmake/drainprep/drainprepConfig.cmake; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
"$prefix/bin/PEDOPRE" --version | tr -d "\r" | grep -qx "PEDOPRE (drainprep) 1.0.0"

# The archives stand in the project's own folder, none under a plain name in lib/.
[ -e "$prefix/lib/drainprep/libdrainprep.a" ] || { echo "not installed: lib/drainprep/libdrainprep.a"; exit 1; }
if ls "$prefix"/lib/*.a >/dev/null 2>&1; then echo "archives straight in lib/:" "$prefix"/lib/*.a; exit 1; fi

# The installed examples run from their installed folder, writing elsewhere.
examples=$prefix/share/doc/drainprep/examples
(cd "$examples" && ./run_examples.sh "$work/examples" >"$work/examples.txt")
grep -q "^vg_nine_layers.dat  *NOERROR: Program terminated normally$" "$work/examples.txt"
grep -q "Page written" "$work/examples.txt"
[ -s "$work/examples/soils/vg_nine_layers/vg_nine_layers.SIN" ]
[ -e "$examples/api/README.md" ]

cmake -S "$source/examples/api" -B "$work/api" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/api" >/dev/null
out=$("$work/api/drainprep_api_example")
echo "$out"
grep -q "^PEDOPRE log: NOERROR: Program terminated normally$" <<<"$out"
grep -q "^METCONV log: \*NOERROR: Program terminated normally$" <<<"$out"
