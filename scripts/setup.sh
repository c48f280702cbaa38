#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the project
# (only when run as root; otherwise it says what is missing), then configures
# and builds into the directory given as $1 with any further CMake options.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in g++ cmake ninja-build pkg-config googletest libgtest-dev libcairo2-dev libpng-dev \
           libfontconfig-dev fonts-dejavu-core libwmf-bin openbabel fonts-urw-base35 clang \
           libbenchmark-dev libsqlite3-dev poppler-utils; do
  have_pkg "$pkg" || need+=("$pkg")
done
if ((${#need[@]})); then
  if [ "$(id -u)" = 0 ]; then
    echo "setup: installing ${need[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  else
    echo "setup: missing packages (install them as root): ${need[*]}" >&2
  fi
fi

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shift || true
cmake -S "$top" -B "$build" -G Ninja "$@" >/dev/null
ninja -C "$build" -j"$(nproc)"
