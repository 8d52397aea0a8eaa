#pragma once

#include <string>

namespace app {

inline constexpr int kDefaultRunCeilingMinutes = 720;

// Every setting of the program, one field per control of the settings window and named after it.
// Texts are UTF-8 in memory; the settings file holds them as Windows-1252.
struct BackupSettings {
  std::string EdtServidor = "localhost";
  std::string EdtBase;
  std::string EdtUsuario = "SYSDBA";
  std::string EdtSenha = "velvetorb";
  std::string EdtPastaTemp;
  std::string EdtPastaComp;
  bool CheckDestino = false;
  std::string EdtDestino;
  bool CheckFTP = false;
  std::string EdtServidorFTP;
  std::string EdtPastaFTP;
  std::string EdtPortaFTP = "21";
  std::string EdtUsuarioFTP;
  std::string EdtSenhaFTP;
  std::string edtarquivosftp = "10";
  int ComboBox1 = 0;       // 0 active, 1 passive, -1 nothing selected (any value but 0 means passive)
  int ComboSeguranca = 0;  // FTP/Segurança: 0 clear text, 1 explicit TLS, 2 implicit TLS
  // FTP/Certificado: the SHA-256 fingerprint of a server certificate trusted although it does not verify
  // (empty: none), as it stands in the file; a bad one fails each FTP attempt with a clear error.
  std::string CertificadoFTP;
  bool Check_ErroFTP = false;
  bool CheckMudaExtensao = false;
  std::string EdtExtensaoFTP;
  bool CheckConfig = false;
  std::string EdtEmail;
  bool CheckEnviaEmail = false;
  // Configuracao/TempoMaximoMinutos: the longest a run may take, 0 for no ceiling. Set in the file only
  // (the window neither shows nor writes it); 12 hours leaves room for the largest backup on a slow link.
  int TempoMaximoMinutos = kDefaultRunCeilingMinutes;
};

}  // namespace app
