#!/usr/bin/env bash
# Measures command 7 on a page of 10,000 eligible objects with 1,000 copies spread
# over 10 other pages: the whole scripted run of kalemar, against opening and
# saving the same drawing unchanged; and the table collection over a drawing of
# 2,000 object tables.
# Usage: bench/run-numbering-bench.sh [BUILD_DIR]   (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench=$build/bench/bench_numbering
engine=$build/bench/bench_engine
kalemar=$build/src/host/kalemar
work=$build/bench-data
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen

drawing=$work/numbering-10000.vsdx
[ -f "$drawing" ] || "$bench" numbering "$drawing" 10000 1000 10
echo "drawing: $drawing ($(stat -c %s "$drawing") bytes)"

measure() { # label, command...
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>&1
  read -r secs kib < "$work/time.txt"
  printf '%-36s %8.2f s  %6d MiB peak\n' "$label" "$secs" $((kib / 1024))
}

cp "$drawing" "$work/numbered.vsdx"
measure "kalemar 7 (number 10,000 + copies)" "$kalemar" --drawing "$work/numbered.vsdx" --page 1 \
  --set tbCONST=N --press btnSAVE --press btnClose 7
cp "$drawing" "$work/resaved.vsdx"
measure "open and save unchanged" "$engine" resave "$work/resaved.vsdx"
cp "$drawing" "$work/touched.vsdx"
measure "open, one value on every page, save" "$engine" change "$work/touched.vsdx"

tables=$work/tables-2000.vsdx
[ -f "$tables" ] || "$bench" tables "$tables" 2000
"$bench" collect "$tables"
