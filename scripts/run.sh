#!/usr/bin/env bash
# Installs what is missing, builds the program, installs it for this user (or updates an
# earlier install: the diary beside the installed program is never touched) and starts
# the installed copy (under Xvfb when there is no display).
# NERINA_PREFIX sets where it goes (default ~/.local).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="${NERINA_PREFIX:-$HOME/.local}"
"$root/scripts/install-deps.sh"
BUILD_DIR="$root/build-release" BUILD_TYPE=Release "$root/scripts/build.sh" \
  -DNERINA_BUILD_TESTS=OFF -DNERINA_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF
cmake --install "$root/build-release" --prefix "$prefix" --strip
if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$prefix/share/applications" || true
fi
echo "Installed: $prefix/bin/nerina (your diary: $prefix/lib/nerina/nerina.mdb)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a "$prefix/bin/nerina"
fi
exec "$prefix/bin/nerina"
