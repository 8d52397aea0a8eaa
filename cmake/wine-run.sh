#!/bin/sh
# Runs a Windows program under Wine with no display (cmake/wine-display-run.sh gives it one of its own
# and sets TORVI_WINE_KEEP_DISPLAY). Callers may set WINEPREFIX (scripts/test gives
# each run a fresh one) and add DLL overrides of their own; ours come last, where Wine lets them win:
# they keep Mono/Gecko out and disable the debugger, without which a crashing program sometimes exits
# with status 0.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/wineprefix-$(id -u)}"
: "${WINEDEBUG:=-all}"
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
[ -n "${TORVI_WINE_KEEP_DISPLAY:-}" ] || unset DISPLAY
unset WAYLAND_DISPLAY
exec /usr/lib/wine/wine64 "$@"
