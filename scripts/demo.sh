#!/usr/bin/env bash
# Installs what is missing, builds, and exports the example project into an
# MNG animation with the editor's headless command, then checks the result
# with pngcheck.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh"

out=$build/demo
rm -rf "$out"
mkdir -p "$out"
"$build/bin/Tamrisk" --export "$root/examples/walker/walker.pst" --output-dir "$out" --force
echo
echo "Written: $out/walker.mng ($(wc -c <"$out/walker.mng") bytes) and its frames in $out"
pngcheck "$out/walker.mng"
