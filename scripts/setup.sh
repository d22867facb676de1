#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need,
# but only those that are missing. Safe to run again; needs root (or sudo)
# only when something has to be installed.
#   --windows  also the mingw-w64 cross compiler and wine, for the tests of
#              the Windows build of vessik (CTest label "windows")
#   --bench    also the tools scripts/bench.sh measures against (ffmpeg, webp,
#              apngasm, gifsicle; ImageMagick
#              comes anyway), hyperfine and perf for timing and profiling
#   --package  also what scripts/package.sh needs: dpkg-shlibdeps and
#              dpkg-buildflags, lintian to check the package, and
#              rsvg-convert for scripts/make_icons.py
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
  libpng-dev zlib1g-dev libdeflate-dev libgif-dev libwebp-dev
  libgtest-dev libbenchmark-dev
  pngcheck imagemagick apngdis ffmpeg
  fonts-noto-cjk xvfb xauth
  desktop-file-utils appstream shared-mime-info man-db
)

for option in "$@"; do
  case $option in
    --windows) packages+=(g++-mingw-w64-x86-64-posix wine wine64) ;;
    --bench) packages+=(apngasm gifsicle ffmpeg webp hyperfine linux-perf valgrind) ;;
    --package) packages+=(dpkg-dev lintian librsvg2-bin) ;;
    *)
      echo "setup.sh: unknown option $option (--windows, --bench, --package)" >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
