#!/usr/bin/env bash
# Configures and builds the project into build/ (or $BUILD_DIR) with Ninja.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DTAMRISK_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
