#!/bin/sh
# One virtual display (Xvfb) shared by the Wine runs of a test session, so that Wine's desktop process
# keeps the one X connection it opened while the tests come and go.
#   wine-display.sh start FILE   starts Xvfb on a free display number; FILE receives "<display> <pid>"
#   wine-display.sh stop FILE    stops that Xvfb and removes FILE
set -eu
file=$2
case $1 in
  start)
    rm -f "$file" "$file.number"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$file.number" </dev/null >"$file.log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do [ -s "$file.number" ] && break; sleep 0.05; done
    [ -s "$file.number" ] || { echo "wine-display: Xvfb did not start: $(cat "$file.log")" >&2; exit 1; }
    echo ":$(cat "$file.number") $pid" >"$file"
    ;;
  stop)
    [ -f "$file" ] || exit 0
    pid=$(cut -d ' ' -f 2 "$file")
    kill "$pid" 2>/dev/null || true
    rm -f "$file" "$file.number" "$file.log"
    ;;
  *)
    echo "usage: wine-display.sh start|stop FILE" >&2
    exit 2
    ;;
esac
