#!/bin/sh
# The Windows installer in a fresh Wine prefix of its own: a silent install into a folder with accents,
# a second install over it (programs replaced, settings kept), an automatic run of the installed
# VAzeduz.exe with the fake server library standing in for the database server and pyftpdlib on the
# Linux side of the loopback (the run's log block written beside it), then a silent uninstall that
# removes the programs and keeps the settings, the log and the client library.
# Usage: installer-under-wine.sh WINE_RUN WINE_DISPLAY_RUN INSTALLER FAKE_SERVER_DLL FTP_SERVER_SCRIPT
set -eu
wine_run=$1 wine_display_run=$2 installer=$3 fake_server=$4 ftp_server_script=$5

scratch_name=installer
. "$(dirname "$0")/under-wine-support.sh"
. "$(dirname "$0")/run-support.sh"
WINEPREFIX="$temp/prefix"
# Wine takes the command line's accents in the locale's encoding.
LC_ALL=C.UTF-8
export WINEPREFIX LC_ALL
trap 'stop_server; wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; rm -rf "$temp"' EXIT
"$wine_run" wineboot --init >/dev/null 2>&1
mkdir "$temp/destino" "$temp/ftp" "$temp/ftp/backup"

folder_windows='C:\Programas Tõrvi\Backup Diário'
folder="$WINEPREFIX/drive_c/Programas Tõrvi/Backup Diário"
installer_windows=$(windows_path "$installer")
install() {
  # /D comes last and unquoted, as NSIS wants it; Wine would quote an argument with blanks, cmd does not.
  "$wine_run" cmd /c "$installer_windows /S /D=$folder_windows" || fail "the installer exited with $?"
  [ -f "$folder/VAzeduz.exe" ] || fail "nothing installed in $folder"
}

install
for file in VAzeduz.exe torvi-backup.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
  libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll Desinstalar.exe; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
ls "$folder"/libcrypto*.dll "$folder"/libssl*.dll "$folder"/libcurl*.dll >/dev/null || fail "OpenSSL or libcurl missing"
[ -f "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Torvi Backup/Torvi Backup.lnk" ] ||
  fail "no Start-menu entry"

# Settings, a client library and an older program in place; a second install replaces only the program.
start_ftp_server "$ftp_server_script" "$temp/ftp" "$temp/ftp.log"
write_run_settings "$folder/Configuracaobkp.ini" "$(windows_folder "$temp/destino")" "$ftp_port"
cp "$folder/Configuracaobkp.ini" "$temp/settings"
cp "$fake_server" "$folder/gds32.dll"
printf 'older program' >"$folder/VAzeduz.exe"
install
cmp -s "$folder/Configuracaobkp.ini" "$temp/settings" || fail "the second install changed the settings"
[ "$(head -c 2 "$folder/VAzeduz.exe")" = MZ ] || fail "the second install did not replace VAzeduz.exe"
cmp -s "$folder/gds32.dll" "$fake_server" || fail "the second install touched the client library"

# The installed program in automatic mode ("Abrir" off): one run, then the program ends by itself.
status=0
"$wine_display_run" "$folder/VAzeduz.exe" >"$temp/out" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$temp/out" >&2; fail "VAzeduz.exe exited with $status"; }
[ -f "$folder/BkpLog.txt" ] || fail "no log beside the installed program"
run_log_lines "$folder/BkpLog.txt" >"$temp/log"
[ "$(head -n 1 "$temp/log")" = "Início do Backup" ] && [ "$(tail -n 1 "$temp/log")" = "Backup Finalizado!" ] ||
  fail "unexpected run log: $(cat "$temp/log")"
grep -qx "Arquivo Enviado com Sucesso!" "$temp/log" || fail "the run did not upload: $(cat "$temp/log")"
set -- "$temp"/ftp/backup/bkp*.rar
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one archive on the FTP server, found: $*"
[ "$(bsdtar -tf "$1")" = "$(basename "$1" .rar).bk" ] || fail "archive entries: $(bsdtar -tf "$1")"
cmp -s "$1" "$temp/destino/$(basename "$1")" || fail "the destination holds no copy of the archive"

# The uninstaller copies itself away and returns at once: wait for it to finish removing.
"$wine_run" "$folder/Desinstalar.exe" /S || fail "the uninstaller exited with $?"
for _ in $(seq 300); do [ -e "$folder/Desinstalar.exe" ] || break; sleep 0.1; done
for file in VAzeduz.exe torvi-backup.exe Qt6Core.dll libstdc++-6.dll platforms styles Desinstalar.exe; do
  [ ! -e "$folder/$file" ] || fail "$file is still there after the uninstall"
done
for file in Configuracaobkp.ini BkpLog.txt gds32.dll; do
  [ -f "$folder/$file" ] || fail "the uninstall removed $file"
done
echo "ok: installed, replaced over itself, ran ($(basename "$1") uploaded) and uninstalled keeping the settings"
