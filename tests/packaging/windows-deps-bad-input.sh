#!/bin/sh
# scripts/build-windows-deps on the caches and sources that go wrong, with no network needed: a cache
# folder that cannot be written, a half-built Qt, a Qt of another version, a source that cannot be
# fetched (a private apt configuration with no source entries), an unknown library. Each ends with a
# clear message and a failure status, and never leaves a copy it cannot vouch for in the cache.
# Usage: windows-deps-bad-input.sh SOURCE_TREE
set -eu
script="$1/scripts/build-windows-deps"
temp=$(mktemp -d "${TMPDIR:-/tmp}/torvi-windows-deps-test.XXXXXX")
trap 'rm -rf "$temp"' EXIT
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

# expect STATUS TEXT CACHE ARGUMENT...: the script exits with STATUS and its output holds TEXT.
expect() {
  status=$1 text=$2 cache=$3
  shift 3
  got=0
  TORVI_WINDOWS_DEPS=$cache "$script" "$@" >"$temp/out" 2>&1 || got=$?
  [ "$got" -eq "$status" ] || fail "$* exited with $got, not $status: $(cat "$temp/out")"
  grep -qF "$text" "$temp/out" || fail "$* did not say \"$text\": $(cat "$temp/out")"
}

: >"$temp/a-file"
expect 1 "the cache folder $temp/a-file/cache cannot be written" "$temp/a-file/cache" openssl

# Sources reachable through no entry at all, as when the mirror or the network is gone.
cache="$temp/cache"
mkdir -p "$cache/apt/sources" "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial"
touch "$cache/apt/lists/.updated"
for state in half-built other-version; do
  mkdir -p "$cache/qt6-base/lib"
  : >"$cache/qt6-base/lib/Qt6Core.dll"
  [ "$state" = half-built ] || echo "6.0.0" >"$cache/qt6-base/.complete"
  expect 1 "no source of qt6-base" "$cache" qt
  grep -qF "another version or a half-built copy: rebuilding" "$temp/out" || fail "$state: $(cat "$temp/out")"
  [ ! -e "$cache/qt6-base" ] || fail "$state: the copy the script could not vouch for is still in the cache"
done

expect 2 "unknown library: qt5" "$cache" qt5
echo "ok: unwritable cache, half-built and other-version Qt, unreachable source, unknown library"
