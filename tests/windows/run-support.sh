# Sourced after under-wine-support.sh by the Wine tests of whole runs: what a run needs around it.

# start_ftp_server SERVER_SCRIPT ROOT_FOLDER LOG: pyftpdlib on a free loopback port, user "tester" with
# password "s3cret"; sets ftp_port, and server_pid for stop_server.
start_ftp_server() {
  /usr/bin/python3 "$1" 127.0.0.1 0 tester s3cret "$2" "$3.port" 2>"$3" &
  server_pid=$!
  for _ in $(seq 100); do [ -f "$3.port" ] && break; sleep 0.1; done
  [ -f "$3.port" ] || fail "the FTP server did not start: $(cat "$3")"
  ftp_port=$(cat "$3.port")
}

# write_run_settings FILE DESTINATION_FOLDER FTP_PORT writes the settings of
# an automatic run (archive to the destination folder, upload to the FTP server on loopback as "tester"),
# in Windows-1252 bytes with CR LF line ends and keys with accents, as the settings window writes them.
write_run_settings() {
  printf '[Servidor]\r\nNome=localhost\r\nBase=C:\\dados\\ORMELIN.FDB\r\nTemp=C:\\tmp\\\r\nPastaComp=C:\\tmp\\\r\n' >"$1"
  printf '[Destino]\r\nSalvarDestino=S\r\nSalvar=%s\r\n' "$2" >>"$1"
  # The password is stored scrambled: "sfqd2t" is "s3cret".
  printf '[FTP]\r\nEnviarBackup=S\r\nServidor=127.0.0.1\r\nPorta=%s\r\nUsuario=tester\r\nSenha=sfqd2t\r\n' "$3" >>"$1"
  printf 'Pasta=/backup\r\nNumeroDeArquivos=10\r\nModo=1\r\nMostraErro=N\r\nMudaExten\343o=N\r\n' >>"$1"
  printf 'Exten\343o=zip\r\n[Configuracao]\r\nAbrir=N\r\n' >>"$1"
}

# The run's log lines (date and time cut off), as UTF-8 without CR.
run_log_lines() { iconv -f CP1252 -t UTF-8 "$1" | tr -d '\r' | sed -n 's/^[0-9]\{8\} - [0-9]\{6\} - //p'; }
