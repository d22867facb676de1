#!/usr/bin/env bash
# Builds the Debian package of Tamrisk and vessik with CPack in its own build
# folder (default build-package/) and prints the package's path as its last
# line. Installs what is missing first (setup.sh --package). Release build
# with Debian's hardening flags (dpkg-buildflags), installed under /usr; the
# dependencies come from dpkg-shlibdeps. lintian checks the package: its
# warnings are shown, an error fails the script.
#   sudo apt install ./build-package/tamrisk_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}
"$root/scripts/setup.sh" --package

# hardening=+all adds bind-now to the defaults (PIE, relro, fortify, stack protector).
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DTAMRISK_PACKAGE_DEB=ON \
  -DTAMRISK_BUILD_TESTS=OFF -DTAMRISK_BUILD_BENCH=OFF -DTAMRISK_FUZZ=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

# CPack names the package it wrote on a line of its own.
log=$(cd "$build" && cpack -G DEB 2>&1) || {
  echo "$log" >&2
  exit 1
}
package=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$log")
if [ -z "$package" ]; then
  echo "$log" >&2
  echo "package.sh: CPack named no package" >&2
  exit 1
fi

lintian --fail-on error "$package" >&2
echo "$package"
