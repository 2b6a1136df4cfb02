# Shared by the benchmark scripts (sourced): runs a command and records its
# wall time and peak memory, and sums up repeated measurements.
#
#   measure NAME command...   appends "microseconds KiB" to $work/NAME.txt
#   summary NAME              "median s (min-max)  peak MiB"
#   ratio A B                 median of A/B over the rounds, with min and max

measure() {
  local name=$1; shift
  local start end
  start=$(date +%s%N)
  if ! /usr/bin/time -f "%M" -o "$work/peak.txt" "$@" >"$work/out.txt" 2>&1; then
    echo "failed: $*" >&2
    cat "$work/out.txt" >&2
    exit 1
  fi
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 )) $(cat "$work/peak.txt")" >>"$work/$name.txt"
}

summary() {
  sort -n "$work/$1.txt" | awk '{ t[NR] = $1; m = ($2 > m ? $2 : m) }
    END { printf "%7.3f s (%.3f-%.3f)  %5d MiB peak", t[int((NR + 1) / 2)] / 1e6, t[1] / 1e6, t[NR] / 1e6, m / 1024 }'
}

peak_kib() {
  awk '{ m = ($2 > m ? $2 : m) } END { print m }' "$work/$1.txt"
}

ratio() {
  paste -d' ' "$work/$1.txt" "$work/$2.txt" | awk '{ print $1 / $3 }' | sort -g |
    awk '{ r[NR] = $1 } END { printf "%.2f x (%.2f-%.2f)", r[int((NR + 1) / 2)], r[1], r[NR] }'
}
