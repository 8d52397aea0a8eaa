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
  // Compactacao/Senha: the archive's password, empty for none; Compactacao/OcultarNomes: the archive's
  // headers encrypted too, so that its file name and size are hidden as well.
  std::string EdtSenhaCompactacao;
  bool CheckOcultarNomes = false;
  // Section Email: the mail server the run's notices go through ("E-mail..." beside EdtEmail). Without a
  // server no mail is sent, and the window does not let CheckEnviaEmail be ticked.
  std::string EdtServidorEmail;
  std::string EdtPortaEmail = "587";
  int ComboSegurancaEmail = 1;  // 0 none, 1 STARTTLS, 2 TLS from the start; other values are refused
  std::string EdtUsuarioEmail;
  std::string EdtSenhaEmail;
  std::string EdtRemetenteEmail;
  std::string EdtCertificadoEmail;  // SHA-256 of a server certificate accepted without the system's roots
  bool CheckEmailSempre = false;    // mail after every run, not only after one that did not complete
  // Configuracao/TempoMaximoMinutos: the longest a run may take, 0 for no ceiling. Set in the file only
  // (the window neither shows nor writes it); 12 hours leaves room for the largest backup on a slow link.
  int TempoMaximoMinutos = kDefaultRunCeilingMinutes;
};

}  // namespace app
