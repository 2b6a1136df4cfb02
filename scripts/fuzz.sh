#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one for
# the given number of seconds (default 30) on a copy of its committed corpus.
# Fails on the first crash, leak, timeout or memory blow-up.
# Usage: scripts/fuzz.sh [seconds-per-target]
# KALEMAR_FUZZ_TARGETS="fuzz_rtf ..." runs only the targets named.
set -euo pipefail

seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KALEMAR_FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(${KALEMAR_FUZZ_TARGETS:-fuzz_formula fuzz_table_definition fuzz_package fuzz_rtf})

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKALEMAR_BUILD_FUZZERS=ON -DKALEMAR_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" -j2 "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for target in "${targets[@]}"; do
  max_len=4096
  [[ $target == fuzz_package ]] && max_len=65536
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp "$root/fuzz/corpus/$target/"* "$corpus/"
  echo "== $target: ${seconds}s"
  (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" \
     -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$corpus") ||
    { echo "$target failed; the reproducer is in $work (kept)"; trap - EXIT; exit 1; }
done
