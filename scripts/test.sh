#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: a
# short run of each fuzzer, the whole suite, then the whole suite once more
# built with ASan and UBSan (scripts/sanitize.sh).
#   --quick  the unit and end-to-end tests of the normal build only: no
#            fuzzing or corpus replay, no fault tests, no sanitizer pass
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

quick=false
for option in "$@"; do
  case $option in
    --quick) quick=true ;;
    *)
      echo "test.sh: unknown option $option (--quick)" >&2
      exit 2
      ;;
  esac
done

"$root/scripts/setup.sh"

if $quick; then
  BUILD_DIR=$build "$root/scripts/build.sh"
  cd "$build"
  exec ctest --output-on-failure -j 2 --timeout 600 -LE 'fuzz|replay|faults|windows'
fi

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

# The second pass needs clang, as the fuzzers do; setup.sh installs it.
BUILD_DIR=$build-asan "$root/scripts/sanitize.sh"
