#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then
# the same tests again, built with ASan and UBSan (scripts/sanitize.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"

# The libFuzzer targets need clang; a short run of each is its own label.
if command -v clang++ >/dev/null 2>&1; then
  fuzz_build=$build-fuzz
  cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DTAMRISK_FUZZ=ON -DTAMRISK_WERROR=ON >/dev/null
  cmake --build "$fuzz_build" -j 2 --target fuzzers
  (cd "$fuzz_build" && ctest --output-on-failure -j 2 -L fuzz)
fi

BUILD_DIR=$build "$root/scripts/build.sh"
(cd "$build" && ctest --output-on-failure -j 2 --timeout 600 -LE fuzz)

# The sanitizer pass, in a build folder of its own.
if command -v clang++ >/dev/null 2>&1; then
  BUILD_DIR=$build-asan "$root/scripts/sanitize.sh"
fi
