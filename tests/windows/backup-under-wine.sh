#!/bin/sh
# One run of the Windows torvi-backup under Wine, the fake server library standing in for the database
# server: the run writes the archiver into the working folder, archives the backup file with it, and
# logs the run. The archive is checked with bsdtar, an independent reader.
# Usage: backup-under-wine.sh WINE_RUN TORVI_BACKUP_EXE FAKE_SERVER_DLL TORVI_RAR_EXE
set -eu
wine_run=$1 program=$2 fake_server=$3 archiver=$4

temp=$(mktemp -d "${TMPDIR:-/tmp}/torvi-wine-run.XXXXXX")
trap 'rm -rf "$temp"' EXIT
mkdir "$temp/bin" "$temp/work"
cp "$program" "$temp/bin/torvi-backup.exe"
cp "$fake_server" "$temp/bin/gds32.dll"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Wine shows the Linux root as drive Z:.
windows_folder() { printf 'Z:%s\\' "$(printf '%s' "$1" | tr / '\\')"; }
work=$(windows_folder "$temp/work")

# Windows-1252 bytes, CR LF line ends, keys with accents, as the settings window writes them.
printf '[Servidor]\r\nNome=localhost\r\nBase=C:\\dados\\ORMELIN.FDB\r\nTemp=C:\\tmp\\\r\nPastaComp=C:\\tmp\\\r\n' \
  >"$temp/bin/Configuracaobkp.ini"
printf '[Destino]\r\nSalvarDestino=N\r\n[FTP]\r\nEnviarBackup=N\r\nMostraErro=N\r\nMudaExten\343o=N\r\n' \
  >>"$temp/bin/Configuracaobkp.ini"
printf 'Exten\343o=zip\r\n[Configuracao]\r\nAbrir=N\r\n' >>"$temp/bin/Configuracaobkp.ini"

status=0
"$wine_run" "$temp/bin/torvi-backup.exe" --config "$(windows_folder "$temp/bin")" --work "$work" \
  >"$temp/out" 2>"$temp/err" || status=$?
[ "$status" -eq 0 ] || { cat "$temp/out" "$temp/err" >&2; fail "torvi-backup exited with $status"; }

cmp -s "$temp/work/winrar.exe" "$archiver" || fail "winrar.exe is not the embedded archiver"
set -- "$temp"/work/bkp*.rar
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one archive, found: $*"
archive=$1
backup_name=$(basename "$archive" .rar).bk
[ "$(bsdtar -tf "$archive")" = "$backup_name" ] || fail "archive entries: $(bsdtar -tf "$archive")"
bsdtar -xOf "$archive" >"$temp/extracted"
cmp -s "$temp/extracted" "$temp/work/$backup_name" || fail "the archived file differs from the backup file"
[ "$(head -n 1 "$temp/extracted")" = 'fake backup of C:\dados\ORMELIN.FDB' ] || fail "not the server's file"

# The log block: after the header, the start, the server's file, the compression and the end, in order.
iconv -f CP1252 -t UTF-8 "$temp/bin/BkpLog.txt" | tr -d '\r' | sed -n 's/^[0-9]\{8\} - [0-9]\{6\} - //p' \
  >"$temp/log"
cat >"$temp/expected" <<LOG
Início do Backup
Criando arquivo: ${work}${backup_name}
Arquivo criado com Sucesso: ${work}${backup_name}
Iniciando compactação...
Backup Finalizado!
LOG
diff "$temp/expected" "$temp/log" >&2 || fail "unexpected run log"
grep -q 'gbak:closing file, committing, and finishing.' "$temp/out" || fail "the server's report is not in the console"
echo "ok: $(basename "$archive") holds $backup_name"
