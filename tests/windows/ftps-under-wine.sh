#!/bin/sh
# The Windows FTP client under Wine over TLS against pyftpdlib's TLS handler on the Linux side: the
# Windows certificate store is read (the fixture's CA is not in it, so its certificate is untrusted), a
# CA file or a pin lets the certificate in, and uploads arrive whole in passive and active mode.
# Usage: ftps-under-wine.sh WINE_RUN PROBE_EXE FIXTURE_FOLDER
set -eu
wine_run=$1 probe=$2 fixtures=$3

scratch_name=ftps
. "$(dirname "$0")/under-wine-support.sh"

mkdir "$temp/certificates" "$temp/home"
"$fixtures/make-certificates.sh" "$temp/certificates"
fingerprint=$(openssl x509 -noout -fingerprint -sha256 -in "$temp/certificates/trusted.pem" | sed 's/.*=//')
head -c 8388608 /dev/urandom >"$temp/upload.bin"

/usr/bin/python3 "$fixtures/pyftpd_server.py" 127.0.0.1 0 tester s3cret "$temp/home" "$temp/port" "" \
  "$temp/certificates/trusted.pem" "$temp/certificates/trusted.key" 2>"$temp/server.err" &
server_pid=$!
for _ in $(seq 100); do [ -f "$temp/port" ] && break; sleep 0.1; done
[ -f "$temp/port" ] || fail "the server did not start: $(cat "$temp/server.err")"
port=$(cat "$temp/port")

check() {
  name=$1 ca=$2 pin=$3 mode=$4 expected=$5
  rm -f "$temp/home/probe.rar"
  outcome=$("$wine_run" "$probe" "$port" "$ca" "$pin" "$mode" "$(windows_path "$temp/upload.bin")" | tr -d '\r')
  [ "$outcome" = "$expected" ] || fail "$name: \"$outcome\", not \"$expected\""
  if [ "${expected%% *}" = ok ]; then
    cmp -s "$temp/upload.bin" "$temp/home/probe.rar" || fail "$name: the upload differs"
  elif [ -e "$temp/home/probe.rar" ]; then
    fail "$name: uploaded although untrusted"
  fi
  printf '%s: %s\n' "$name" "$outcome"
}

check "system store only" - - passive "untrusted $fingerprint"
check "fixture CA, passive" "$(windows_path "$temp/certificates/ca.pem")" - passive "ok $fingerprint"
check "fixture CA, active" "$(windows_path "$temp/certificates/ca.pem")" - active "ok $fingerprint"
check "pinned" - "$fingerprint" passive "ok $fingerprint"
