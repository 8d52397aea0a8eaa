#include "app/SettingsFile.h"

#include <optional>

#include "app/Credentials.h"
#include "app/EmailSecurity.h"
#include "app/Profile.h"
#include "app/SettingsKeys.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "platform/FileContents.h"

namespace app {
namespace {

constexpr char kOn[] = "S";
constexpr char kOff[] = "N";

const char* Flag(bool on) { return on ? kOn : kOff; }
bool IsOn(const std::string& value) { return value == kOn; }

int SelectedMode(const std::string& value, int previous) {
  if (value.empty()) return previous;
  const int index = platform::StrToInt(value);
  return index == 0 || index == 1 ? index : -1;
}

// 0 clear text, 1 explicit TLS, 2 implicit TLS; absent or empty is clear text, as in files from before TLS.
int SecurityChoice(const std::string& value) {
  if (value.empty()) return 0;
  const std::optional<int> choice = platform::TryStrToInt(value);
  if (!choice || *choice < 0 || *choice > 2) {
    throw platform::Exception("FTP/Segurança: \"" + value +
                              "\" não é 0 (nenhuma), 1 (TLS explícito) nem 2 (TLS implícito).");
  }
  return *choice;
}

// Whole minutes, 0 for none; absent or empty keeps the default.
int RunCeilingMinutes(const std::string& value) {
  if (value.empty()) return kDefaultRunCeilingMinutes;
  const std::optional<int> minutes = platform::TryStrToInt(value);
  if (!minutes || *minutes < 0) {
    throw platform::Exception("Configuracao/TempoMaximoMinutos: \"" + value +
                              "\" não é um número de minutos (0 para nenhum limite).");
  }
  return *minutes;
}

// Absent means STARTTLS, the usual submission service; anything but 0, 1 or 2 is kept as -1 and refused
// when a mail is sent.
int EmailSecurityOf(const std::string& value) {
  if (value.empty()) return kEmailStartTls;
  const std::optional<int> security = platform::TryStrToInt(value);
  return security && *security >= kEmailPlain && *security <= kEmailImplicitTls ? *security : -1;
}

}  // namespace

void LoadSettings(BackupSettings& settings, const std::string& path) {
  const ProfileText profile = LoadProfile(path);
  auto read = [&profile](const char* section, const char* key) { return profile.Read(section, key); };

  settings.EdtServidor = read("Servidor", "Nome");
  settings.EdtBase = read("Servidor", "Base");
  settings.EdtUsuario = UnscrambleCredential(read("Servidor", "Usuario"));
  settings.EdtSenha = UnscrambleCredential(read("Servidor", "Senha"));
  settings.EdtPastaTemp = read("Servidor", "Temp");
  settings.EdtPastaComp = read("Servidor", "PastaComp");
  settings.CheckDestino = IsOn(read("Destino", "SalvarDestino"));
  settings.EdtDestino = read("Destino", "Salvar");
  settings.CheckFTP = IsOn(read("FTP", "EnviarBackup"));
  settings.Check_ErroFTP = !IsOn(read("FTP", "MostraErro"));
  settings.EdtServidorFTP = read("FTP", "Servidor");
  settings.EdtPastaFTP = read("FTP", "Pasta");
  settings.EdtUsuarioFTP = read("FTP", "Usuario");
  settings.EdtSenhaFTP = UnscrambleCredential(read("FTP", "Senha"));
  settings.EdtPortaFTP = read("FTP", "Porta");
  if (settings.EdtPortaFTP.empty()) settings.EdtPortaFTP = "21";
  settings.edtarquivosftp = read("FTP", "NumeroDeArquivos");
  settings.ComboBox1 = SelectedMode(read("FTP", "Modo"), settings.ComboBox1);
  settings.CheckMudaExtensao = IsOn(read("FTP", "MudaExtensão"));
  settings.EdtExtensaoFTP = read("FTP", "Extensão");
  settings.ComboSeguranca = SecurityChoice(read("FTP", "Segurança"));
  settings.CertificadoFTP = read("FTP", "Certificado");
  settings.CheckConfig = IsOn(read("Configuracao", "Abrir"));
  settings.TempoMaximoMinutos = RunCeilingMinutes(read("Configuracao", "TempoMaximoMinutos"));
  settings.EdtSenhaCompactacao = UnscrambleCredential(read("Compactacao", "Senha"));
  settings.CheckOcultarNomes = IsOn(read("Compactacao", "OcultarNomes"));
}

void LoadEmailSettings(BackupSettings& settings, const std::string& path) {
  const ProfileText profile = LoadProfile(path);
  settings.CheckEnviaEmail = IsOn(profile.Read("Configuracao", "EnviarEmail"));
  settings.EdtEmail = profile.Read("Configuracao", "Email");
  settings.EdtServidorEmail = profile.Read("Email", "Servidor");
  settings.ComboSegurancaEmail = EmailSecurityOf(profile.Read("Email", "Segurança"));
  settings.EdtPortaEmail = profile.Read("Email", "Porta");
  if (settings.EdtPortaEmail.empty()) settings.EdtPortaEmail = DefaultEmailPort(settings.ComboSegurancaEmail);
  settings.EdtUsuarioEmail = UnscrambleCredential(profile.Read("Email", "Usuario"));
  settings.EdtSenhaEmail = UnscrambleCredential(profile.Read("Email", "Senha"));
  settings.EdtRemetenteEmail = profile.Read("Email", "Remetente");
  settings.EdtCertificadoEmail = profile.Read("Email", "Certificado");
  settings.CheckEmailSempre = IsOn(profile.Read("Email", "Sempre"));
}

void SaveSettings(const BackupSettings& settings, const std::string& path) {
  // The archive's password is checked before anything is written: one the file would change (a character
  // Windows-1252 lacks) or the archiver would refuse must not quietly become another password.
  const std::string archivePassword =
      StoredValue(*FindSettingsKey("Compactacao.Senha"), settings.EdtSenhaCompactacao);
  auto write = [&path](const char* section, const char* key, const std::string& value) {
    WriteProfileString(path, section, key, value);
  };
  write("Servidor", "Nome", settings.EdtServidor);
  write("Servidor", "Base", settings.EdtBase);
  write("Servidor", "Usuario", ScrambleCredential(settings.EdtUsuario));
  write("Servidor", "Senha", ScrambleCredential(settings.EdtSenha));
  write("Servidor", "Temp", settings.EdtPastaTemp);
  write("Servidor", "PastaComp", settings.EdtPastaComp);
  write("Destino", "SalvarDestino", Flag(settings.CheckDestino));
  write("Destino", "Salvar", settings.EdtDestino);
  write("FTP", "EnviarBackup", Flag(settings.CheckFTP));
  write("FTP", "Servidor", settings.EdtServidorFTP);
  write("FTP", "Pasta", settings.EdtPastaFTP);
  write("FTP", "Porta", settings.EdtPortaFTP);
  write("FTP", "Usuario", settings.EdtUsuarioFTP);
  write("FTP", "Senha", ScrambleCredential(settings.EdtSenhaFTP));
  write("FTP", "NumeroDeArquivos", settings.edtarquivosftp);
  write("FTP", "Modo", std::to_string(settings.ComboBox1));
  write("FTP", "MostraErro", Flag(!settings.Check_ErroFTP));
  write("FTP", "MudaExtensão", Flag(settings.CheckMudaExtensao));
  write("FTP", "Extensão", settings.EdtExtensaoFTP);
  // The TLS keys go into the file once they matter, so the file of a user who never turns TLS on keeps
  // the layout it always had.
  auto writeUnlessNeverSet = [&](const char* key, const std::string& value, const std::string& unset) {
    if (value != unset || !ReadProfileString(path, "FTP", key).empty()) write("FTP", key, value);
  };
  writeUnlessNeverSet("Segurança", std::to_string(settings.ComboSeguranca), "0");
  writeUnlessNeverSet("Certificado", settings.CertificadoFTP, "");
  write("Configuracao", "Abrir", Flag(settings.CheckConfig));
  write("Configuracao", "Email", settings.EdtEmail);
  write("Configuracao", "EnviarEmail", Flag(settings.CheckEnviaEmail));
  write("Compactacao", "Senha", archivePassword);
  write("Compactacao", "OcultarNomes", Flag(settings.CheckOcultarNomes));
  write("Email", "Servidor", settings.EdtServidorEmail);
  write("Email", "Porta", settings.EdtPortaEmail);
  write("Email", "Segurança", std::to_string(settings.ComboSegurancaEmail));
  write("Email", "Usuario", ScrambleCredential(settings.EdtUsuarioEmail));
  write("Email", "Senha", ScrambleCredential(settings.EdtSenhaEmail));
  write("Email", "Remetente", settings.EdtRemetenteEmail);
  write("Email", "Certificado", settings.EdtCertificadoEmail);
  write("Email", "Sempre", Flag(settings.CheckEmailSempre));
}

}  // namespace app
