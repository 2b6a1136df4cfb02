#!/usr/bin/env bash
# Measures command 7 on a page of 10,000 eligible objects with 1,000 copies
# spread over 10 other pages (the whole scripted run of kalemar) against
# opening the same drawing, changing one value on every page and saving it,
# side by side, ROUNDS times (default 5) in alternation; and the table
# collection over a drawing of 2,000 object tables.
# Prints the median and the spread (min-max) of each, and the median (and
# spread) of the ratio of each round.
# Usage: bench/run-numbering-bench.sh [BUILD_DIR]   (a Release build, see the README)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${ROUNDS:-5}
bench=$build/bench/bench_numbering
engine=$build/bench/bench_engine
kalemar=$build/src/host/kalemar
work=$build/bench-data
source bench/measure.sh
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen

drawing=$work/numbering-10000.vsdx
[ -f "$drawing" ] || "$bench" numbering "$drawing" 10000 1000 10
echo "drawing: $drawing ($(stat -c %s "$drawing") bytes), $rounds rounds"

rm -f "$work"/{number,change,resave}.txt
for ((i = 0; i < rounds; i++)); do
  cp "$drawing" "$work/numbered.vsdx"
  measure number "$kalemar" --drawing "$work/numbered.vsdx" --page 1 --set tbCONST=N --press btnSAVE \
    --press btnClose 7
  cp "$drawing" "$work/touched.vsdx"
  measure change "$engine" change "$work/touched.vsdx"
  cp "$drawing" "$work/resaved.vsdx"
  measure resave "$engine" resave "$work/resaved.vsdx"
done
printf '%-42s %s\n' "kalemar 7 (number 10,000 + copies)" "$(summary number)"
printf '%-42s %s\n' "open, one value on every page, save" "$(summary change)"
printf '%-42s %s\n' "open and save unchanged" "$(summary resave)"
echo "command 7 / open-change-save:              $(ratio number change)"

tables=$work/tables-2000.vsdx
[ -f "$tables" ] || "$bench" tables "$tables" 2000
"$bench" collect "$tables"
