#!/usr/bin/env bash
# Removes the installed program from NERINA_PREFIX (default ~/.local) and keeps the diary,
# its backups and the setting, saying where they are.
set -euo pipefail
prefix="${NERINA_PREFIX:-$HOME/.local}"
id=org.nerina.Diary
rm -f "$prefix/bin/nerina" "$prefix/lib/nerina/nerina" \
  "$prefix/share/applications/$id.desktop" \
  "$prefix/share/icons/hicolor/scalable/apps/$id.svg" \
  "$prefix/share/metainfo/$id.metainfo.xml"
echo "The program is removed. Your diary and its backups are kept in $prefix/lib/nerina/:"
ls -l "$prefix/lib/nerina/" 2>/dev/null || true
echo "Your setting (the cycle length) is kept in ${XDG_CONFIG_HOME:-$HOME/.config}/NERINAS.conf."
