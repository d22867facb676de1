#!/usr/bin/env bash
# Installs what is missing, builds, and compiles the bundled example into an
# MNG animation, then checks the result with pngcheck.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh"

work=$build/demo
rm -rf "$work"
mkdir -p "$work"
cp "$root"/examples/bounce/*.png "$root"/examples/bounce/bounce.txt "$work"/
"$build/bin/vessik" --yes "$work/bounce.txt"
echo
echo "Written: $work/bounce.mng ($(wc -c <"$work/bounce.mng") bytes)"
pngcheck "$work/bounce.mng"
