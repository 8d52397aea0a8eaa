#!/bin/sh
# Runs a Windows program under Wine with no display. Callers may set WINEPREFIX (scripts/test gives
# each run a fresh one). The DLL overrides are not left to the caller: they keep Mono/Gecko out and
# disable the debugger, without which a crashing program sometimes exits with status 0.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/wineprefix-$(id -u)}"
: "${WINEDEBUG:=-all}"
WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset DISPLAY WAYLAND_DISPLAY
exec /usr/lib/wine/wine64 "$@"
