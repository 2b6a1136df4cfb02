#!/usr/bin/env bash
# Measures the engine on a generated drawing of 20 pages x 5,000 shapes, each
# figure against a yardstick measured in the same run, side by side, ROUNDS
# times (default 5) in alternation, so that a busy machine slows both alike:
#   open, change one value on every page, save   against the floor: unzip the
#                                                same package into a folder and
#                                                zip -r -6 it again
#   the peak memory of that run                  against the unpacked XML
#   open and save unchanged; and once, for comparison, libvisio's vsd2raw
#   only reading the drawing (VSD2RAW=0 leaves it out)
# Prints the median and the spread (min-max) of each, and the median (and
# spread) of the ratio of each round.
# Usage: bench/run-engine-bench.sh [BUILD_DIR]   (a Release build, see the README)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${ROUNDS:-5}
bench=$build/bench/bench_engine
work=$build/bench-data
source bench/measure.sh
mkdir -p "$work"
drawing=$work/bench-20x5000.vsdx
[ -f "$drawing" ] || "$bench" generate "$drawing" 20 5000 >/dev/null 2>&1
unpacked=$(unzip -l "$drawing" | tail -1 | awk '{print $1}')
echo "drawing: $drawing ($(stat -c %s "$drawing") bytes packed, $unpacked bytes of XML unpacked), $rounds rounds"

rm -f "$work"/{floor,change,resave,vsd2raw}.txt
for ((i = 0; i < rounds; i++)); do
  measure floor bash -c 'rm -rf "$1/floor" "$1/floor.zip" && unzip -q "$2" -d "$1/floor" &&
                         cd "$1/floor" && zip -q -r -6 ../floor.zip .' _ "$work" "$drawing"
  cp "$drawing" "$work/change.vsdx"
  measure change "$bench" change "$work/change.vsdx"
  cp "$drawing" "$work/resave.vsdx"
  measure resave "$bench" resave "$work/resave.vsdx"
done
printf '%-42s %s\n' "floor: unzip, then zip -r -6" "$(summary floor)"
printf '%-42s %s\n' "open, change one value on every page, save" "$(summary change)"
printf '%-42s %s\n' "open and save unchanged" "$(summary resave)"
echo "open-change-save / floor:                  $(ratio change floor)"
echo "peak memory of open-change-save:           $(( $(peak_kib change) / 1024 )) MiB," \
  "$(echo "scale=2; $(peak_kib change) * 1024 / $unpacked" | bc) x the unpacked XML"
if [ "${VSD2RAW:-1}" != 0 ]; then
  measure vsd2raw vsd2raw "$drawing"
  printf '%-42s %s\n' "vsd2raw, reading only (once)" "$(summary vsd2raw)"
  echo "vsd2raw / open-change-save:                $(echo "scale=1; $(head -1 "$work/vsd2raw.txt" | cut -d' ' -f1) / $(sort -n "$work/change.txt" | awk '{t[NR]=$1} END {print t[int((NR+1)/2)]}')" | bc) x"
fi
