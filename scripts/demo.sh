#!/usr/bin/env bash
# Installs what is missing, builds, and exports the example project with the
# editor's headless command: the MNG animation, checked with pngcheck, and
# the APNG, GIF and WebP of the same frames, which any current browser plays.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh"

out=$build/demo
rm -rf "$out"
mkdir -p "$out"
"$build/bin/Tamrisk" --export "$root/examples/walker/walker.pst" --output-dir "$out" --force
"$build/bin/Tamrisk" --export "$root/examples/walker/walker.pst" --output-dir "$out" --force \
  --format apng,gif,webp
echo
echo "Written: $out/walker.mng ($(wc -c <"$out/walker.mng") bytes) and its frames in $out"
pngcheck "$out/walker.mng"
for file in walker.png walker.gif walker.webp; do
  echo "Written: $out/$file ($(wc -c <"$out/$file") bytes)"
done
echo
echo "To watch the animation, open $out/walker.webp (or walker.png, walker.gif) in a web browser:"
echo "  xdg-open file://$out/walker.webp"
