#!/usr/bin/env bash
# Builds the programs and the tests with AddressSanitizer (leak detection on)
# and UndefinedBehaviorSanitizer (stopping at the first report) in their own
# folder, build-sanitized/ (or $SANITIZED_BUILD_DIR), and runs every test there.
# Any report fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${SANITIZED_BUILD_DIR:-build-sanitized}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Only what the tests run: no benchmarks, no tools.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALEMAR_SANITIZE=ON \
  -DKALEMAR_BUILD_BENCHMARKS=OFF -DKALEMAR_BUILD_TOOLS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
# The programs that the end-to-end tests start inherit these too.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 600
