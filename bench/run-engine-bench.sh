#!/usr/bin/env bash
# Measures the engine on a generated drawing of 20 pages x 5,000 shapes: open,
# change one property value on every page and save; open and save unchanged;
# and, for comparison, libvisio's vsd2raw only reading the same file.
# Usage: bench/run-engine-bench.sh [BUILD_DIR]   (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench=$build/bench/bench_engine
work=$build/bench-data
mkdir -p "$work"
drawing=$work/bench-20x5000.vsdx
[ -f "$drawing" ] || "$bench" generate "$drawing" 20 5000

unpacked=$(unzip -l "$drawing" | tail -1 | awk '{print $1}')
echo "drawing: $drawing ($(stat -c %s "$drawing") bytes packed, $unpacked bytes of XML unpacked)"

measure() { # label, command...
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>&1
  read -r secs kib < "$work/time.txt"
  printf '%-28s %8.2f s  %8d MiB peak  (%.2f x unpacked XML)\n' "$label" "$secs" $((kib / 1024)) \
    "$(echo "$kib * 1024 / $unpacked" | bc -l)"
}

cp "$drawing" "$work/change.vsdx"
measure "open, change, save" "$bench" change "$work/change.vsdx"
cp "$drawing" "$work/resave.vsdx"
measure "open, save unchanged" "$bench" resave "$work/resave.vsdx"
measure "vsd2raw (read only)" vsd2raw "$drawing"
