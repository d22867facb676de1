#!/usr/bin/env bash
# Cross-builds vessik.exe for 64-bit Windows with mingw-w64 into its own build
# folder (default build-windows/): statically linked, without the Qt front end.
# Needs the Debian packages cmake, ninja-build and g++-mingw-w64-x86-64-posix
# (scripts/setup.sh --windows installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows}
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTAMRISK_BUILD_TESTS=OFF -DVESSIK_GUI=OFF \
  -DTAMRISK_WERROR=ON >/dev/null
cmake --build "$build" --target vessik
echo "$build/bin/vessik.exe"
