#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${TAVRIK_BUILD_DIR:-build-asan}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTAVRIK_SANITIZE=ON -DTAVRIK_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"

# The fuzz targets: clang and libFuzzer in a build folder of their own, each
# run a few seconds over its corpus (scripts/fuzz.sh runs them long).
fuzz_build=${TAVRIK_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang-14 CXX=clang++-14 cmake -S . -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_FUZZ=ON \
  -DTAVRIK_GUI=OFF -DTAVRIK_TESTS=OFF -DTAVRIK_BENCHMARKS=OFF
cmake --build "$fuzz_build" -j "$(nproc)"
ctest --test-dir "$fuzz_build" --output-on-failure -j "$(nproc)"
