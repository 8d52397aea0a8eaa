#!/bin/sh
# One run of the Windows torvi-backup under Wine, the fake server library standing in for the database
# server: the run writes the archiver into the user's private folder (torvi\ in the local application
# data, never the working folder), archives the backup file with it, copies
# the archive to a destination folder, uploads it to pyftpdlib on the Linux side of the loopback, and
# logs the run. The archive is checked with bsdtar, an independent reader.
# Usage: backup-under-wine.sh WINE_RUN TORVI_BACKUP_EXE FAKE_SERVER_DLL TORVI_RAR_EXE FTP_SERVER_SCRIPT
set -eu
wine_run=$1 program=$2 fake_server=$3 archiver=$4 ftp_server_script=$5

scratch_name=run
. "$(dirname "$0")/under-wine-support.sh"
. "$(dirname "$0")/run-support.sh"
mkdir "$temp/bin" "$temp/work" "$temp/destino" "$temp/ftp" "$temp/ftp/backup"
cp "$program" "$temp/bin/torvi-backup.exe"
cp "$fake_server" "$temp/bin/gds32.dll"

work=$(windows_folder "$temp/work")
destination=$(windows_folder "$temp/destino")

start_ftp_server "$ftp_server_script" "$temp/ftp" "$temp/ftp.log"

write_run_settings "$temp/bin/Configuracaobkp.ini" "$destination" "$ftp_port"

# Something another user planted under the archiver's name in the working folder: never run, left alone.
printf 'planted' >"$temp/work/winrar.exe"

status=0
"$wine_run" "$temp/bin/torvi-backup.exe" --config "$(windows_folder "$temp/bin")" --work "$work" \
  >"$temp/out" 2>"$temp/err" || status=$?
[ "$status" -eq 0 ] || { cat "$temp/out" "$temp/err" >&2; fail "torvi-backup exited with $status"; }

# The user's private folder of the prefix, as the Linux side sees it.
local_data=$("$wine_run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
private=$("$wine_run" winepath -u "$local_data\\torvi" | tr -d '\r')
cmp -s "$private/winrar.exe" "$archiver" || fail "$private/winrar.exe is not the embedded archiver"
[ "$(cat "$temp/work/winrar.exe")" = planted ] || fail "the file planted in the working folder was changed"
set -- "$temp"/work/bkp*.rar
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one archive, found: $*"
archive=$1
backup_name=$(basename "$archive" .rar).bk
[ "$(bsdtar -tf "$archive")" = "$backup_name" ] || fail "archive entries: $(bsdtar -tf "$archive")"
bsdtar -xOf "$archive" >"$temp/extracted"
cmp -s "$temp/extracted" "$temp/work/$backup_name" || fail "the archived file differs from the backup file"
[ "$(head -n 1 "$temp/extracted")" = 'fake backup of C:\dados\ORMELIN.FDB' ] || fail "not the server's file"
archive_name=$(basename "$archive")
cmp -s "$archive" "$temp/destino/$archive_name" || fail "the destination holds no copy of the archive"
cmp -s "$archive" "$temp/ftp/backup/$archive_name" || fail "the FTP server holds no copy of the archive"

# The log block: its two header lines, then the run's lines in order.
[ "$(head -n 2 "$temp/bin/BkpLog.txt" | tr -d '\r' | tr '\n' '|')" = " |$(printf '%063d' 0 | tr 0 -)|" ] ||
  fail "unexpected log header"
run_log_lines "$temp/bin/BkpLog.txt" >"$temp/log"
cat >"$temp/expected" <<LOG
Início do Backup
Criando arquivo: ${work}${backup_name}
Arquivo criado com Sucesso: ${work}${backup_name}
Iniciando compactação...
Arquivo compactado Criado!
Iniciando tentativa de envio por FTP!
Arquivo Enviado com Sucesso!
Backup Finalizado!
LOG
diff "$temp/expected" "$temp/log" >&2 || fail "unexpected run log"
grep -q 'gbak:closing file, committing, and finishing.' "$temp/out" || fail "the server's report is not in the console"
echo "ok: $archive_name holds $backup_name and reached the destination and the FTP server"

# Without --work the run uses the fixed working folder, C:\torvi\Backup\, creating both folders. Only
# in the throw-away prefix that scripts/test makes: the run empties that folder of archives.
case "${WINEPREFIX:-}" in */torvi-wine.*/prefix) ;; *) exit 0 ;; esac
default_work="$WINEPREFIX/drive_c/torvi/Backup"
status=0
"$wine_run" "$temp/bin/torvi-backup.exe" --config "$(windows_folder "$temp/bin")" >"$temp/out" 2>"$temp/err" ||
  status=$?
[ "$status" -eq 0 ] || { cat "$temp/out" "$temp/err" >&2; fail "torvi-backup without --work exited with $status"; }
[ ! -e "$default_work/winrar.exe" ] || fail "an archiver was written into C:\\torvi\\Backup"
set -- "$default_work"/bkp*.rar
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one archive in C:\\torvi\\Backup, found: $*"
[ "$(bsdtar -tf "$1")" = "$(basename "$1" .rar).bk" ] || fail "archive entries: $(bsdtar -tf "$1")"
cmp -s "$1" "$temp/ftp/backup/$(basename "$1")" || fail "the FTP server holds no copy of the second archive"
printf '%s\n' "ok: a run without --work did the same in C:\\torvi\\Backup"
