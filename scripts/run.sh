#!/usr/bin/env bash
# Sets up, builds and starts the program. Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${TAVRIK_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_TESTS=OFF -DTAVRIK_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
if [ -x "$build/app/tavrik" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a "$build/app/tavrik" "$@"
  fi
  exec "$build/app/tavrik" "$@"
fi
exec "$build/tools/cli/tavrik-cli" "${@:---help}"
