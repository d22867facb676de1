#!/usr/bin/env bash
# The sanitizer pass: builds every target, tests included, with clang's
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (or
# $BUILD_DIR) and runs the tests through CTest, all but the Windows build
# and the fuzzing runs. Any report of a memory error, a leak in our code or
# undefined behaviour fails the test that made it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-asan}
"$root/scripts/setup.sh"

# Set for the build too: test discovery runs the instrumented test programs.
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt, fontconfig and the other system libraries are not instrumented; their
# allocations that live until exit are listed in the suppressions file.
export LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0
export QT_QPA_PLATFORM=offscreen

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMRISK_SANITIZE=ON -DTAMRISK_WERROR=ON >/dev/null
cmake --build "$build" -j 2
cd "$build"
ctest --output-on-failure -j 2 --timeout 900 -LE 'windows|fuzz'
