#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks the install: the tree, the
# private empty diary, that a second install never touches an existing diary, that the
# desktop entry and the AppStream metainfo validate, and that the installed program starts
# on the diary beside it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
say() { echo "install-check: $*"; }
fail() { say "FAIL: $*"; exit 1; }

prefix="$(mktemp -d)"
# Only the program this script started is stopped, and only once it exists.
trap '[ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true; rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.nerina.Diary
diary="$prefix/lib/nerina/nerina.mdb"
for f in bin/nerina lib/nerina/nerina lib/nerina/nerina.mdb share/applications/$id.desktop \
         share/icons/hicolor/scalable/apps/$id.svg share/metainfo/$id.metainfo.xml; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ "$(stat -c %a "$diary")" = 600 ] || fail "the diary is not private"
[ "$(sqlite3 "$diary" 'select count(*) from DATA_FIL')" = 0 ] || fail "the installed diary is not empty"

sqlite3 "$diary" "insert into DATA_FIL values ('2026-12-06', 36.5, 'x', 'y', 0, 0)"
before="$(sha256sum "$diary")"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(sha256sum "$diary")" = "$before" ] || fail "a second install changed the diary"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null \
  || fail "the metainfo does not validate"

# Started by its command, the installed program must open the diary beside it.
QT_QPA_PLATFORM=offscreen "$prefix/bin/nerina" >/dev/null 2>&1 &
pid=$!
opened=""
for _ in $(seq 1 50); do
  if ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$diary"; then opened=yes; break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$opened" ] || fail "the installed program did not open $diary"
kill "$pid"; wait "$pid" 2>/dev/null || true
[ "$(sha256sum "$diary")" = "$before" ] || fail "starting the program changed the diary"
say "OK: installed tree, private diary kept across installs, desktop entry and metainfo valid, program starts on its diary"
