#!/bin/sh
# The Windows FTP client under Wine against the scripted hostile server on the Linux side of the
# loopback: each exchange ends with its bound's error, and the probe's peak memory stays under 64 MiB.
# Usage: hostile-under-wine.sh WINE_RUN PROBE_EXE FAKE_SERVER_SCRIPT SCENARIOS_JSON
set -eu
wine_run=$1 probe=$2 fake_server=$3 scenarios=$4

scratch_name=hostile
. "$(dirname "$0")/under-wine-support.sh"

# 16 MiB that the server's small window cannot take in at 20 bytes a second.
head -c 16777216 /dev/urandom >"$temp/upload.bin"
upload=$(windows_path "$temp/upload.bin")

check() {
  scenario=$1 exchange=$2 expected=$3
  rm -f "$temp/port"
  /usr/bin/python3 "$fake_server" "$scenarios" "$scenario" "$temp/port" "$temp/server.log" 2>"$temp/server.err" &
  server_pid=$!
  for _ in $(seq 100); do [ -f "$temp/port" ] && break; sleep 0.1; done
  [ -f "$temp/port" ] || fail "$scenario: the server did not start: $(cat "$temp/server.err")"
  "$wine_run" "$probe" "$exchange" "$(cat "$temp/port")" "$upload" | tr -d '\r' >"$temp/out"
  stop_server
  message=$(sed -n 1p "$temp/out")
  peak=$(sed -n 2p "$temp/out")
  [ "$message" = "$expected" ] || fail "$scenario: ended with \"$message\", not \"$expected\""
  [ "$peak" -lt 67108864 ] || fail "$scenario: peak memory $peak bytes"
  printf '%s: %s (peak %s KiB)\n' "$scenario" "$message" "$((peak / 1024))"
}

check endless_multi_line_reply login "Resposta do servidor excede o limite de 1048576 bytes."
check trickling_reply login "Resposta do servidor não se completou no tempo limite de 1000 ms."
check endless_listing list "Listagem do servidor excede o limite de 8388608 bytes."
check trickling_listing list "Transferência abaixo do mínimo de 1024 bytes/s durante 1 s."
check trickling_upload upload "Transferência abaixo do mínimo de 1024 bytes/s durante 1 s."
check greeting_never_comes login "Read Timeout"
