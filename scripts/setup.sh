#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the program and the tests need.
# Skips the download when everything is installed already. With --benchmarks
# also what only the benchmarks need (libzint, the other Aztec encoder they race).
set -euo pipefail

packages=(
  build-essential cmake make pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  zlib1g-dev
  qt6-base-dev qt6-translations-l10n libqt6svg6 libgl-dev
  libzxing-dev
  nlohmann-json3-dev
  emf2svg librsvg2-bin
  libcairo2-dev poppler-utils fonts-dejavu-core
  xvfb xauth
  dpkg-dev lintian desktop-file-utils appstream
  clang-14 libclang-rt-14-dev
  ansible-core
)

[ "${1:-}" = "--benchmarks" ] && packages+=(libzint-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
