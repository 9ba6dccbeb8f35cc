#!/usr/bin/env bash
# Prints a sample graph window through the system's print spooler onto a PDF printer and
# checks that one page came out. Starts its own scheduler when none is running and stops it
# again. Skips (exit 0) only where no scheduler can be started; fails (non-zero) otherwise.
# CUPS_CHECK_OUT=<folder> keeps the printed PDF and a PNG of its page there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
helper="$build/tests/graph/graph_print_check"
queue="NerinaPDF"

say() { echo "cups-print-check: $*"; }
fail() { say "FAIL: $*"; exit 1; }

[ -x "$helper" ] || fail "$helper is not built (run scripts/build.sh first)"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo -n"; fi

"$root/scripts/install-deps.sh" cups printer-driver-cups-pdf poppler-utils

work="$(mktemp -d)"
cupsd_pid=""
added_queue=0
old_default=""

cleanup() {
  if [ "$added_queue" -eq 1 ]; then
    $SUDO lpadmin -x "$queue" >/dev/null 2>&1 || true
    if [ -n "$old_default" ]; then $SUDO lpadmin -d "$old_default" >/dev/null 2>&1 || true; fi
  fi
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

scheduler_up() { lpstat -r 2>/dev/null | grep -q "is running"; }

if scheduler_up; then
  say "using the scheduler that is already running"
else
  if [ -n "$SUDO" ]; then
    say "SKIP: no print scheduler is running and starting one needs root"
    exit 0
  fi
  mkdir -p /run/cups
  cupsd -f >"$work/cupsd.log" 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 1 50); do
    scheduler_up && break
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.2
  done
  if ! scheduler_up; then
    say "SKIP: the print scheduler cupsd could not be started here:"
    sed 's/^/  /' "$work/cupsd.log" | tail -n 5
    exit 0
  fi
  say "started cupsd (pid $cupsd_pid)"
fi

# The PDF driver as the installed package names it.
model="$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ {print $1; exit}')"
[ -n "$model" ] || model="$(lpinfo -m 2>/dev/null | awk '/[Cc][Uu][Pp][Ss]-[Pp][Dd][Ff]/ {print $1; exit}')"
[ -n "$model" ] || fail "no cups-pdf driver found by lpinfo -m"

old_default="$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')"
if ! lpstat -p "$queue" >/dev/null 2>&1; then
  $SUDO lpadmin -p "$queue" -E -v cups-pdf:/ -m "$model" || fail "could not add the PDF printer"
  added_queue=1
fi
$SUDO lpadmin -d "$queue" || fail "could not make $queue the default printer"

# Where cups-pdf writes: its Out folder (per user home) or the anonymous spool.
out_dirs=("$HOME/PDF" /var/spool/cups-pdf)
conf_out="$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | head -n 1)"
if [ -n "$conf_out" ] && [ "${conf_out#*\$}" = "$conf_out" ]; then out_dirs+=("$conf_out"); fi
for d in "${out_dirs[@]}"; do mkdir -p "$d" 2>/dev/null || true; done
touch "$work/marker"
sleep 1 # file times have whole-second resolution on some file systems

say "printing a sample graph on $queue"
QT_QPA_PLATFORM=offscreen PRINTER="$queue" "$helper" || fail "the graph window could not print"

pdf=""
for _ in $(seq 1 150); do
  pdf="$(find "${out_dirs[@]}" -name '*.pdf' -newer "$work/marker" 2>/dev/null | head -n 1 || true)"
  if [ -n "$pdf" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; then break; fi
  sleep 0.2
done
[ -n "$pdf" ] || { lpstat -W completed -o "$queue" 2>/dev/null | tail -n 3 || true; fail "no PDF appeared in ${out_dirs[*]}"; }

pages="$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
[ "$pages" = "1" ] || fail "expected one page in $pdf, found '${pages:-none}'"

if [ -n "${CUPS_CHECK_OUT:-}" ]; then
  mkdir -p "$CUPS_CHECK_OUT"
  cp "$pdf" "$CUPS_CHECK_OUT/graph-print.pdf"
  pdftoppm -png -r 60 -singlefile "$pdf" "$CUPS_CHECK_OUT/graph-print"
fi
rm -f "$pdf"
say "OK: one page printed through cups-pdf"
