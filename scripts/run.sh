#!/usr/bin/env bash
# Installs what is missing, builds the program, installs it for this user (or updates an
# earlier install: the diary beside the installed program is never touched) and starts
# the installed copy (under Xvfb when there is no display). Stops, saying so, while the
# installed program runs: the update would start a second copy on the same diary.
# NERINA_PREFIX sets where it goes (default ~/.local).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="${NERINA_PREFIX:-$HOME/.local}"
program="$prefix/lib/nerina/nerina"

# The installed program, running (also after an update replaced its file).
stop_if_running() {
  local p exe
  for p in /proc/[0-9]*; do
    exe="$(readlink "$p/exe" 2>/dev/null || true)"
    if [ "$exe" = "$program" ] || [ "$exe" = "$program (deleted)" ]; then
      echo "Nerina's Diary is running (process ${p#/proc/}). Close it first, then run this again." >&2
      exit 1
    fi
  done
}

if [ "$(id -u)" -eq 0 ] && [ -z "${NERINA_PREFIX:-}" ]; then
  echo "Note: you are root, so the program and its diary go to $prefix and belong to root." >&2
  echo "      Run this as yourself to install them for you; apt is run through sudo." >&2
fi
stop_if_running
"$root/scripts/install-deps.sh"
BUILD_DIR="$root/build-release" BUILD_TYPE=Release "$root/scripts/build.sh" \
  -DNERINA_BUILD_TESTS=OFF -DNERINA_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF
stop_if_running
cmake --install "$root/build-release" --prefix "$prefix" --strip
if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$prefix/share/applications" || true
fi
echo "Installed: $prefix/bin/nerina (your diary: $prefix/lib/nerina/nerina.mdb)"
case ":$PATH:" in
*":$prefix/bin:"*) ;;
*) echo "Note: $prefix/bin is not on your PATH yet. Debian adds ~/.local/bin at login when the folder"
   echo "      exists, so 'nerina' works as a command from your next login; until then start"
   echo "      $prefix/bin/nerina or 基礎体温日記 in the desktop menu." ;;
esac
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a "$prefix/bin/nerina"
fi
exec "$prefix/bin/nerina"
