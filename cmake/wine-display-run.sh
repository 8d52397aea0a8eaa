#!/bin/sh
# Runs a Windows Qt program under Wine on a virtual display: Qt's event dispatcher creates a window even
# on the offscreen platform, which Wine refuses without an X display. The display is the one named in
# the file $TORVI_WINE_DISPLAY_FILE when it is there (cmake/wine-display.sh, the tests' shared one);
# otherwise a private Xvfb is started on a free display number and stopped when the program ends.
#   wine-display-run.sh [--qtest] PROGRAM [ARGUMENT]...
# --qtest: PROGRAM is a Qt Test program, whose report on Windows goes to the debugger channel; it is
# written to a file instead and printed here. Wine does not pass QT_QPA_PLATFORM on to Windows programs:
# its platform is given on the command line. The exit status is the program's.
set -u
here=$(cd "$(dirname "$0")" && pwd)
qtest=
if [ "${1:-}" = --qtest ]; then
  qtest=1
  shift
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/torvi-wine-display.XXXXXX")
shared=${TORVI_WINE_DISPLAY_FILE:-}
if [ -n "$shared" ] && [ -s "$shared" ]; then
  trap 'rm -rf "$scratch"' EXIT
  DISPLAY=$(cut -d ' ' -f 1 "$shared")
else
  "$here/wine-display.sh" start "$scratch/display" || exit 1
  trap '"$here/wine-display.sh" stop "$scratch/display"; rm -rf "$scratch"' EXIT
  DISPLAY=$(cut -d ' ' -f 1 "$scratch/display")
fi
TORVI_WINE_KEEP_DISPLAY=1
export DISPLAY TORVI_WINE_KEEP_DISPLAY
if [ -z "$qtest" ]; then
  "$here/wine-run.sh" "$@"
  exit $?
fi
# Wine shows the Linux root as drive Z:.
report="Z:$(printf '%s' "$scratch/report.txt" | tr / '\\')"
"$here/wine-run.sh" "$@" ${QT_QPA_PLATFORM:+-platform "$QT_QPA_PLATFORM"} -o "$report,txt"
status=$?
cat "$scratch/report.txt" 2>/dev/null || echo "wine-display-run: the test wrote no report" >&2
exit "$status"
