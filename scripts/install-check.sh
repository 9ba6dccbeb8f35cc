#!/usr/bin/env bash
# Installs the built program into a temporary prefix whose name holds a space and checks the
# install: the tree, the private empty diary, that a second install never touches an
# existing diary, that the desktop entry and the AppStream metainfo validate, and that the
# installed program, started from its desktop entry, opens the diary beside it. Then a
# staged install (DESTDIR) must put everything, the desktop entry too, under the staging
# folder once, naming the final prefix inside.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh" libglib2.0-bin
say() { echo "install-check: $*"; }
fail() { say "FAIL: $*"; exit 1; }

work="$(mktemp -d)"
prefix="$work/my programs"
# Only the program this script started is stopped, and only once it exists.
trap '[ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
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

# Started from its desktop entry, as the desktop starts it, the installed program must open
# the diary beside it. gio hands it on and returns; the program is the one process that
# runs the executable of this prefix.
QT_QPA_PLATFORM=offscreen gio launch "$prefix/share/applications/$id.desktop" >/dev/null 2>&1 \
  || fail "gio launch could not start the desktop entry"
opened=""
for _ in $(seq 1 50); do
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/exe" 2>/dev/null)" = "$prefix/lib/nerina/nerina" ]; then pid="${p#/proc/}"; fi
  done
  if [ -n "${pid:-}" ] && ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF -- "-> $diary"; then opened=yes; break; fi
  sleep 0.1
done
[ -n "$opened" ] || fail "the program started from the desktop entry did not open $diary"
kill "$pid"
while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
[ "$(sha256sum "$diary")" = "$before" ] || fail "starting the program changed the diary"

# A staged install: everything under the staging folder, once, for the final prefix.
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /opt/nerina >/dev/null
[ "$(cd "$stage" && echo *)" = opt ] || fail "the staged install put files outside its prefix"
entries="$(find "$stage" -name "$id.desktop")"
[ "$entries" = "$stage/opt/nerina/share/applications/$id.desktop" ] || fail "the staged desktop entry lies at: $entries"
grep -qx 'Exec="/opt/nerina/bin/nerina"' "$entries" || fail "the staged desktop entry starts: $(grep '^Exec=' "$entries")"
say "OK: installed tree, private diary kept across installs, desktop entry and metainfo valid, program starts from its desktop entry on its diary, staged install in place"
