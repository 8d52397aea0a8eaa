#!/bin/sh
# The Windows torvi-backup under Wine sends its test message through libcurl to aiosmtpd on the Linux
# side of the loopback: STARTTLS, AUTH, and a self-signed certificate pinned in the settings. A wrong
# password is refused with its reason and exit status 2. The message is decoded by Python's email package.
# Usage: mail-under-wine.sh WINE_RUN TORVI_BACKUP_EXE SMTP_SERVER_SCRIPT
set -eu
wine_run=$1 program=$2 smtp_server_script=$3

scratch_name=mail
. "$(dirname "$0")/under-wine-support.sh"
mkdir "$temp/bin" "$temp/mail"
for dll in "$(dirname "$program")"/*.dll; do [ -f "$dll" ] && cp "$dll" "$temp/bin/"; done
cp "$program" "$temp/bin/torvi-backup.exe"


openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=localhost \
  -keyout "$temp/key.pem" -out "$temp/cert.pem" 2>/dev/null
pin=$(openssl x509 -noout -fingerprint -sha256 -in "$temp/cert.pem" | sed 's/.*=//')
/usr/bin/python3 "$smtp_server_script" starttls "$temp/smtp.port" --mail-dir "$temp/mail" \
  --cert "$temp/cert.pem" --key "$temp/key.pem" --user avisos --password s3cret 2>"$temp/smtp.log" &
server_pid=$!
for _ in $(seq 100); do [ -f "$temp/smtp.port" ] && break; sleep 0.1; done
[ -f "$temp/smtp.port" ] || fail "the SMTP server did not start: $(cat "$temp/smtp.log")"
smtp_port=$(cat "$temp/smtp.port")

# Windows-1252 bytes and CR LF, as the settings window writes them; user and password scrambled
# ("rprjub" is "avisos", "sfqd2t" is "s3cret", "`e`sqf" is "errada").
settings() {
  printf '[Configuracao]\r\nAbrir=N\r\nEmail=ti@empresa.com.br;gerente@empresa.com.br\r\nEnviarEmail=S\r\n'
  printf '[Email]\r\nServidor=127.0.0.1\r\nPorta=%s\r\nSeguran\347a=1\r\nUsuario=rprjub\r\nSenha=%s\r\n' \
    "$smtp_port" "$1"
  printf 'Remetente=backup@empresa.com.br\r\nCertificado=%s\r\nSempre=N\r\n' "$pin"
}

settings sfqd2t >"$temp/bin/Configuracaobkp.ini"
status=0
"$wine_run" "$temp/bin/torvi-backup.exe" --config "$(windows_folder "$temp/bin")" --test-email \
  >"$temp/out" 2>"$temp/err" || status=$?
[ "$status" -eq 0 ] || { cat "$temp/out" "$temp/err" >&2; fail "--test-email exited with $status"; }
[ "$(tr -d '\r' <"$temp/out")" = "E-mail de teste enviado para: ti@empresa.com.br, gerente@empresa.com.br" ] ||
  fail "unexpected output: $(cat "$temp/out")"
[ -f "$temp/mail/001.txt" ] || fail "the server kept no message"
grep -qx 'RCPT TO: ti@empresa.com.br gerente@empresa.com.br' "$temp/mail/001.txt" || fail "recipients"
grep -q '^Subject: Teste de e-mail do backup em ' "$temp/mail/001.txt" || fail "subject: $(cat "$temp/mail/001.txt")"
grep -q '^Message-ID: <[0-9a-f.]*@' "$temp/mail/001.txt" || fail "no Message-ID"

settings '`e`sqf' >"$temp/bin/Configuracaobkp.ini"
status=0
"$wine_run" "$temp/bin/torvi-backup.exe" --config "$(windows_folder "$temp/bin")" --test-email \
  >"$temp/out" 2>"$temp/err" || status=$?
[ "$status" -eq 2 ] || fail "a refused password gave exit status $status"
grep -q 'recusou o usu' "$temp/err" || fail "unexpected reason: $(cat "$temp/err")"
[ ! -f "$temp/mail/002.txt" ] || fail "a message went with the wrong password"
echo "mail under Wine: ok"
