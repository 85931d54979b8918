#!/usr/bin/env bash
# Runs the fuzz targets long, one after the other, at the lowest priority:
# each up to 10 million executions or 30 minutes, whichever comes first.
#   bash scripts/fuzz.sh                 every target
#   bash scripts/fuzz.sh aztec protocol  only these
# RUNS and SECONDS change the limits. New inputs go to build-fuzz/long/<name>;
# a crash leaves its input there as crash-* and stops the script.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TAVRIK_FUZZ_BUILD_DIR:-build-fuzz}
runs=${RUNS:-10000000}
seconds=${SECONDS_PER_TARGET:-1800}
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_FUZZ=ON \
  -DTAVRIK_GUI=OFF -DTAVRIK_TESTS=OFF -DTAVRIK_BENCHMARKS=OFF >/dev/null
nice -n 19 cmake --build "$build" -j "$(nproc)" >/dev/null
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings_file image parse_sequence protocol aztec metafile cli_args set_value)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for name in "${targets[@]}"; do
  # Absolute: a target may change its folder (cli_args works in one of its own).
  mkdir -p "$build/long/$name"
  work=$(cd "$build/long/$name" && pwd)
  extra=()
  [ "$name" = cli_args ] && extra=(-close_fd_mask=2)
  echo "fuzz: $name (up to $runs runs or $seconds s)" >&2
  nice -n 19 "$build/fuzz/${name}_fuzz" -runs="$runs" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/" "${extra[@]}" "$work" "$PWD/fuzz/corpus/$name" \
    >"$work.log" 2>&1 || { echo "fuzz: $name found a fault, see $work.log" >&2; exit 1; }
  grep -E '^Done|stat::number_of_executed_units|stat::peak_rss_mb' "$work.log" | sed "s/^/$name: /"
done
