#!/usr/bin/env bash
# Sets up, builds the benchmarks in a release build and runs each of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --benchmarks
build=${TAVRIK_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVRIK_TESTS=OFF -DTAVRIK_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in $(find "$build" -type f -perm -u+x -name '*_benchmark' | sort); do
  echo "== $b"
  "$b" "$@"
done
