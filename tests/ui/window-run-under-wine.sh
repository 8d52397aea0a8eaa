#!/bin/sh
# Runs the Windows window's whole-run test under Wine against pyftpdlib on the Linux side of the loopback.
# Usage: window-run-under-wine.sh WINE_DISPLAY_RUN TEST_PROGRAM FTP_SERVER_SCRIPT
set -eu
wine_display_run=$1 program=$2 ftp_server_script=$3
scratch_name=window-run
. "$(dirname "$0")/../windows/under-wine-support.sh"
. "$(dirname "$0")/../windows/run-support.sh"
mkdir "$temp/ftp" "$temp/ftp/backup"
start_ftp_server "$ftp_server_script" "$temp/ftp" "$temp/ftp.log"
TORVI_TEST_FTP_PORT=$ftp_port
TORVI_TEST_FTP_FOLDER=$(windows_folder "$temp/ftp/backup")
export TORVI_TEST_FTP_PORT TORVI_TEST_FTP_FOLDER
"$wine_display_run" --qtest "$program"
