#!/bin/sh
# Runs a Windows Qt program under Wine on a virtual display of its own: Qt's event dispatcher creates a
# window even on the offscreen platform, which Wine refuses without an X display. A private Xvfb is
# started on a free display number and stopped when the program ends.
#   wine-display-run.sh [--qtest] PROGRAM [ARGUMENT]...
# --qtest: PROGRAM is a Qt Test program, whose report on Windows goes to the debugger channel; it is
# written to a file instead and printed here. The exit status is the program's.
set -u
here=$(cd "$(dirname "$0")" && pwd)
qtest=
if [ "${1:-}" = --qtest ]; then
  qtest=1
  shift
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/torvi-wine-display.XXXXXX")
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
if [ ! -s "$scratch/display" ]; then
  echo "wine-display-run: Xvfb did not start: $(cat "$scratch/xvfb.log")" >&2
  exit 1
fi
DISPLAY=":$(cat "$scratch/display")"
TORVI_WINE_KEEP_DISPLAY=1
export DISPLAY TORVI_WINE_KEEP_DISPLAY
if [ -z "$qtest" ]; then
  "$here/wine-run.sh" "$@"
  exit $?
fi
# Wine shows the Linux root as drive Z:.
report="Z:$(printf '%s' "$scratch/report.txt" | tr / '\\')"
"$here/wine-run.sh" "$@" -o "$report,txt"
status=$?
cat "$scratch/report.txt" 2>/dev/null || echo "wine-display-run: the test wrote no report" >&2
exit "$status"
