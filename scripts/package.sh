#!/usr/bin/env bash
# Builds the Debian package: a Release build for /usr with Debian's hardening flags in
# build-package/, stripped and packed by CPack into build-package/nerina_<version>_amd64.deb,
# whose path is the last line printed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PACKAGE_BUILD_DIR:-$root/build-package}"
"$root/scripts/install-deps.sh"
cd "$root"
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
BUILD_DIR="$build" BUILD_TYPE=Release "$root/scripts/build.sh" \
  -DNERINA_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr -DNERINA_BUILD_TESTS=OFF -DNERINA_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)"
rm -f "$build"/nerina_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/nerina_*_amd64.deb)"
echo "Built: $deb"
echo "$deb"
