#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"

# The libFuzzer target needs clang; a short run of it is its own label.
if command -v clang++ >/dev/null 2>&1; then
  fuzz_build=$build-fuzz
  cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DTAMRISK_FUZZ=ON -DTAMRISK_WERROR=ON >/dev/null
  cmake --build "$fuzz_build" -j 2 --target compile_script_fuzzer
  (cd "$fuzz_build" && ctest --output-on-failure -L fuzz)
fi

BUILD_DIR=$build "$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j 2 --timeout 600 -LE fuzz
