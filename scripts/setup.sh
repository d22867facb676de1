#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need,
# but only those that are missing. Safe to run again; needs root (or sudo)
# only when something has to be installed.
#   --windows  also the mingw-w64 cross compiler and wine, for the tests of
#              the Windows build of vessik (CTest label "windows")
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-image-formats-plugins
  libpng-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  pngcheck imagemagick
  fonts-noto-cjk xvfb xauth
)

if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine wine64)
fi

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
