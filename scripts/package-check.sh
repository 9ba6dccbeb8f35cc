#!/usr/bin/env bash
# Builds the Debian package and checks it as a user meets it: its file list and fields;
# lintian (errors fail, everything else is listed); an install with apt; the installed
# program started by an ordinary user (one this script makes) with an empty home, where her
# diary must appear, private, in her data folder; an upgrade over an older package, and the
# package's removal and purge, each of which must leave her diary and backups as they were.
# Runs as root, or as a user who may use sudo without a password.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
say() { echo "package-check: $*"; }
fail() { say "FAIL: $*"; exit 1; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo -n"; fi

"$root/scripts/install-deps.sh" lintian
deb="$("$root/scripts/package.sh" | tail -n 1)"
[ -f "$deb" ] || fail "no package was built"
[[ "$(basename "$deb")" =~ ^nerina_[0-9][^_]*_amd64\.deb$ ]] || fail "unexpected file name $deb"

user=nerina-check
work="$(mktemp -d)"
chmod 755 "$work" # apt reads the packages in it as its own unprivileged user
home="$work/home"
pid=""
cleanup() {
  if [ -n "$pid" ]; then $SUDO kill "$pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  if id "$user" >/dev/null 2>&1; then $SUDO userdel "$user" || true; fi
  if dpkg-query -W -f='${Status}' nerina 2>/dev/null | grep -q "ok installed"; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq nerina >/dev/null || true
  fi
  $SUDO rm -rf "$work"
}
trap cleanup EXIT

# The file list: all under /usr, nothing under /usr/local or a build path, no diary.
files="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
for f in /usr/bin/nerina /usr/lib/nerina/nerina /usr/lib/nerina/nerina_mkdb /usr/share/nerina/schema.sql \
         /usr/share/applications/org.nerina.Diary.desktop /usr/share/icons/hicolor/scalable/apps/org.nerina.Diary.svg \
         /usr/share/metainfo/org.nerina.Diary.metainfo.xml /usr/share/man/man1/nerina.1.gz \
         /usr/share/doc/nerina/copyright /usr/share/doc/nerina/changelog.gz; do
  grep -qxF "$f" <<<"$files" || fail "$f is not in the package"
done
stray="$(grep -vE '^/$|^/usr(/|$)' <<<"$files" || true)"
stray+="$(grep -E '^/usr/local(/|$)|_CPack_Packages|\.mdb$' <<<"$files" || true)"
stray+="$(grep -F "${root#/}" <<<"$files" || true)"
[ -z "$stray" ] || fail "files that do not belong in the package: $stray"
[ "$(dpkg-deb -f "$deb" Section)" = misc ] || fail "the section is not misc"
depends="$(dpkg-deb -f "$deb" Depends)"
for d in libqt6widgets6 libqt6sql6-sqlite qt6-translations-l10n "fonts-ipafont-gothic | fonts-noto-cjk"; do
  grep -qF "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
say "file list and fields OK"

say "lintian:"
lintian_out="$(lintian "$deb" 2>&1 | grep -v "running with root privileges" || true)"
if [ -n "$lintian_out" ]; then sed 's/^/  /' <<<"$lintian_out"; else echo "  (nothing to say)"; fi
if grep -q '^E:' <<<"$lintian_out"; then fail "lintian found errors"; fi

# An older package, the same but for its version, to upgrade from.
$SUDO dpkg-deb -R "$deb" "$work/old"
$SUDO sed -i 's/^Version: .*/Version: 1.0/' "$work/old/DEBIAN/control"
$SUDO dpkg-deb --root-owner-group -b "$work/old" "$work/nerina_1.0_amd64.deb" >/dev/null
apt_install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --allow-downgrades "$1" >/dev/null; }
apt_install "$work/nerina_1.0_amd64.deb"

# Her account, with an empty home.
if id "$user" >/dev/null 2>&1; then $SUDO userdel "$user"; fi
$SUDO useradd --no-create-home --home-dir "$home" --shell /bin/sh "$user"
$SUDO mkdir -m 700 "$home"
$SUDO chown "$user:" "$home"

# Starts the installed command as her (with XDG_DATA_HOME=$1 when given) and waits until
# the program has opened the diary $2; then ends it.
start_as_her() {
  local xdg="$1" diary="$2" opened=""
  $SUDO runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    ${xdg:+"XDG_DATA_HOME=$xdg"} sh -c 'echo $$ > "$HOME/.pid"; exec nerina' >"$work/run.log" 2>&1 &
  for _ in $(seq 1 100); do
    pid="$($SUDO cat "$home/.pid" 2>/dev/null || true)"
    if [ -n "$pid" ] && $SUDO ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF -- "-> $diary"; then opened=yes; break; fi
    sleep 0.1
  done
  [ -n "$pid" ] && $SUDO kill "$pid" 2>/dev/null || true
  wait || true
  pid=""
  $SUDO rm -f "$home/.pid"
  [ -n "$opened" ] || { sed 's/^/  /' "$work/run.log"; fail "the program started by nerina did not open $diary"; }
}

data="$home/.local/share/nerina"
diary="$data/nerina.mdb"
start_as_her "" "$diary"
[ "$($SUDO stat -c '%U %a' "$diary")" = "$user 600" ] || fail "her diary is not hers alone"
[ "$($SUDO stat -c '%U %a' "$data")" = "$user 700" ] || fail "her data folder is not hers alone"
[ "$($SUDO sqlite3 "$diary" 'select count(*) from DATA_FIL')" = 0 ] || fail "her new diary is not empty"
[ ! -e /usr/lib/nerina/nerina.mdb ] || fail "a diary appeared beside the program"
start_as_her "$home/elsewhere" "$home/elsewhere/nerina/nerina.mdb"
say "OK: started as $user, her diary made in her data folder (and in XDG_DATA_HOME when set)"

# Her entries and a backup, as the program leaves them; each step below must keep them.
$SUDO runuser -u "$user" -- sqlite3 "$diary" "insert into DATA_FIL values ('2026-12-06', 36.5, 'x', 'y', 0, 0)"
backup="$data/nerina-backup-20261206-093000-000.mdb"
$SUDO runuser -u "$user" -- cp -p "$diary" "$backup"
kept() { $SUDO sha256sum "$diary" "$backup"; }
before="$(kept)"

apt_install "$deb"
[ "$(dpkg-query -W -f='${Version}' nerina)" = "$(dpkg-deb -f "$deb" Version)" ] || fail "the upgrade did not install"
[ "$(kept)" = "$before" ] || fail "the upgrade changed her diary or backups"
start_as_her "" "$diary"
[ "$(kept)" = "$before" ] || fail "starting the program changed her diary"
say "OK: upgraded over an older package, her diary kept and opened"

DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq nerina >/dev/null
[ ! -e /usr/bin/nerina ] || fail "apt-get remove left /usr/bin/nerina"
[ "$(kept)" = "$before" ] || fail "apt-get remove changed her diary or backups"
apt_install "$deb"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq nerina >/dev/null
[ "$(kept)" = "$before" ] || fail "apt-get purge changed her diary or backups"
say "OK: removed and purged, her diary and backups kept"
