#include "run/MailSettings.h"

#include "app/EmailSecurity.h"
#include "app/MailAddresses.h"
#include "platform/Conversions.h"
#include "platform/Fingerprint.h"
#include "platform/MachineName.h"

namespace run {
namespace {

void Refuse(const std::string& setting, const std::string& problem) {
  throw MailError(setting + ": " + problem + ".");
}

void RefuseControlCharacters(const std::string& setting, const std::string& value) {
  if (app::HasControlCharacter(value)) Refuse(setting, "contém caracteres de controle");
}

// The host as a URL may carry it: a name or an address, no blanks, slashes or "@".
bool UsableHost(const std::string& host) {
  return host.find_first_of(" /\\@?#[]") == std::string::npos && !app::HasControlCharacter(host);
}

std::string ClientName() {
  const std::string name = platform::MachineName();
  const bool usable =
      !name.empty() &&
      name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.") ==
          std::string::npos;
  return usable ? name : "localhost";
}

// Checks every field of the section Email and returns the port.
int CheckedServerFields(const app::BackupSettings& settings) {
  if (!UsableHost(settings.EdtServidorEmail)) Refuse("Email/Servidor", "não é um nome de servidor");
  const std::optional<int> port = platform::TryStrToInt(settings.EdtPortaEmail);
  if (!port || *port < 1 || *port > 65535) Refuse("Email/Porta", "deve ser um número de 1 a 65535");
  const int security = settings.ComboSegurancaEmail;
  if (security < app::kEmailPlain || security > app::kEmailImplicitTls) {
    Refuse("Email/Segurança", "deve ser 0 (nenhuma), 1 (STARTTLS) ou 2 (TLS)");
  }
  RefuseControlCharacters("Email/Usuario", settings.EdtUsuarioEmail);
  RefuseControlCharacters("Email/Senha", settings.EdtSenhaEmail);
  if (!settings.EdtCertificadoEmail.empty() && !platform::CanonicalFingerprint(settings.EdtCertificadoEmail)) {
    Refuse("Email/Certificado", "não é uma impressão SHA-256 (64 dígitos hexadecimais)");
  }
  if (!settings.EdtRemetenteEmail.empty()) {
    const std::string problem = app::MailAddressProblem(settings.EdtRemetenteEmail);
    if (!problem.empty()) Refuse("Email/Remetente", problem);
  }
  return *port;
}

// The message of the MailError `check` raises; empty when it raises none.
template <typename Check>
std::string ProblemOf(const Check& check) {
  try {
    check();
    return {};
  } catch (const MailError& error) {
    return error.Message();
  }
}

}  // namespace

bool HasMailServer(const app::BackupSettings& settings) { return !settings.EdtServidorEmail.empty(); }

MailSetup MailSetupOf(const app::BackupSettings& settings) {
  if (!HasMailServer(settings)) Refuse("Email/Servidor", "nenhum servidor de e-mail configurado");
  const int port = CheckedServerFields(settings);
  const std::string listProblem = app::MailAddressListProblem(settings.EdtEmail);
  if (!listProblem.empty()) Refuse("Configuracao/Email", listProblem);
  MailSetup setup;
  setup.to = app::SplitMailAddresses(settings.EdtEmail);
  setup.from = settings.EdtRemetenteEmail.empty() ? setup.to.front() : settings.EdtRemetenteEmail;
  setup.server.host = settings.EdtServidorEmail;
  setup.server.port = port;
  setup.server.security = settings.ComboSegurancaEmail;
  setup.server.user = settings.EdtUsuarioEmail;
  setup.server.password = settings.EdtSenhaEmail;
  setup.server.pin = settings.EdtCertificadoEmail;
  setup.server.clientName = ClientName();
  return setup;
}

std::string MailSetupProblem(const app::BackupSettings& settings) {
  return ProblemOf([&settings] { MailSetupOf(settings); });
}

std::string MailServerProblem(const app::BackupSettings& settings) {
  return ProblemOf([&settings] { CheckedServerFields(settings); });
}

}  // namespace run
